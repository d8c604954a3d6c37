#include "Matching/CorrFullMatching.h"
#include "Matching/ZeroMeanCorrelation.h"

#include <cstdint>

using kivic::matching::ZeroMeanScore;

int CorrFullMatching::PrepareTemplate() {
    if (count_ == 0 || templatePixels_ == nullptr) {
        return 0;
    }
    std::int64_t sum = 0;
    for (int k = 0; k < count_; ++k) {
        sum += templatePixels_[k];
    }
    const std::int64_t m = sum / count_;
    std::int64_t e = 0;
    for (int k = 0; k < count_; ++k) {
        deviation_[k] = static_cast<std::int32_t>(templatePixels_[k] - m);
        e += static_cast<std::int64_t>(deviation_[k]) * deviation_[k];
    }
    mean_ = static_cast<double>(m);
    energy_ = static_cast<double>(e);
    return 1;
}

double CorrFullMatching::Score(int x, int y) {
    std::int64_t sum = 0;
    for (int j = 0; j < templateHeight_; ++j) {
        const unsigned char* a = imagePixels_ + static_cast<std::int64_t>(y + j) * imageWidth_ + x;
        for (int i = 0; i < templateWidth_; ++i) {
            sum += a[i];
        }
    }
    const std::int64_t mx = sum / count_;
    std::int64_t sxx = 0;
    std::int64_t sxy = 0;
    int k = 0;
    for (int j = 0; j < templateHeight_; ++j) {
        const unsigned char* a = imagePixels_ + static_cast<std::int64_t>(y + j) * imageWidth_ + x;
        for (int i = 0; i < templateWidth_; ++i, ++k) {
            const std::int64_t d = a[i] - mx;
            sxx += d * d;
            sxy += deviation_[k] * d;
        }
    }
    return ZeroMeanScore(sxx, sxy, energy_);
}

bool CorrFullMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    if (!FastPaths()) {
        return CorrelationMatching::ScoreArea(x0, y0, columns, rows, scores);
    }
    using namespace kivic::matching;
    TemplateStatistics stats;
    stats.count = count_;
    stats.mean = static_cast<std::int64_t>(mean_);
    for (int k = 0; k < count_; ++k) {
        stats.deviationSum += deviation_[k];
    }
    stats.energy = energy_;
    const AreaView area{imagePixels_ + static_cast<std::int64_t>(y0) * imageWidth_ + x0, imageWidth_,
                        columns + templateWidth_ - 1, rows + templateHeight_ - 1};
    ZeroMeanScores(area, templatePixels_, templateWidth_, templateHeight_, false, stats, scores);
    return true;
}
