// The zero-mean correlation with integer means shared by methods 0 and 2, from exact window sums.
//
// With the window's integer mean mX = S / count and the template's deviations d = T - m:
//   Sxx = sum (X - mX)^2     = Q - 2 mX S + count mX^2
//   Sxy = sum d (X - mX)     = (P - m S) - mX (sum d)
// where S, Q and P are the window's sum, sum of squares and product with the template over the
// pixels taken. All terms are exact 64-bit integers, so these equal the pixel-by-pixel sums.
#pragma once

#include "Matching/WindowSums.h"

#include <cstdint>

namespace kivic::matching {

struct TemplateStatistics {
    std::int64_t count = 0;        // pixels taken
    std::int64_t mean = 0;         // integer mean m
    std::int64_t deviationSum = 0; // sum of (T - m)
    double energy = 0.0;           // sum of (T - m)^2
};

double ZeroMeanScore(std::int64_t sxx, std::int64_t sxy, double energy);

// Scores every candidate. weights: the template with the pixels not taken set to 0.
void ZeroMeanScores(const AreaView& area, const unsigned char* weights, int templateWidth, int templateHeight,
                    bool checkerboard, const TemplateStatistics& stats, double* scores);

} // namespace kivic::matching
