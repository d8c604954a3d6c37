#include "fc/WqFc/EnhanceCorrect.h"

#include <algorithm>

#include "fc/WqFc/WqFcKernels.h"

EnhanceCorrect::Kernel EnhanceCorrect::KernelFor(int level) {
    switch (level) {
    case 1:
        return {0, -25, 100, -25, 0};
    case 2:
        return {0, -40, 130, -40, 0};
    case 3:
        return {-25, -50, 200, -50, -25};
    default:
        return {0, 0, 50, 0, 0};
    }
}

void EnhanceCorrect::SetLevel(int level) {
    m_level = level >= 0 && level <= 3 ? level : 0;
    m_vertical = KernelFor(m_level);
    m_horizontal = KernelFor(m_level);
}

bool EnhanceCorrect::CentreOnly() const {
    const Kernel& v = m_vertical;
    const Kernel& h = m_horizontal;
    return v[0] == 0 && v[1] == 0 && v[3] == 0 && v[4] == 0 && h[0] == 0 && h[1] == 0 && h[3] == 0 &&
           h[4] == 0;
}

void EnhanceCorrect::FilterRow(std::int32_t* row0, int width, int y, WqFcPath path) {
    std::int32_t* row = row0 + static_cast<std::ptrdiff_t>(y) * width;
    const Kernel& v = m_vertical;
    const Kernel& h = m_horizontal;
    if (CentreOnly()) {
        // Centre taps only: no pixel depends on another.
        int x = 0;
        if (path == WqFcPath::Avx2)
            x = wqfc_kernels::avx2::EnhanceCentreRow(row, width, v[2], h[2]);
        else if (path == WqFcPath::Sse2)
            x = wqfc_kernels::base::EnhanceCentreRow(row, width, v[2], h[2]);
        for (; x < width; ++x) {
            const std::int64_t value = row[x];
            row[x] = static_cast<std::int32_t>(v[2] * value / 100 + h[2] * value / 100);
        }
        return;
    }
    if (y == 0)
        m_filteredMax[0] = m_filteredMax[1] = 0;
    // Every value the row's taps read: the two filtered rows above and the unfiltered rows y..y+2.
    if (path == WqFcPath::Plain) {
        FilterRowWide(row, width);
        return;
    }
    auto maxMagnitude =
        path == WqFcPath::Avx2 ? &wqfc_kernels::avx2::MaxMagnitude : &wqfc_kernels::base::MaxMagnitude;
    const std::int64_t largest = std::max({m_filteredMax[0], m_filteredMax[1], maxMagnitude(row, 3 * width)});
    if (largest <= 47935)
        FilterRowNarrow(row, width, path);
    else
        FilterRowWide(row, width);
    m_filteredMax[1] = m_filteredMax[0];
    m_filteredMax[0] = maxMagnitude(row, width);
}

void EnhanceCorrect::FilterRowWide(std::int32_t* row, int width) {
    const Kernel& v = m_vertical;
    const Kernel& h = m_horizontal;
    m_verticalPart.resize(static_cast<std::size_t>(width));
    m_aheadPart.resize(static_cast<std::size_t>(width));
    const std::ptrdiff_t w = width;
    // Everything that does not depend on this row's own filtered values, for the whole row first.
    for (int x = 0; x < width; ++x) {
        const std::int32_t* p = row + x;
        const std::int64_t sum = std::int64_t{v[0]} * p[-2 * w] + std::int64_t{v[1]} * p[-w] +
                                 std::int64_t{v[2]} * p[0] + std::int64_t{v[3]} * p[w] +
                                 std::int64_t{v[4]} * p[2 * w];
        m_verticalPart[static_cast<std::size_t>(x)] = sum / 100;
        m_aheadPart[static_cast<std::size_t>(x)] =
            std::int64_t{h[2]} * p[0] + std::int64_t{h[3]} * p[1] + std::int64_t{h[4]} * p[2];
    }
    // The left taps read the values just written: a serial chain along the row.
    std::int64_t left2 = row[-2], left1 = row[-1];
    for (int x = 0; x < width; ++x) {
        const std::int64_t sum = h[0] * left2 + h[1] * left1 + m_aheadPart[static_cast<std::size_t>(x)];
        const std::int64_t out = m_verticalPart[static_cast<std::size_t>(x)] + sum / 100;
        row[x] = static_cast<std::int32_t>(out);
        left2 = left1;
        left1 = row[x];
    }
}

// The same filter in 32 bits: every value read lies within +-47935, so no sum reaches 2^31.
void EnhanceCorrect::FilterRowNarrow(std::int32_t* row, int width, WqFcPath path) {
    const Kernel& v = m_vertical;
    const Kernel& h = m_horizontal;
    m_verticalNarrow.resize(static_cast<std::size_t>(width));
    m_aheadNarrow.resize(static_cast<std::size_t>(width));
    std::int32_t* vertical = m_verticalNarrow.data();
    std::int32_t* ahead = m_aheadNarrow.data();
    int x = path == WqFcPath::Avx2
                ? wqfc_kernels::avx2::EnhancePartsRow(row, width, v.data(), h.data(), vertical, ahead)
                : wqfc_kernels::base::EnhancePartsRow(row, width, v.data(), h.data(), vertical, ahead);
    const std::ptrdiff_t w = width;
    for (; x < width; ++x) {
        const std::int32_t* p = row + x;
        vertical[x] = (v[0] * p[-2 * w] + v[1] * p[-w] + v[2] * p[0] + v[3] * p[w] + v[4] * p[2 * w]) / 100;
        ahead[x] = h[2] * p[0] + h[3] * p[1] + h[4] * p[2];
    }
    // The left taps make a serial chain, so its step is kept short: the division by 100 is folded into
    // the tap weights as a multiply by ceil(2^38 / 100), exact for sums below 4.9e9 in magnitude, and
    // the product's sign bit turns its floor into truncation toward zero.
    constexpr std::int64_t kMagic = 2748779070;
    const std::int64_t m0 = h[0] * kMagic, m1 = h[1] * kMagic;
    std::int64_t left2 = row[-2], left1 = row[-1];
    for (x = 0; x < width; ++x) {
        const std::int64_t product = left1 * m1 + (left2 * m0 + std::int64_t{ahead[x]} * kMagic);
        const std::int64_t quotient =
            (product >> 38) + static_cast<std::int64_t>(static_cast<std::uint64_t>(product) >> 63);
        const std::int32_t out = vertical[x] + static_cast<std::int32_t>(quotient);
        row[x] = out;
        left2 = left1;
        left1 = out;
    }
}
