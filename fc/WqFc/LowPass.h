// Optional 3x3 mean over the demosaiced colour planes (all nine weights 1, integer division by 9).
// Each plane is filtered on its own with its edge rows and columns repeated outward, so no colour
// leaks from one plane into the next and the output stays aligned with the input.
#pragma once

#include <cstdint>

#include "fc/WqFc/WqFcPath.h"

namespace LowPass {

// Filters one plane of width x height from in to out (distinct buffers). inRange tells that every
// value lies in 0..4080, which lets the vector kernels run.
void FilterPlane(const std::int16_t* in, int width, int height, bool inRange, std::int16_t* out,
                 WqFcPath path = WqFcActivePath());

} // namespace LowPass
