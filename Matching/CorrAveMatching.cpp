#include "Matching/CorrAveMatching.h"
#include "Matching/CrossCorrelation.h"
#include "Matching/ZeroMeanCorrelation.h"

#include <immintrin.h>

#include <cstdint>
#include <algorithm>
#include <cstring>
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

namespace {

// 4 x kVectors neighbouring candidates at once, kVectors independent chains in flight to hide the
// division latency. Every value is an integer below 2^53, so the
// arithmetic is exact, and a quotient rounded toward zero equals the integer division: the rounding
// error of a / b is below |a / b| * 2^-53, smaller than the distance 1 / b from a non-integer
// quotient to the next integer.
template <int kVectors>
__attribute__((target("avx2"))) void ScoreGroup(const unsigned char* first, int stride, int w, int h,
                                                const std::int32_t* deviation, std::int64_t* sxxOut,
                                                std::int64_t* sxyOut) {
    __m256d m[kVectors];
    __m256d sxx[kVectors];
    __m256d sxy[kVectors];
    for (int v = 0; v < kVectors; ++v) {
        m[v] = _mm256_setzero_pd();
        sxx[v] = _mm256_setzero_pd();
        sxy[v] = _mm256_setzero_pd();
    }
    constexpr int kTruncate = _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC;
    std::int64_t k = 0;
    for (int j = 0; j < h; ++j) {
        const unsigned char* a = first + static_cast<std::int64_t>(j) * stride;
        for (int i = 0; i < w; ++i, ++k) {
            const __m256d kk = _mm256_set1_pd(static_cast<double>(k));
            const __m256d next = _mm256_set1_pd(static_cast<double>(k + 1));
            const __m256d dev = _mm256_set1_pd(static_cast<double>(deviation[k]));
            for (int v = 0; v < kVectors; ++v) {
                std::int32_t four;
                std::memcpy(&four, a + i + 4 * v, sizeof four);
                const __m256d x = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(four)));
                const __m256d d = _mm256_sub_pd(x, m[v]);
                m[v] = _mm256_add_pd(m[v], _mm256_round_pd(_mm256_div_pd(d, next), kTruncate));
                const __m256d dd = _mm256_mul_pd(_mm256_mul_pd(d, d), kk);
                sxx[v] = _mm256_add_pd(sxx[v], _mm256_round_pd(_mm256_div_pd(dd, next), kTruncate));
                const __m256d dt = _mm256_mul_pd(_mm256_mul_pd(d, dev), kk);
                sxy[v] = _mm256_add_pd(sxy[v], _mm256_round_pd(_mm256_div_pd(dt, next), kTruncate));
            }
        }
    }
    for (int v = 0; v < kVectors; ++v) {
        alignas(32) double xs[4];
        alignas(32) double ys[4];
        _mm256_store_pd(xs, sxx[v]);
        _mm256_store_pd(ys, sxy[v]);
        for (int g = 0; g < 4; ++g) {
            sxxOut[4 * v + g] = static_cast<std::int64_t>(xs[g]);
            sxyOut[4 * v + g] = static_cast<std::int64_t>(ys[g]);
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
    // The search area with every row padded to whole groups, so that the last candidates of a row go
    // through the same exact vector arithmetic; the padding's scores are dropped.
    const int groups = (columns + 15) / 16;
    const int areaWidth = columns + templateWidth_ - 1;
    const int stride = groups * 16 + templateWidth_ - 1;
    const int areaHeight = rows + templateHeight_ - 1;
    thread_local std::vector<unsigned char> area;
    area.assign(static_cast<std::size_t>(stride) * areaHeight, 0);
    for (int y = 0; y < areaHeight; ++y) {
        std::memcpy(area.data() + static_cast<std::size_t>(y) * stride,
                    imagePixels_ + static_cast<std::int64_t>(y0 + y) * imageWidth_ + x0,
                    static_cast<std::size_t>(areaWidth));
    }
    std::int64_t sxx[16];
    std::int64_t sxy[16];
    for (int r = 0; r < rows; ++r) {
        const unsigned char* row = area.data() + static_cast<std::size_t>(r) * stride;
        double* out = scores + static_cast<std::size_t>(r) * columns;
        for (int c = 0; c < columns; c += 16) {
            const int taken = std::min(16, columns - c);
            if (taken > 4) {
                ScoreGroup<4>(row + c, stride, templateWidth_, templateHeight_, deviation_, sxx, sxy);
            } else {
                ScoreGroup<1>(row + c, stride, templateWidth_, templateHeight_, deviation_, sxx, sxy);
            }
            for (int g = 0; g < taken; ++g) {
                out[c + g] = ZeroMeanScore(sxx[g], sxy[g], energy_);
            }
        }
    }
    return true;
}
