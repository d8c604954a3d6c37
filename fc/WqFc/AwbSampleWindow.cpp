#include "fc/WqFc/AwbSampleWindow.h"

#include <algorithm>

bool AwbSampleWindow::Measure(const std::int16_t* red, const std::int16_t* green, const std::int16_t* blue,
                              int width, int height, std::int32_t setupG, std::int32_t balanceGainG) {
    if (!Inside(width, height))
        return false;
    const int rows[2] = {y - 1 < 0 ? y : y - 1, y};
    const int cols[2] = {x - 1 < 0 ? x : x - 1, x};
    std::int64_t sumR = 0, sumB = 0, sumG = 0;
    for (int row : rows) {
        for (int col : cols) {
            const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(row) * width + col;
            sumR += red[at];
            sumB += blue[at];
            sumG += ((std::int64_t{green[at]} + setupG) * balanceGainG) >> 7;
        }
    }
    if (sumR == 0 || sumB == 0)
        return false;
    gainR = static_cast<std::int32_t>(std::clamp<std::int64_t>(sumG * gainG / sumR, 0, 4095));
    gainB = static_cast<std::int32_t>(std::clamp<std::int64_t>(sumG * gainG / sumB, 0, 4095));
    return true;
}
