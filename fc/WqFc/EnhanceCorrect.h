// Edge enhance on the luminance plane: a vertical and a horizontal five-tap kernel, each sum divided
// by 100 (truncated toward zero) and the two added. The filter works in place from the top left, so
// filtered values above and to the left feed later pixels. Rows outside the picture read 0; a
// column outside it continues into the neighbouring row.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "fc/WqFc/WqFcPath.h"

class EnhanceCorrect {
public:
    using Kernel = std::array<std::int32_t, 5>; // taps -2..2

    // Level 0..3; anything else is level 0.
    void SetLevel(int level);
    int Level() const { return m_level; }
    const Kernel& Vertical() const { return m_vertical; }
    const Kernel& Horizontal() const { return m_horizontal; }
    static Kernel KernelFor(int level);
    // True when only the centre taps are non-zero: each pixel then depends on itself alone.
    bool CentreOnly() const;

    // Filters picture row y in place. row0 is picture row 0 of a plane of the given width that has two
    // zero rows above and two below; rows y+1 and y+2 must hold their unfiltered values already.
    void FilterRow(std::int32_t* row0, int width, int y, WqFcPath path = WqFcActivePath());

private:
    int m_level = 0;
    Kernel m_vertical = KernelFor(0);
    Kernel m_horizontal = KernelFor(0);
    void FilterRowWide(std::int32_t* row, int width);
    void FilterRowNarrow(std::int32_t* row, int width, WqFcPath path);

    std::vector<std::int64_t> m_verticalPart;
    std::vector<std::int64_t> m_aheadPart;
    std::vector<std::int32_t> m_verticalNarrow;
    std::vector<std::int32_t> m_aheadNarrow;
    // Largest magnitudes of the two rows filtered last; they bound the sums of the next row.
    std::int64_t m_filteredMax[2] = {0, 0};
};
