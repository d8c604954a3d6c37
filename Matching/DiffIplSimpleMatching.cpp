#include "Matching/DiffIplSimpleMatching.h"
#include "Matching/CrossCorrelation.h"
#include "Matching/DiffSimpleMatching.h"

#include <cstdint>
#include <vector>

double DiffIplSimpleMatching::Score(IplImage* window) {
    const double d = iplNorm(window, templateImage_, IPL_L1);
    return (255.0 - d / (templateWidth_ * templateHeight_)) * (1.0 / 255.0);
}

bool DiffIplSimpleMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    if (!FastPaths()) {
        return DifferenceIplMatching::ScoreArea(x0, y0, columns, rows, scores);
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
