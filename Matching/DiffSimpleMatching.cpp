#include "Matching/DiffSimpleMatching.h"
#include "Matching/CrossCorrelation.h"

#include <cstdint>
#include <vector>

double DifferenceScore(long long sum, int count) {
    return (255.0 - static_cast<double>(sum) / count) * (1.0 / 255.0);
}

void ScoreDifferenceArea(const unsigned char* image, int imageWidth, int x0, int y0, int columns, int rows,
                         const unsigned char* templ, int templateWidth, int templateHeight, double* scores) {
    using namespace kivic::matching;
    const AreaView area{image + static_cast<std::int64_t>(y0) * imageWidth + x0, imageWidth,
                        columns + templateWidth - 1, rows + templateHeight - 1};
    thread_local std::vector<std::int64_t> sums;
    sums.resize(static_cast<std::size_t>(columns) * rows);
    ComputeWindowAbsDifferences(area, templ, templateWidth, templateHeight, sums.data());
    const int count = templateWidth * templateHeight;
    for (std::size_t i = 0; i < sums.size(); ++i) {
        scores[i] = DifferenceScore(sums[i], count);
    }
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
    ScoreDifferenceArea(imagePixels_, imageWidth_, x0, y0, columns, rows, templatePixels_, templateWidth_,
                        templateHeight_, scores);
    return true;
}
