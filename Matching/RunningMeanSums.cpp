#include "Matching/RunningMeanSums.h"
#include "Matching/RunningMeanDivision.h"

#include <immintrin.h>

#include <algorithm>

namespace kivic::matching {

namespace {

// Float sums of integers stay exact below 2^24, and one pixel moves either sum by at most 255 * 255.
constexpr int kExactPixels = (1 << 24) / (255 * 255);

// Vectors in flight together: enough independent chains to hide the latencies, few enough that the
// running values stay in registers.
constexpr int kGroupVectors = 3;

// The running values of 8 x kVectors candidates, each vector reading its own windows.
template <int kVectors> struct CandidateGroup {
    __m256 mean[kVectors];
    __m256 xx[kVectors];
    __m256 xy[kVectors];

    // Template pixels k ... k + count - 1, at columns i0 ... of the windows' rows rows[v].
    template <bool kMeanMoves>
    __attribute__((target("avx2,fma"), always_inline)) inline void
    Add(const float* const* rows, int i0, int count, std::int64_t k, const RunningMeanTemplate& t) {
        constexpr int kCeil = _MM_FROUND_TO_POS_INF | _MM_FROUND_NO_EXC;
        constexpr int kTruncate = _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC;
        const __m256 sign = _mm256_set1_ps(-0.0f);
        for (int i = i0; i < i0 + count; ++i, ++k) {
            const __m256 below = _mm256_broadcast_ss(t.below + k);
            const __m256 weight = _mm256_broadcast_ss(t.weight + k);
            const __m256 deviation = _mm256_broadcast_ss(t.deviation + k);
            // Unrolled, so that the running values stay in registers.
#pragma GCC unroll 4
            for (int v = 0; v < kVectors; ++v) {
                const __m256 d = _mm256_sub_ps(_mm256_loadu_ps(rows[v] + i), mean[v]);
                if constexpr (kMeanMoves) {
                    const __m256 above = _mm256_broadcast_ss(t.above + k);
                    mean[v] = _mm256_add_ps(mean[v], _mm256_round_ps(_mm256_mul_ps(d, above), kTruncate));
                }
                // d^2 k / (k + 1) = d^2 - ceil(d^2 / (k + 1))
                const __m256 squared = _mm256_mul_ps(d, d);
                const __m256 share = _mm256_round_ps(_mm256_mul_ps(squared, below), kCeil);
                xx[v] = _mm256_add_ps(xx[v], _mm256_sub_ps(squared, share));
                // p k / (k + 1) = p - sign(p) ceil(|p| / (k + 1)) with p = d d_k
                const __m256 quotient = _mm256_mul_ps(d, weight);
                const __m256 negative = _mm256_and_ps(quotient, sign);
                const __m256 away =
                    _mm256_or_ps(_mm256_round_ps(_mm256_xor_ps(quotient, negative), kCeil), negative);
                xy[v] = _mm256_sub_ps(_mm256_fmadd_ps(d, deviation, xy[v]), away);
            }
        }
    }

    // Adds the float sums to the 64-bit ones and starts them afresh.
    __attribute__((target("avx2,fma"), always_inline)) inline void Carry(std::int64_t* sxx,
                                                                         std::int64_t* sxy) {
#pragma GCC unroll 4
        for (int v = 0; v < kVectors; ++v) {
            alignas(32) std::int32_t x[kRunningMeanLanes];
            alignas(32) std::int32_t y[kRunningMeanLanes];
            _mm256_store_si256(reinterpret_cast<__m256i*>(x), _mm256_cvtps_epi32(xx[v]));
            _mm256_store_si256(reinterpret_cast<__m256i*>(y), _mm256_cvtps_epi32(xy[v]));
            for (int i = 0; i < kRunningMeanLanes; ++i) {
                sxx[kRunningMeanLanes * v + i] += x[i];
                sxy[kRunningMeanLanes * v + i] += y[i];
            }
            xx[v] = _mm256_setzero_ps();
            xy[v] = _mm256_setzero_ps();
        }
    }
};

template <int kVectors>
__attribute__((target("avx2,fma"))) void ScoreGroup(const float* const* starts, int stride,
                                                    const RunningMeanTemplate& t, std::int64_t* sxx,
                                                    std::int64_t* sxy) {
    CandidateGroup<kVectors> g;
#pragma GCC unroll 4
    for (int v = 0; v < kVectors; ++v) {
        g.mean[v] = _mm256_setzero_ps();
        g.xx[v] = _mm256_setzero_ps();
        g.xy[v] = _mm256_setzero_ps();
    }
    std::fill(sxx, sxx + kRunningMeanLanes * kVectors, 0);
    std::fill(sxy, sxy + kRunningMeanLanes * kVectors, 0);
    std::int64_t k = 0;
    int pending = 0;
    const float* rows[kVectors];
    for (int j = 0; j < t.height; ++j) {
        for (int v = 0; v < kVectors; ++v) {
            rows[v] = starts[v] + static_cast<std::int64_t>(j) * stride;
        }
        for (int i = 0; i < t.width;) {
            if (pending == kExactPixels) {
                g.Carry(sxx, sxy);
                pending = 0;
            }
            int count = std::min(t.width - i, kExactPixels - pending);
            if (k < kMovingPixels) {
                count = static_cast<int>(std::min<std::int64_t>(count, kMovingPixels - k));
                g.template Add<true>(rows, i, count, k, t);
            } else {
                g.template Add<false>(rows, i, count, k, t);
            }
            i += count;
            k += count;
            pending += count;
        }
    }
    g.Carry(sxx, sxy);
}

// The last vectors, fewer than a whole group, together rather than one by one: a lone chain waits on
// itself.
template <int kVectors>
void ScoreRest(int rest, const float* const* starts, int stride, const RunningMeanTemplate& t,
               std::int64_t* sxx, std::int64_t* sxy) {
    if constexpr (kVectors > 0) {
        if (rest == kVectors) {
            ScoreGroup<kVectors>(starts, stride, t, sxx, sxy);
        } else {
            ScoreRest<kVectors - 1>(rest, starts, stride, t, sxx, sxy);
        }
    }
}

} // namespace

void RunningMeanSums(const float* const* starts, int vectors, int stride, const RunningMeanTemplate& t,
                     std::int64_t* sxx, std::int64_t* sxy) {
    int v = 0;
    for (; v + kGroupVectors <= vectors; v += kGroupVectors) {
        ScoreGroup<kGroupVectors>(starts + v, stride, t, sxx + kRunningMeanLanes * v,
                                  sxy + kRunningMeanLanes * v);
    }
    ScoreRest<kGroupVectors - 1>(vectors - v, starts + v, stride, t, sxx + kRunningMeanLanes * v,
                                 sxy + kRunningMeanLanes * v);
}

} // namespace kivic::matching
