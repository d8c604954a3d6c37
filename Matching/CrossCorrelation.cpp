#include "Matching/CrossCorrelation.h"
#include "Matching/FourierCorrelation.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace kivic::matching {

namespace {

void PlainProducts(const AreaView& area, const unsigned char* weights, int w, int h, std::int64_t* out) {
    const int columns = area.width - w + 1;
    const int rows = area.height - h + 1;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            std::int64_t p = 0;
            for (int j = 0; j < h; ++j) {
                const unsigned char* a = area.pixels + static_cast<std::int64_t>(r + j) * area.stride + c;
                const unsigned char* t = weights + static_cast<std::int64_t>(j) * w;
                for (int i = 0; i < w; ++i) {
                    p += static_cast<std::int64_t>(t[i]) * a[i];
                }
            }
            *out++ = p;
        }
    }
}

void PlainAbsDifferences(const AreaView& area, const unsigned char* templ, int w, int h, std::int64_t* out) {
    const int columns = area.width - w + 1;
    const int rows = area.height - h + 1;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            std::int64_t d = 0;
            for (int j = 0; j < h; ++j) {
                const unsigned char* a = area.pixels + static_cast<std::int64_t>(r + j) * area.stride + c;
                const unsigned char* t = templ + static_cast<std::int64_t>(j) * w;
                for (int i = 0; i < w; ++i) {
                    d += a[i] > t[i] ? a[i] - t[i] : t[i] - a[i];
                }
            }
            *out++ = d;
        }
    }
}

__attribute__((target("avx2"))) std::int64_t HorizontalSum32(__m256i v) {
    // Widen to 64 bits before adding so that eight large lanes cannot overflow.
    __m256i lo = _mm256_cvtepi32_epi64(_mm256_castsi256_si128(v));
    __m256i hi = _mm256_cvtepi32_epi64(_mm256_extracti128_si256(v, 1));
    __m256i s = _mm256_add_epi64(lo, hi);
    __m128i t = _mm_add_epi64(_mm256_castsi256_si128(s), _mm256_extracti128_si256(s, 1));
    return _mm_cvtsi128_si64(t) + _mm_extract_epi64(t, 1);
}

// The area widened to 16 bits, each row followed by zeros, and the template widened and padded to
// whole vectors: the padding multiplies by zero, so the vector loop needs no tail.
__attribute__((target("avx2"))) void VectorProducts(const AreaView& area, const unsigned char* weights, int w,
                                                    int h, std::int64_t* out) {
    constexpr int kLanes = 16;
    const int chunks = (w + kLanes - 1) / kLanes;
    const int paddedW = chunks * kLanes;
    const int columns = area.width - w + 1;
    const int rows = area.height - h + 1;
    const int rowLength = area.width + kLanes * 2;
    thread_local std::vector<std::int16_t> a;
    a.assign(static_cast<std::size_t>(rowLength) * area.height, 0);
    for (int y = 0; y < area.height; ++y) {
        const unsigned char* src = area.pixels + static_cast<std::int64_t>(y) * area.stride;
        std::int16_t* dst = a.data() + static_cast<std::size_t>(y) * rowLength;
        for (int x = 0; x < area.width; ++x) {
            dst[x] = src[x];
        }
    }
    thread_local std::vector<std::int16_t> t;
    t.assign(static_cast<std::size_t>(paddedW) * h, 0);
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            t[static_cast<std::size_t>(j) * paddedW + i] = weights[static_cast<std::size_t>(j) * w + i];
        }
    }
    // A 32-bit lane gains at most 2 * 255 * 255 per chunk of a row; fold into 64 bits before it can
    // overflow.
    const int rowsPerFold = std::max(1, static_cast<int>(0x7FFFFFFF / (2LL * 65025 * chunks)));
    constexpr int kGroup = 4;
    for (int r = 0; r < rows; ++r) {
        std::int64_t* outRow = out + static_cast<std::size_t>(r) * columns;
        int c = 0;
        for (; c + kGroup <= columns; c += kGroup) {
            std::int64_t total[kGroup] = {0, 0, 0, 0};
            for (int j0 = 0; j0 < h; j0 += rowsPerFold) {
                const int j1 = std::min(h, j0 + rowsPerFold);
                __m256i acc0 = _mm256_setzero_si256();
                __m256i acc1 = _mm256_setzero_si256();
                __m256i acc2 = _mm256_setzero_si256();
                __m256i acc3 = _mm256_setzero_si256();
                for (int j = j0; j < j1; ++j) {
                    const std::int16_t* tr = t.data() + static_cast<std::size_t>(j) * paddedW;
                    const std::int16_t* ar = a.data() + static_cast<std::size_t>(r + j) * rowLength + c;
                    for (int k = 0; k < paddedW; k += kLanes) {
                        __m256i tv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(tr + k));
                        const std::int16_t* ap = ar + k;
                        acc0 = _mm256_add_epi32(
                            acc0,
                            _mm256_madd_epi16(tv, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ap))));
                        acc1 = _mm256_add_epi32(
                            acc1, _mm256_madd_epi16(
                                      tv, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ap + 1))));
                        acc2 = _mm256_add_epi32(
                            acc2, _mm256_madd_epi16(
                                      tv, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ap + 2))));
                        acc3 = _mm256_add_epi32(
                            acc3, _mm256_madd_epi16(
                                      tv, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ap + 3))));
                    }
                }
                total[0] += HorizontalSum32(acc0);
                total[1] += HorizontalSum32(acc1);
                total[2] += HorizontalSum32(acc2);
                total[3] += HorizontalSum32(acc3);
            }
            for (int g = 0; g < kGroup; ++g) {
                outRow[c + g] = total[g];
            }
        }
        for (; c < columns; ++c) {
            std::int64_t total = 0;
            for (int j0 = 0; j0 < h; j0 += rowsPerFold) {
                const int j1 = std::min(h, j0 + rowsPerFold);
                __m256i acc = _mm256_setzero_si256();
                for (int j = j0; j < j1; ++j) {
                    const std::int16_t* tr = t.data() + static_cast<std::size_t>(j) * paddedW;
                    const std::int16_t* ar = a.data() + static_cast<std::size_t>(r + j) * rowLength + c;
                    for (int k = 0; k < paddedW; k += kLanes) {
                        __m256i tv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(tr + k));
                        acc = _mm256_add_epi32(
                            acc, _mm256_madd_epi16(
                                     tv, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ar + k))));
                    }
                }
                total += HorizontalSum32(acc);
            }
            outRow[c] = total;
        }
    }
}

