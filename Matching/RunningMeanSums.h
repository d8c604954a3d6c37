// The provisional-mean correlation's sums Sxx and Sxy for many candidates at once: eight horizontally
// neighbouring candidates per vector, each lane with its own running mean, in single precision. Every
// value is an integer below 2^24 or a quotient formed as RunningMeanDivision.h shows, and the float sums
// are carried into 64-bit integers before they could pass 2^24, so the sums equal the plain path's
// 64-bit integers exactly, however large the template.
#pragma once

#include <cstdint>

namespace kivic::matching {

// Candidates per vector.
constexpr int kRunningMeanLanes = 8;

// The template side, one entry per template pixel k in raster order.
struct RunningMeanTemplate {
    int width = 0;
    int height = 0;
    const float* deviation = nullptr; // the template's deviations d_k
    const float* weight = nullptr;    // sign(d_k) times the greatest float not above |d_k| / (k + 1)
    const float* below = nullptr;     // the greatest float not above 1 / (k + 1)
    const float* above = nullptr;     // the least float not below 1 / (k + 1), k < kMovingPixels
};

// starts[v]: the window's top-left pixel of the first of vector v's eight candidates, in an area of
// floats with the given row stride; the other seven lie at the next seven columns, and the area holds
// all of their windows. Writes the sums of candidate 8 v + i to sxx[8 v + i] and sxy[8 v + i].
void RunningMeanSums(const float* const* starts, int vectors, int stride, const RunningMeanTemplate& t,
                     std::int64_t* sxx, std::int64_t* sxy);

} // namespace kivic::matching
