#include "Matching/DiffSimpleMatching.h"
#include "Matching/CrossCorrelation.h"

#include <cstdint>
#include <vector>

double DifferenceScore(long long sum, int count) {
    return (255.0 - static_cast<double>(sum) / count) * (1.0 / 255.0);
}

double DiffSimpleMatching::Score(int x, int y) {
    std::int64_t d = 0;
    for (int j = 0; j < templateHeight_; ++j) {
        const unsigned char* a = imagePixels_ + static_cast<std::int64_t>(y + j) * imageWidth_ + x;
        const unsigned char* t = templatePixels_ + static_cast<std::int64_t>(j) * templateWidth_;
        for (int i = 0; i < templateWidth_; ++i) {
            d += a[i] > t[i] ? a[i] - t[i] : t[i] - a[i];
        }
    }
    return DifferenceScore(d, templateWidth_ * templateHeight_);
}

bool DiffSimpleMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    if (!FastPaths()) {
        return DifferenceMatching::ScoreArea(x0, y0, columns, rows, scores);
    }
    using namespace kivic::matching;
    const AreaView area{imagePixels_ + static_cast<std::int64_t>(y0) * imageWidth_ + x0, imageWidth_,
                        columns + templateWidth_ - 1, rows + templateHeight_ - 1};
    thread_local std::vector<std::int64_t> sums;
    sums.resize(static_cast<std::size_t>(columns) * rows);
    ComputeWindowAbsDifferences(area, templatePixels_, templateWidth_, templateHeight_, sums.data());
    const int count = templateWidth_ * templateHeight_;
    for (std::size_t i = 0; i < sums.size(); ++i) {
        scores[i] = DifferenceScore(sums[i], count);
    }
    return true;
}
