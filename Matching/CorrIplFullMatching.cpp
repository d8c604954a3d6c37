#include "Matching/CorrIplFullMatching.h"
#include "Matching/CrossCorrelation.h"
#include "Matching/WindowSums.h"

#include <cmath>
#include <vector>

// Windows or templates without variance leave a denominator that rounding makes tiny but not always
// zero; it is taken as none, like the other correlation methods do.
double NormScore(double s, double r, double p, double count, double mean, double energy) {
    const double v = (r * r - s * s / count) * energy;
    if (v <= kLowestVariance) {
        return -1.0;
    }
    return (p - mean * s) / std::sqrt(v);
}

double CorrIplFullMatching::IplScore(IplImage* window) {
    const double s = iplNorm(window, nullptr, IPL_L1);
    const double r = iplNorm(window, nullptr, IPL_L2);
    iplMultiply(window, templateImage_, productImage_);
    const double p = iplNorm(productImage_, nullptr, IPL_L1);
    return NormScore(s, r, p, static_cast<double>(templateWidth_) * templateHeight_, iplMean_, iplEnergy_);
}

bool CorrIplFullMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    if (!FastPaths()) {
        return CorrelationIplMatching::ScoreArea(x0, y0, columns, rows, scores);
    }
    using namespace kivic::matching;
    const AreaView area{imagePixels_ + static_cast<std::int64_t>(y0) * imageWidth_ + x0, imageWidth_,
                        columns + templateWidth_ - 1, rows + templateHeight_ - 1};
    thread_local WindowSums sums;
    ComputeWindowSums(area, templateWidth_, templateHeight_, false, sums);
    thread_local std::vector<std::int64_t> products;
    products.resize(sums.sum.size());
    ComputeWindowProducts(area, templatePixels_, templateWidth_, templateHeight_, products.data());
    const double count = static_cast<double>(templateWidth_) * templateHeight_;
    for (std::size_t i = 0; i < products.size(); ++i) {
        // The library's L1 and L2 norms of 8-bit pixels are the exact sums (and the root of one).
        scores[i] =
            NormScore(static_cast<double>(sums.sum[i]), std::sqrt(static_cast<double>(sums.squares[i])),
                      static_cast<double>(products[i]), count, iplMean_, iplEnergy_);
    }
    return true;
}
