#include "Matching/ZeroMeanCorrelation.h"
#include "Matching/CorrelationMatching.h"
#include "Matching/CrossCorrelation.h"

#include <cmath>
#include <vector>

namespace kivic::matching {

double ZeroMeanScore(std::int64_t sxx, std::int64_t sxy, double energy) {
    const double v = static_cast<double>(sxx) * energy;
    if (v <= kLowestVariance) {
        return -1.0;
    }
    return static_cast<double>(sxy) / std::sqrt(v);
}

void ZeroMeanScores(const AreaView& area, const unsigned char* weights, int templateWidth, int templateHeight,
                    bool checkerboard, const TemplateStatistics& stats, double* scores) {
    thread_local WindowSums sums;
    ComputeWindowSums(area, templateWidth, templateHeight, checkerboard, sums);
    thread_local std::vector<std::int64_t> products;
    products.resize(sums.sum.size());
    ComputeWindowProducts(area, weights, templateWidth, templateHeight, products.data());
    for (std::size_t i = 0; i < products.size(); ++i) {
        const std::int64_t s = sums.sum[i];
        const std::int64_t mx = s / stats.count;
        const std::int64_t sxx = sums.squares[i] - 2 * mx * s + stats.count * mx * mx;
        const std::int64_t sxy = products[i] - stats.mean * s - mx * stats.deviationSum;
        scores[i] = ZeroMeanScore(sxx, sxy, stats.energy);
    }
}

} // namespace kivic::matching
