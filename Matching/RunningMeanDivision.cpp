#include "Matching/RunningMeanDivision.h"

#include <algorithm>
#include <cmath>

namespace kivic::matching {

namespace {

// The sign of q * denominator - numerator, exact: the fused step rounds only once.
double Excess(float q, double numerator, double denominator) {
    return std::fma(static_cast<double>(q), denominator, -numerator);
}

} // namespace

// The float nearest to the double quotient lies within one step of the exact quotient, on either side.
float FloatNotAbove(double numerator, double denominator) {
    const float q = static_cast<float>(numerator / denominator);
    return Excess(q, numerator, denominator) > 0.0 ? std::nextafter(q, 0.0f) : q;
}

float FloatNotBelow(double numerator, double denominator) {
    const float q = static_cast<float>(numerator / denominator);
    return Excess(q, numerator, denominator) < 0.0 ? std::nextafter(q, HUGE_VALF) : q;
}

const RunningMeanFactors& RunningMeanFactorsFor(std::int64_t count) {
    thread_local RunningMeanFactors factors;
    if (factors.count != count) {
        factors.below.resize(static_cast<std::size_t>(count));
        factors.above.resize(static_cast<std::size_t>(std::min(count, kMovingPixels)));
        for (std::int64_t k = 0; k < count; ++k) {
            const double next = static_cast<double>(k + 1);
            factors.below[static_cast<std::size_t>(k)] = FloatNotAbove(1.0, next);
            if (k < kMovingPixels) {
                factors.above[static_cast<std::size_t>(k)] = FloatNotBelow(1.0, next);
            }
        }
        factors.count = count;
    }
    return factors;
}

} // namespace kivic::matching
