#include "Matching/RunningMeanDivision.h"

#include <algorithm>
#include <cmath>

namespace kivic::matching {

double LeastNotBelow(double numerator, double denominator) {
    // The nearest double, or the next one up when the nearest lies below: the sign of
    // q * denominator - numerator is exact in one fused step.
    double q = numerator / denominator;
    if (std::fma(q, denominator, -numerator) < 0.0) {
        q = std::nextafter(q, HUGE_VAL);
    }
    return q;
}

const RunningMeanFactors& RunningMeanFactorsFor(std::int64_t count) {
    thread_local RunningMeanFactors factors;
    if (factors.count != count) {
        factors.fraction.resize(static_cast<std::size_t>(count));
        factors.reciprocal.resize(static_cast<std::size_t>(std::min(count, kMovingPixels)));
        for (std::int64_t k = 0; k < count; ++k) {
            const double next = static_cast<double>(k + 1);
            factors.fraction[static_cast<std::size_t>(k)] = LeastNotBelow(static_cast<double>(k), next);
            if (k < kMovingPixels) {
                factors.reciprocal[static_cast<std::size_t>(k)] = LeastNotBelow(1.0, next);
            }
        }
        factors.count = count;
    }
    return factors;
}

} // namespace kivic::matching
