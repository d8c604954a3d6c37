#include "fc/WqFc/LowPass.h"

#include <algorithm>

#include "fc/WqFc/WqFcKernels.h"
#include "fc/WqFc/WqFcPath.h"

namespace LowPass {

void FilterPlane(const std::int16_t* in, int width, int height, bool inRange, std::int16_t* out,
                 WqFcPath path) {
    if (!inRange)
        path = WqFcPath::Plain;
    for (int y = 0; y < height; ++y) {
        const std::int16_t* rows[3] = {in + static_cast<std::ptrdiff_t>(std::max(y - 1, 0)) * width,
                                       in + static_cast<std::ptrdiff_t>(y) * width,
                                       in + static_cast<std::ptrdiff_t>(std::min(y + 1, height - 1)) * width};
        std::int16_t* target = out + static_cast<std::ptrdiff_t>(y) * width;
        int done = 1;
        if (path == WqFcPath::Avx2)
            done = wqfc_kernels::avx2::LowPassRow(rows[0], rows[1], rows[2], width, target);
        else if (path == WqFcPath::Sse2)
            done = wqfc_kernels::base::LowPassRow(rows[0], rows[1], rows[2], width, target);
        auto pixel = [&](int x) {
            std::int32_t sum = 0;
            for (const std::int16_t* row : rows)
                for (int dx = -1; dx <= 1; ++dx)
                    sum += row[std::clamp(x + dx, 0, width - 1)];
            target[x] = static_cast<std::int16_t>(sum / 9);
        };
        pixel(0);
        for (int x = done; x < width; ++x)
            pixel(x);
    }
}

} // namespace LowPass
