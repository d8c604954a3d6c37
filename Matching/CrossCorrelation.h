// Products of a template with every window of a search area, P(c, r) = sum of T(i, j) * A(c + i, r + j),
// exact in 64-bit integers, and sums of absolute differences D(c, r) = sum of |T(i, j) - A(c + i, r + j)|.
// Several engines give the same integers; the automatic choice takes the fastest for the sizes.
#pragma once

#include "Matching/WindowSums.h"

#include <cstdint>

namespace kivic::matching {

enum class ProductEngine {
    Automatic,
    Plain,   // one multiply at a time
    Vector,  // vector dot products per window
    Fourier, // spectra, with the products rounded back to the exact integers
};

// weights: templateWidth x templateHeight bytes, rows without padding. out: one value per candidate,
// raster order, (area width - templateWidth + 1) x (area height - templateHeight + 1).
void ComputeWindowProducts(const AreaView& area, const unsigned char* weights, int templateWidth,
                           int templateHeight, std::int64_t* out,
                           ProductEngine engine = ProductEngine::Automatic);

void ComputeWindowAbsDifferences(const AreaView& area, const unsigned char* templ, int templateWidth,
                                 int templateHeight, std::int64_t* out, bool useVector = true);

// The engine that Automatic takes for these sizes.
ProductEngine ChosenProductEngine(int areaWidth, int areaHeight, int templateWidth, int templateHeight);

// Whether the vector paths can run on this processor.
bool VectorPathAvailable();

} // namespace kivic::matching