// Sixteen neighbouring candidates at a time, eight template pixels per step: the multiple sums of
// absolute differences take a 4-pixel block of the template against the next eight offsets of the
// area, one 128-bit half for candidates c ... c + 7, the other for c + 8 ... c + 15. Template pixels
// past the last whole block of 8 go one by one, widened to 16 bits. The 16-bit sums are carried into
// 32-bit ones before they can overflow; the caller keeps 255 * N below 2^32.
class AbsDifferenceGroups {
public:
    // Whole pixels of 255 that a 16-bit lane can take.
    static constexpr int kLanePixels = 65535 / 255;

    __attribute__((target("avx2"))) void Start() {
        sum16_ = _mm256_setzero_si256();
        low32_ = _mm256_setzero_si256();
        high32_ = _mm256_setzero_si256();
        pending_ = 0;
    }

    // Template pixels t[0 ... 7] (t[0 ... 3] with half) of one row against the area bytes from a on,
    // a[0] lying under t[0] for the first candidate of the group.
    __attribute__((target("avx2"))) void AddBlock(const unsigned char* a, const unsigned char* t, bool half) {
        Reserve(half ? 4 : 8);
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a));
        // Halves at bytes 0 ... 15 and 8 ... 23: candidates c ... c + 7 and c + 8 ... c + 15.
        const __m256i area = _mm256_permute4x64_epi64(bytes, 0x94);
        const __m256i templ =
            _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t)));
        // Area offset 0 against template block 0, and offset 4 against block 1, in both halves.
        sum16_ = _mm256_add_epi16(sum16_, _mm256_mpsadbw_epu8(area, templ, 0x00));
        if (!half) {
            sum16_ = _mm256_add_epi16(sum16_, _mm256_mpsadbw_epu8(area, templ, 0x2D));
        }
    }

    // One template pixel of value t against the area bytes a[0 ... 15], one for each candidate.
    __attribute__((target("avx2"))) void AddPixel(const unsigned char* a, unsigned char t) {
        Reserve(1);
        const __m256i area = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a)));
        const __m256i diff = _mm256_abs_epi16(_mm256_sub_epi16(area, _mm256_set1_epi16(t)));
        sum16_ = _mm256_add_epi16(sum16_, diff);
    }

    // The sums of the sixteen candidates, in order.
    __attribute__((target("avx2"))) void Finish(std::int64_t* out) {
        Carry();
        alignas(32) std::uint32_t low[8];
        alignas(32) std::uint32_t high[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(low), low32_);
        _mm256_store_si256(reinterpret_cast<__m256i*>(high), high32_);
        // Each half holds its first four candidates in low, its last four in high.
        for (int half = 0; half < 2; ++half) {
            for (int i = 0; i < 4; ++i) {
                out[8 * half + i] = low[4 * half + i];
                out[8 * half + 4 + i] = high[4 * half + i];
            }
        }
    }

private:
    __attribute__((target("avx2"))) void Reserve(int pixels) {
        if (pending_ + pixels > kLanePixels) {
            Carry();
        }
        pending_ += pixels;
    }

    __attribute__((target("avx2"))) void Carry() {
        const __m256i zero = _mm256_setzero_si256();
        low32_ = _mm256_add_epi32(low32_, _mm256_unpacklo_epi16(sum16_, zero));
        high32_ = _mm256_add_epi32(high32_, _mm256_unpackhi_epi16(sum16_, zero));
        sum16_ = zero;
        pending_ = 0;
    }

    __m256i sum16_;
    __m256i low32_;
    __m256i high32_;
    int pending_ = 0;
};

