// The running means of the provisional-mean correlation divide by k + 1 at every pixel k (integer
// divisions, truncating toward zero). The vector path works in single precision, where a product
// n * k / (k + 1) of up to 255 * 255 would need more digits than a float has, so it takes the whole
// part out first:
//   (n * k) / (k + 1) == n - ceil(n / (k + 1))                  for n >= 0,
//   (p * k) / (k + 1) == p - sign(p) * ceil(|p| / (k + 1))      for any integer p,
// and forms each remaining quotient as one product by a factor taken from below. With f the greatest
// float not above c / (k + 1) and an integer u >= 0 whose A = u * c is at most 255 * 255:
//   ceil(u * f) == ceil(A / (k + 1))      (u * f rounded to the nearest float).
// The product never lies above the quotient, so a whole quotient stays itself; f lies less than 2^-23
// of itself below c / (k + 1) and the rounding moves by at most 2^-24 of the product, so a quotient
// that is not whole, at least 1 / (k + 1) above its integer part n, keeps the product above n as long
// as 3 * A < 2^24.
// The mean itself moves by d / (k + 1) with |d| <= 255 while k < 255: there the least float not below
// 1 / (k + 1), times d and truncated, gives the quotient by the mirror argument.
#pragma once

#include <cstdint>
#include <vector>

namespace kivic::matching {

// A running mean of 8-bit values stays within 0 ... 255, so from pixel 255 on |d| < k + 1 and
// d / (k + 1) is 0: the mean no longer moves.
constexpr std::int64_t kMovingPixels = 255;

struct RunningMeanFactors {
    std::int64_t count = 0;
    std::vector<float> below; // greatest float not above 1 / (k + 1), k = 0 ... count - 1
    std::vector<float> above; // least float not below 1 / (k + 1), k = 0 ... min(count, kMovingPixels) - 1
};

// The factors for count pixels, kept per thread for the count last asked for.
const RunningMeanFactors& RunningMeanFactorsFor(std::int64_t count);

// The greatest float not above numerator / denominator, and the least float not below it; both
// integers below 2^53, numerator >= 0, denominator > 0.
float FloatNotAbove(double numerator, double denominator);
float FloatNotBelow(double numerator, double denominator);

} // namespace kivic::matching
