// Window products through spectra: the area and the template are transformed together, multiplied
// and transformed back. Every product sum is an integer far below 2^53 and the rounding error of the
// transforms stays far below one half, so rounding each result gives the exact integer.
#pragma once

#include "Matching/WindowSums.h"

#include <cstdint>

namespace kivic::matching {

// Estimated work for an area of this size, in the units of one 16-lane multiply-add step.
double FourierCost(int areaWidth, int areaHeight);

void FourierProducts(const AreaView& area, const unsigned char* weights, int templateWidth,
                     int templateHeight, std::int64_t* out);

} // namespace kivic::matching