__attribute__((target("avx2"))) void VectorAbsDifferences(const AreaView& area, const unsigned char* templ,
                                                          int w, int h, std::int64_t* out) {
    constexpr int kGroup = 16;
    const int columns = area.width - w + 1;
    const int rows = area.height - h + 1;
    // Rows followed by room for the reads of the last, part-filled group.
    const int rowLength = area.width + 2 * kGroup;
    thread_local std::vector<unsigned char> a;
    a.assign(static_cast<std::size_t>(rowLength) * area.height, 0);
    for (int y = 0; y < area.height; ++y) {
        std::memcpy(a.data() + static_cast<std::size_t>(y) * rowLength,
                    area.pixels + static_cast<std::int64_t>(y) * area.stride,
                    static_cast<std::size_t>(area.width));
    }
    // Template rows followed by zeros for the 16-byte reads of their last block.
    const int templateLength = (w + 7) / 8 * 8 + 8;
    thread_local std::vector<unsigned char> t;
    t.assign(static_cast<std::size_t>(templateLength) * h, 0);
    for (int j = 0; j < h; ++j) {
        std::memcpy(t.data() + static_cast<std::size_t>(j) * templateLength,
                    templ + static_cast<std::size_t>(j) * w, static_cast<std::size_t>(w));
    }
    const int blocks = w / 8;
    const bool halfBlock = w % 8 >= 4;
    const int singles = blocks * 8 + (halfBlock ? 4 : 0);
    AbsDifferenceGroups group;
    std::int64_t sums[kGroup];
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; c += kGroup) {
            group.Start();
            for (int j = 0; j < h; ++j) {
                const unsigned char* ar = a.data() + static_cast<std::size_t>(r + j) * rowLength + c;
                const unsigned char* tr = t.data() + static_cast<std::size_t>(j) * templateLength;
                for (int b = 0; b < blocks; ++b) {
                    group.AddBlock(ar + 8 * b, tr + 8 * b, false);
                }
                if (halfBlock) {
                    group.AddBlock(ar + 8 * blocks, tr + 8 * blocks, true);
                }
                for (int i = singles; i < w; ++i) {
                    group.AddPixel(ar + i, tr[i]);
                }
            }
            group.Finish(sums);
            const int taken = std::min(kGroup, columns - c);
            std::copy(sums, sums + taken, out + static_cast<std::size_t>(r) * columns + c);
        }
    }
}

// Direct products cost about one multiply per template pixel and candidate, at 16 per vector step;
// the spectra cost a few transforms of the padded area, independent of the template's size.
bool FourierIsFaster(const AreaView& area, int w, int h) {
    const double candidates = static_cast<double>(area.width - w + 1) * (area.height - h + 1);
    const double direct = candidates * (static_cast<double>((w + 15) / 16) * 16) * h / 16.0;
    return direct > FourierCost(area.width, area.height);
}

} // namespace

ProductEngine ChosenProductEngine(int areaWidth, int areaHeight, int templateWidth, int templateHeight) {
    if (!VectorPathAvailable()) {
        return ProductEngine::Plain;
    }
    const AreaView sizes{nullptr, areaWidth, areaWidth, areaHeight};
    return FourierIsFaster(sizes, templateWidth, templateHeight) ? ProductEngine::Fourier
                                                                 : ProductEngine::Vector;
}

bool VectorPathAvailable() {
    static const bool available = __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("fma") != 0;
    return available;
}

void ComputeWindowProducts(const AreaView& area, const unsigned char* weights, int templateWidth,
                           int templateHeight, std::int64_t* out, ProductEngine engine) {
    if (templateWidth < 1 || templateHeight < 1 || area.width < templateWidth ||
        area.height < templateHeight) {
        return;
    }
    if (engine == ProductEngine::Automatic) {
        engine = ChosenProductEngine(area.width, area.height, templateWidth, templateHeight);
    }
    // Both the vector and the spectral paths need the wider vector instructions.
    if (engine != ProductEngine::Plain && !VectorPathAvailable()) {
        engine = ProductEngine::Plain;
    }
    switch (engine) {
    case ProductEngine::Fourier:
        FourierProducts(area, weights, templateWidth, templateHeight, out);
        break;
    case ProductEngine::Vector:
        VectorProducts(area, weights, templateWidth, templateHeight, out);
        break;
    default:
        PlainProducts(area, weights, templateWidth, templateHeight, out);
        break;
    }
}

void ComputeWindowAbsDifferences(const AreaView& area, const unsigned char* templ, int templateWidth,
                                 int templateHeight, std::int64_t* out, bool useVector) {
    if (templateWidth < 1 || templateHeight < 1 || area.width < templateWidth ||
        area.height < templateHeight) {
        return;
    }
    // The vector sums are 32 bits wide.
    const bool fits = 255LL * templateWidth * templateHeight <= 0xFFFFFFFFLL;
    if (useVector && fits && VectorPathAvailable()) {
        VectorAbsDifferences(area, templ, templateWidth, templateHeight, out);
    } else {
        PlainAbsDifferences(area, templ, templateWidth, templateHeight, out);
    }
}

} // namespace kivic::matching
