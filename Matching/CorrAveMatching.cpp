#include "Matching/CorrAveMatching.h"
#include "Matching/CrossCorrelation.h"
#include "Matching/RunningMeanDivision.h"
#include "Matching/RunningMeanSums.h"
#include "Matching/ZeroMeanCorrelation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

using kivic::matching::ZeroMeanScore;

// Every running quantity is kept in 64 bits; the products d * d * k reach past 32 bits for templates
// of about 183 x 183 pixels and more.
int CorrAveMatching::PrepareTemplate() {
    if (count_ == 0 || templatePixels_ == nullptr) {
        return 0;
    }
    std::int64_t m = 0;
    std::int64_t c = 0;
    for (std::int64_t k = 0; k < count_; ++k) {
        const std::int64_t d = templatePixels_[k] - m;
        m += d / (k + 1);
        deviation_[k] = static_cast<std::int32_t>(d);
        c += d * d * k / (k + 1);
    }
    mean_ = static_cast<double>(m);
    energy_ = static_cast<double>(c);
    return 1;
}

double CorrAveMatching::Score(int x, int y) {
    std::int64_t m = 0;
    std::int64_t sxx = 0;
    std::int64_t sxy = 0;
    std::int64_t k = 0;
    for (int j = 0; j < templateHeight_; ++j) {
        const unsigned char* a = imagePixels_ + static_cast<std::int64_t>(y + j) * imageWidth_ + x;
        for (int i = 0; i < templateWidth_; ++i, ++k) {
            const std::int64_t d = a[i] - m;
            m += d / (k + 1);
            sxx += d * d * k / (k + 1);
            sxy += d * deviation_[k] * k / (k + 1);
        }
    }
    return ZeroMeanScore(sxx, sxy, energy_);
}

bool CorrAveMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    if (!FastPaths() || !kivic::matching::VectorPathAvailable()) {
        return CorrelationMatching::ScoreArea(x0, y0, columns, rows, scores);
    }
    using namespace kivic::matching;
    // The search area as floats, every row padded to whole vectors of candidates: the padding's
    // candidates go through the same arithmetic and their sums are dropped.
    const int perRow = (columns + kRunningMeanLanes - 1) / kRunningMeanLanes;
    const int areaWidth = columns + templateWidth_ - 1;
    const int stride = perRow * kRunningMeanLanes + templateWidth_ - 1;
    const int areaHeight = rows + templateHeight_ - 1;
    thread_local std::vector<float> area;
    area.assign(static_cast<std::size_t>(stride) * areaHeight, 0.0f);
    for (int y = 0; y < areaHeight; ++y) {
        const unsigned char* src = imagePixels_ + static_cast<std::int64_t>(y0 + y) * imageWidth_ + x0;
        std::copy(src, src + areaWidth, area.begin() + static_cast<std::ptrdiff_t>(y) * stride);
    }
    const auto count = static_cast<std::size_t>(count_);
    thread_local std::vector<float> deviation;
    thread_local std::vector<float> weight;
    deviation.resize(count);
    weight.resize(count);
    for (std::size_t k = 0; k < count; ++k) {
        const std::int32_t d = deviation_[k];
        deviation[k] = static_cast<float>(d);
        weight[k] = std::copysign(FloatNotAbove(std::abs(static_cast<double>(d)), static_cast<double>(k + 1)),
                                  static_cast<float>(d));
    }
    const RunningMeanFactors& div = RunningMeanFactorsFor(count_);
    const RunningMeanTemplate t{templateWidth_, templateHeight_,  deviation.data(),
                                weight.data(),  div.below.data(), div.above.data()};
    const int vectors = perRow * rows;
    thread_local std::vector<const float*> starts;
    starts.resize(static_cast<std::size_t>(vectors));
    for (int v = 0; v < vectors; ++v) {
        starts[static_cast<std::size_t>(v)] = area.data() + static_cast<std::size_t>(v / perRow) * stride +
                                              static_cast<std::size_t>(v % perRow) * kRunningMeanLanes;
    }
    thread_local std::vector<std::int64_t> sxx;
    thread_local std::vector<std::int64_t> sxy;
    sxx.resize(static_cast<std::size_t>(vectors) * kRunningMeanLanes);
    sxy.resize(sxx.size());
    RunningMeanSums(starts.data(), vectors, stride, t, sxx.data(), sxy.data());
    for (int r = 0; r < rows; ++r) {
        const std::size_t in = static_cast<std::size_t>(r) * perRow * kRunningMeanLanes;
        for (int c = 0; c < columns; ++c) {
            *scores++ = ZeroMeanScore(sxx[in + c], sxy[in + c], energy_);
        }
    }
    return true;
}
