#include "Matching/CorrAveMatching.h"
#include "Matching/CrossCorrelation.h"
#include "Matching/RunningMeanDivision.h"
#include "Matching/ZeroMeanCorrelation.h"

#include <immintrin.h>

#include <algorithm>
#include <cstdint>
#include <vector>

using kivic::matching::kMovingPixels;
using kivic::matching::RunningMeanFactors;
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

namespace {

// Running sums of 4 x kVectors neighbouring candidates, kVectors independent chains in flight. Every
// value is an integer below 2^53, so the sums and products are exact and the truncated products equal
// the integer divisions (see RunningMeanDivision.h).
template <int kVectors> struct RunningGroup {
    __m256d m[kVectors];
    __m256d sxx[kVectors];
    __m256d sxy[kVectors];

    // Pixels k ... k + count - 1 of one template row, at column i0 of the windows' row a.
    template <bool kMeanMoves>
    __attribute__((target("avx2"), always_inline)) inline void Add(const double* a, int i0, int count,
                                                                   std::int64_t k, const double* deviation,
                                                                   const RunningMeanFactors& div) {
        constexpr int kTruncate = _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC;
        for (int i = i0; i < i0 + count; ++i, ++k) {
            const __m256d fraction = _mm256_set1_pd(div.fraction[static_cast<std::size_t>(k)]);
            const __m256d dev = _mm256_set1_pd(deviation[k]);
            // Unrolled, so that the running sums stay in registers.
#pragma GCC unroll 8
            for (int v = 0; v < kVectors; ++v) {
                const __m256d x = _mm256_loadu_pd(a + i + 4 * v);
                const __m256d d = _mm256_sub_pd(x, m[v]);
                if constexpr (kMeanMoves) {
                    const __m256d up = _mm256_set1_pd(div.reciprocal[static_cast<std::size_t>(k)]);
                    m[v] = _mm256_add_pd(m[v], _mm256_round_pd(_mm256_mul_pd(d, up), kTruncate));
                }
                const __m256d dd = _mm256_mul_pd(_mm256_mul_pd(d, d), fraction);
                sxx[v] = _mm256_add_pd(sxx[v], _mm256_round_pd(dd, kTruncate));
                const __m256d dt = _mm256_mul_pd(_mm256_mul_pd(d, dev), fraction);
                sxy[v] = _mm256_add_pd(sxy[v], _mm256_round_pd(dt, kTruncate));
            }
        }
    }
};

template <int kVectors>
__attribute__((target("avx2"))) void ScoreGroup(const double* first, int stride, int w, int h,
                                                const double* deviation, const RunningMeanFactors& div,
                                                std::int64_t* sxxOut, std::int64_t* sxyOut) {
    RunningGroup<kVectors> g;
    for (int v = 0; v < kVectors; ++v) {
        g.m[v] = _mm256_setzero_pd();
        g.sxx[v] = _mm256_setzero_pd();
        g.sxy[v] = _mm256_setzero_pd();
    }
    std::int64_t k = 0;
    for (int j = 0; j < h; ++j) {
        const double* a = first + static_cast<std::int64_t>(j) * stride;
        const int moving = static_cast<int>(std::clamp<std::int64_t>(kMovingPixels - k, 0, w));
        g.template Add<true>(a, 0, moving, k, deviation, div);
        g.template Add<false>(a, moving, w - moving, k + moving, deviation, div);
        k += w;
    }
    for (int v = 0; v < kVectors; ++v) {
        alignas(32) double xs[4];
        alignas(32) double ys[4];
        _mm256_store_pd(xs, g.sxx[v]);
        _mm256_store_pd(ys, g.sxy[v]);
        for (int i = 0; i < 4; ++i) {
            sxxOut[4 * v + i] = static_cast<std::int64_t>(xs[i]);
            sxyOut[4 * v + i] = static_cast<std::int64_t>(ys[i]);
        }
    }
}

} // namespace

bool CorrAveMatching::ScoreArea(int x0, int y0, int columns, int rows, double* scores) {
    if (!FastPaths()) {
        return CorrelationMatching::ScoreArea(x0, y0, columns, rows, scores);
    }
    if (!kivic::matching::VectorPathAvailable()) {
        return CorrelationMatching::ScoreArea(x0, y0, columns, rows, scores);
    }
    // The search area in the vector arithmetic's own number form, every row padded to whole groups, so
    // that the last candidates of a row go through the same exact arithmetic; the padding's scores are
    // dropped.
    const int groups = (columns + 15) / 16;
    const int areaWidth = columns + templateWidth_ - 1;
    const int stride = groups * 16 + templateWidth_ - 1;
    const int areaHeight = rows + templateHeight_ - 1;
    thread_local std::vector<double> area;
    area.assign(static_cast<std::size_t>(stride) * areaHeight, 0.0);
    for (int y = 0; y < areaHeight; ++y) {
        const unsigned char* src = imagePixels_ + static_cast<std::int64_t>(y0 + y) * imageWidth_ + x0;
        double* dst = area.data() + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < areaWidth; ++x) {
            dst[x] = src[x];
        }
    }
    const RunningMeanFactors& div = kivic::matching::RunningMeanFactorsFor(count_);
    thread_local std::vector<double> deviation;
    deviation.assign(deviation_, deviation_ + count_);
    std::int64_t sxx[16];
    std::int64_t sxy[16];
    for (int r = 0; r < rows; ++r) {
        const double* row = area.data() + static_cast<std::size_t>(r) * stride;
        double* out = scores + static_cast<std::size_t>(r) * columns;
        for (int c = 0; c < columns; c += 16) {
            const int taken = std::min(16, columns - c);
            if (taken > 4) {
                ScoreGroup<4>(row + c, stride, templateWidth_, templateHeight_, deviation.data(), div, sxx,
                              sxy);
            } else {
                ScoreGroup<1>(row + c, stride, templateWidth_, templateHeight_, deviation.data(), div, sxx,
                              sxy);
            }
            for (int g = 0; g < taken; ++g) {
                out[c + g] = ZeroMeanScore(sxx[g], sxy[g], energy_);
            }
        }
    }
    return true;
}
