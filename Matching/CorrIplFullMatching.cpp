#include "Matching/CorrIplFullMatching.h"
#include "Matching/CrossCorrelation.h"
#include "Matching/WindowSums.h"

#include <cmath>
#include <vector>

// The energies come from squared roots, so a window without variance leaves a rounding residue rather
// than zero, which could even score above a real match: flatness is decided on the exact sums. A flat
// template has an energy of zero (see SetTemplate). Residues below the guard count as none, like the
// other correlation methods do.
double NormScore(std::int64_t s, std::int64_t q, double r, std::int64_t p, std::int64_t count, double mean,
                 double energy) {
    if (kivic::matching::AllAlike(s, q, count)) {
        return -1.0;
    }
    const double ds = static_cast<double>(s);
    const double v = (r * r - ds * ds / static_cast<double>(count)) * energy;
    if (v <= kLowestVariance) {
        return -1.0;
    }
    return (static_cast<double>(p) - mean * ds) / std::sqrt(v);
}

double CorrIplFullMatching::IplScore(IplImage* window) {
    const double s = iplNorm(window, nullptr, IPL_L1);
    const double r = iplNorm(window, nullptr, IPL_L2);
    iplMultiply(window, templateImage_, productImage_);
    const double p = iplNorm(productImage_, nullptr, IPL_L1);
    return NormScore(std::llround(s), SquaresOfNorm(r), r, std::llround(p),
                     static_cast<std::int64_t>(templateWidth_) * templateHeight_, iplMean_, iplEnergy_);
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
    const std::int64_t count = static_cast<std::int64_t>(templateWidth_) * templateHeight_;
    for (std::size_t i = 0; i < products.size(); ++i) {
        // The library's L1 and L2 norms of 8-bit pixels are the exact sums (and the root of one).
        scores[i] = NormScore(sums.sum[i], sums.squares[i], std::sqrt(static_cast<double>(sums.squares[i])),
                              products[i], count, iplMean_, iplEnergy_);
    }
    return true;
}
