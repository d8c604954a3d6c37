#include "Matching/CorrChkMatching.h"
#include "Matching/ZeroMeanCorrelation.h"

#include <cstdint>
#include <vector>

using kivic::matching::ZeroMeanScore;

namespace {
// Pixels of a w x h window whose column and row add up to an even number.
std::int64_t CheckerCount(int w, int h) {
    return static_cast<std::int64_t>((w + 1) / 2) * ((h + 1) / 2) +
           static_cast<std::int64_t>(w / 2) * (h / 2);
}
} // namespace

int CorrChkMatching::PrepareTemplate() {
    if (count_ == 0 || templatePixels_ == nullptr) {
        return 0;
    }
    const std::int64_t taken = CheckerCount(templateWidth_, templateHeight_);
    std::int64_t sum = 0;
    for (int j = 0; j < templateHeight_; ++j) {
        for (int i = j % 2; i < templateWidth_; i += 2) {
            sum += templatePixels_[j * templateWidth_ + i];
        }
    }
    const std::int64_t m = sum / taken;
    std::int64_t e = 0;
    for (int j = 0; j < templateHeight_; ++j) {
        for (int i = j % 2; i < templateWidth_; i += 2) {
            const int k = j * templateWidth_ + i;
            deviation_[k] = static_cast<std::int32_t>(templatePixels_[k] - m);
            e += static_cast<std::int64_t>(deviation_[k]) * deviation_[k];
        }
    }
    mean_ = static_cast<double>(m);
    energy_ = static_cast<double>(e);
    return 1;
}

double CorrChkMatching::Score(int x, int y) {
    const std::int64_t taken = CheckerCount(templateWidth_, templateHeight_);
    std::int64_t sum = 0;
    for (int j = 0; j < templateHeight_; ++j) {
        const unsigned char* a = imagePixels_ + static_cast<std::int64_t>(y + j) * imageWidth_ + x;
        for (int i = j % 2; i < templateWidth_; i += 2) {
            sum += a[i];
        }
    }
    const std::int64_t mx = sum / taken;
    std::int64_t sxx = 0;
    std::int64_t sxy = 0;
    for (int j = 0; j < templateHeight_; ++j) {
        const unsigned char* a = imagePixels_ + static_cast<std::int64_t>(y + j) * imageWidth_ + x;
        for (int i = j % 2; i < templateWidth_; i += 2) {
            const std::int64_t d = a[i] - mx;
            sxx += d * d;
            sxy += deviation_[j * templateWidth_ + i] * d;
        }
    }
    return ZeroMeanScore(sxx, sxy, energy_);
}

bool CorrChkMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    if (!FastPaths()) {
        return CorrelationMatching::ScoreArea(x0, y0, columns, rows, scores);
    }
    using namespace kivic::matching;
    TemplateStatistics stats;
    stats.count = CheckerCount(templateWidth_, templateHeight_);
    stats.mean = static_cast<std::int64_t>(mean_);
    std::vector<unsigned char> weights(static_cast<std::size_t>(count_), 0);
    for (int j = 0; j < templateHeight_; ++j) {
        for (int i = j % 2; i < templateWidth_; i += 2) {
            const int k = j * templateWidth_ + i;
            weights[static_cast<std::size_t>(k)] = templatePixels_[k];
            stats.deviationSum += deviation_[k];
        }
    }
    stats.energy = energy_;
    const AreaView area{imagePixels_ + static_cast<std::int64_t>(y0) * imageWidth_ + x0, imageWidth_,
                        columns + templateWidth_ - 1, rows + templateHeight_ - 1};
    ZeroMeanScores(area, weights.data(), templateWidth_, templateHeight_, true, stats, scores);
    return true;
}
