// The running means of the provisional-mean correlation divide by k + 1 at every pixel k (integer
// divisions, truncating toward zero). The vector path does each as one multiplication by a factor
// taken from above: with fraction[k] the least double not below k / (k + 1) and reciprocal[k] the
// least double not below 1 / (k + 1), for integers |n| <= 255 * 255
//   trunc(n * fraction[k]) == n * k / (k + 1)   and   trunc(n * reciprocal[k]) == n / (k + 1).
// The factor exceeds the quotient by less than one unit in its last place, so the rounded product is
// never below the quotient's integer part (itself a double) and exceeds the quotient by less than
// (2 |n| + 1) * 2^-53, while a quotient that is not whole lies at least 1 / (k + 1) below the next
// integer: the product stays below that while (k + 1) * (2 |n| + 1) < 2^53, for k + 1 < 2^36.
#pragma once

#include <cstdint>
#include <vector>

namespace kivic::matching {

// A running mean of 8-bit values stays within 0 ... 255, so from pixel 255 on |d| < k + 1 and
// d / (k + 1) is 0: the mean no longer moves.
constexpr std::int64_t kMovingPixels = 255;

struct RunningMeanFactors {
    std::int64_t count = 0;
    std::vector<double> fraction;   // k = 0 ... count - 1
    std::vector<double> reciprocal; // k = 0 ... min(count, kMovingPixels) - 1
};

// The factors for count pixels, kept per thread for the count last asked for.
const RunningMeanFactors& RunningMeanFactorsFor(std::int64_t count);

// The least double not below numerator / denominator, both integers below 2^53, denominator > 0.
double LeastNotBelow(double numerator, double denominator);

} // namespace kivic::matching
