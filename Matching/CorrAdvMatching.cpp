#include "Matching/CorrAdvMatching.h"
#include "Matching/CrossCorrelation.h"
#include "Matching/WindowSums.h"

#include <cmath>
#include <new>
#include <vector>

double WindowSumScore(std::int64_t s, std::int64_t q, std::int64_t p, int count, double mean, double energy) {
    const double ds = static_cast<double>(s);
    const double v = (static_cast<double>(q) - (ds / count) * ds) * energy;
    if (v <= kLowestVariance) {
        return -1.0;
    }
    return (static_cast<double>(p) - mean * ds) / std::sqrt(v);
}

int CorrAdvMatching::PrepareTemplate() {
    if (count_ == 0 || templatePixels_ == nullptr) {
        return 0;
    }
    std::int64_t s = 0;
    std::int64_t q = 0;
    for (int k = 0; k < count_; ++k) {
        s += templatePixels_[k];
        q += static_cast<std::int64_t>(templatePixels_[k]) * templatePixels_[k];
    }
    mean_ = static_cast<double>(s) / count_;
    energy_ = static_cast<double>(q) - mean_ * static_cast<double>(s);
    return 1;
}

double CorrAdvMatching::Score(int, int) {
    return 0.0;
}

bool CorrAdvMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    if (!FastPaths()) {
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                std::int64_t sum = 0;
                std::int64_t squares = 0;
                std::int64_t product = 0;
                for (int j = 0; j < templateHeight_; ++j) {
                    const unsigned char* a =
                        imagePixels_ + static_cast<std::int64_t>(y0 + r + j) * imageWidth_ + x0 + c;
                    const unsigned char* t = templatePixels_ + static_cast<std::int64_t>(j) * templateWidth_;
                    for (int i = 0; i < templateWidth_; ++i) {
                        sum += a[i];
                        squares += a[i] * a[i];
                        product += a[i] * t[i];
                    }
                }
                *scores++ = WindowSumScore(sum, squares, product, count_, mean_, energy_);
            }
        }
        return true;
    }
    using namespace kivic::matching;
    const AreaView area{imagePixels_ + static_cast<std::int64_t>(y0) * imageWidth_ + x0, imageWidth_,
                        columns + templateWidth_ - 1, rows + templateHeight_ - 1};
    thread_local WindowSums sums;
    ComputeWindowSums(area, templateWidth_, templateHeight_, false, sums);
    thread_local std::vector<std::int64_t> products;
    products.resize(sums.sum.size());
    ComputeWindowProducts(area, templatePixels_, templateWidth_, templateHeight_, products.data());
    for (std::size_t i = 0; i < products.size(); ++i) {
        scores[i] = WindowSumScore(sums.sum[i], sums.squares[i], products[i], count_, mean_, energy_);
    }
    return true;
}

double CorrAdvMatching::Search(int x0, int y0, int searchWidth, int searchHeight, int* bestX, int* bestY) {
    if (!CanSearch(x0, y0, searchWidth, searchHeight) || !TemplateAccepted()) {
        return Refuse(bestX, bestY);
    }
    *bestX = 0;
    *bestY = 0;
    // Running sums need room to move: an area of the template's own width or height is not searched.
    if (searchWidth <= templateWidth_ || searchHeight <= templateHeight_) {
        return 0.0;
    }
    try {
        double* scores = ScoreBuffer(static_cast<std::size_t>(scoreMapWidth_) * scoreMapHeight_);
        if (!ScoreArea(x0, y0, scoreMapWidth_, scoreMapHeight_, scores)) {
            return Refuse(bestX, bestY);
        }
        double best = -1.0;
        for (int r = 0; r < scoreMapHeight_; ++r) {
            const bool forward = (r % 2) == 0;
            for (int n = 0; n < scoreMapWidth_; ++n) {
                const int c = forward ? n : scoreMapWidth_ - 1 - n;
                const std::size_t i = static_cast<std::size_t>(r) * scoreMapWidth_ + c;
                scoreMap_[i] = static_cast<float>(scores[i]);
                if (scores[i] > best) {
                    best = scores[i];
                    *bestX = x0 + c;
                    *bestY = y0 + r;
                }
            }
        }
        return best;
    } catch (const std::bad_alloc&) {
        return Refuse(bestX, bestY);
    }
}
