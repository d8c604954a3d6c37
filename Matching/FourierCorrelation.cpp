#include "Matching/FourierCorrelation.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace kivic::matching {

namespace {

int NextPowerOfTwo(int n) {
    int p = 4;
    while (p < n) {
        p *= 2;
    }
    return p;
}

int RoundUp4(int n) {
    return (n + 3) / 4 * 4;
}

int Log2(int n) {
    int l = 0;
    while ((1 << l) < n) {
        ++l;
    }
    return l;
}

// Rows are padded by a cache line so that a column walk does not hit the same cache set on every row
// (the row lengths are powers of two).
struct Planes {
    int rows = 0;
    int columns = 0;
    int stride = 0;
    double* re = nullptr;
    double* im = nullptr;
    double* Re(int row) { return re + static_cast<std::size_t>(row) * stride; }
    double* Im(int row) { return im + static_cast<std::size_t>(row) * stride; }
};

// Working memory kept per thread between calls: fresh pages for every search would cost more than
// the transforms themselves.
class Workspace {
public:
    ~Workspace() { std::free(memory_); }
    // Four planes, each able to hold rows x columns in either orientation.
    double* Get(std::size_t doubles) {
        if (doubles > capacity_) {
            std::free(memory_);
            memory_ = nullptr;
            capacity_ = 0;
            const std::size_t bytes = (doubles * sizeof(double) + 63) / 64 * 64;
            memory_ = static_cast<double*>(std::aligned_alloc(64, bytes));
            if (memory_ == nullptr) {
                throw std::bad_alloc();
            }
            capacity_ = doubles;
        }
        return memory_;
    }

private:
    double* memory_ = nullptr;
    std::size_t capacity_ = 0;
};

Planes View(double* base, std::size_t planeSize, int index, int rows, int columns) {
    Planes p;
    p.rows = rows;
    p.columns = columns;
    p.stride = columns + 8;
    p.re = base + planeSize * (2 * index);
    p.im = base + planeSize * (2 * index + 1);
    return p;
}

// Vector butterflies along a row piece; the piece's length is a multiple of 4.
struct Complex4 {
    __m256d re;
    __m256d im;
};

__attribute__((target("avx2,fma"))) inline Complex4 Times(Complex4 a, __m256d wr, __m256d wi) {
    return {_mm256_fmsub_pd(a.re, wr, _mm256_mul_pd(a.im, wi)),
            _mm256_fmadd_pd(a.re, wi, _mm256_mul_pd(a.im, wr))};
}

__attribute__((target("avx2,fma"))) inline void Butterfly(Complex4& a, Complex4& b, __m256d wr, __m256d wi) {
    const Complex4 t = Times(b, wr, wi);
    b = {_mm256_sub_pd(a.re, t.re), _mm256_sub_pd(a.im, t.im)};
    a = {_mm256_add_pd(a.re, t.re), _mm256_add_pd(a.im, t.im)};
}

__attribute__((target("avx2,fma"))) inline Complex4 Load(Planes& p, int row, int x) {
    return {_mm256_loadu_pd(p.Re(row) + x), _mm256_loadu_pd(p.Im(row) + x)};
}

__attribute__((target("avx2,fma"))) inline void Store(Planes& p, int row, int x, Complex4 v) {
    _mm256_storeu_pd(p.Re(row) + x, v.re);
    _mm256_storeu_pd(p.Im(row) + x, v.im);
}

// Decimation-in-frequency butterflies: a' = a + b, b' = (a - b) w.
__attribute__((target("avx2,fma"))) inline void ButterflyDif(Complex4& a, Complex4& b, __m256d wr,
                                                             __m256d wi) {
    const Complex4 d = {_mm256_sub_pd(a.re, b.re), _mm256_sub_pd(a.im, b.im)};
    a = {_mm256_add_pd(a.re, b.re), _mm256_add_pd(a.im, b.im)};
    b = Times(d, wr, wi);
}

// The inverse transform decimates in time, the forward one (kDif) in frequency.
template <bool kDif>
__attribute__((target("avx2,fma"))) void Butterflies(Planes& p, int s0, int s1, int a, int b, double wr,
                                                     double wi) {
    const __m256d vwr = _mm256_set1_pd(wr);
    const __m256d vwi = _mm256_set1_pd(wi);
    for (int x = s0; x < s1; x += 4) {
        Complex4 va = Load(p, a, x);
        Complex4 vb = Load(p, b, x);
        if constexpr (kDif) {
            ButterflyDif(va, vb, vwr, vwi);
        } else {
            Butterfly(va, vb, vwr, vwi);
        }
        Store(p, a, x, va);
        Store(p, b, x, vb);
    }
}

// Rows r, r + h, r + 2h, r + 3h through two stages: in time, the stage of half-size h (twiddle 1) then
// that of 2h (twiddles 2 and 3); in frequency, the same two the other way round.
template <bool kDif>
__attribute__((target("avx2,fma"))) void Butterflies4(Planes& p, int s0, int s1, int r, int h, double w1r,
                                                      double w1i, double w2r, double w2i, double w3r,
                                                      double w3i) {
    const __m256d v1r = _mm256_set1_pd(w1r);
    const __m256d v1i = _mm256_set1_pd(w1i);
    const __m256d v2r = _mm256_set1_pd(w2r);
    const __m256d v2i = _mm256_set1_pd(w2i);
    const __m256d v3r = _mm256_set1_pd(w3r);
    const __m256d v3i = _mm256_set1_pd(w3i);
    for (int x = s0; x < s1; x += 4) {
        Complex4 a0 = Load(p, r, x);
        Complex4 a1 = Load(p, r + h, x);
        Complex4 a2 = Load(p, r + 2 * h, x);
        Complex4 a3 = Load(p, r + 3 * h, x);
        if constexpr (kDif) {
            ButterflyDif(a0, a2, v2r, v2i);
            ButterflyDif(a1, a3, v3r, v3i);
            ButterflyDif(a0, a1, v1r, v1i);
            ButterflyDif(a2, a3, v1r, v1i);
        } else {
            Butterfly(a0, a1, v1r, v1i);
            Butterfly(a2, a3, v1r, v1i);
            Butterfly(a0, a2, v2r, v2i);
            Butterfly(a1, a3, v3r, v3i);
        }
        Store(p, r, x, a0);
        Store(p, r + h, x, a1);
        Store(p, r + 2 * h, x, a2);
        Store(p, r + 3 * h, x, a3);
    }
}

// cos and sin of 2 pi k / n for k < n / 2, kept per thread for the lengths in use.
struct Twiddles {
    int length = 0;
    std::vector<double> cosine;
    std::vector<double> sine;
};

const Twiddles& TwiddlesFor(int n) {
    thread_local Twiddles cache[2];
    thread_local int next = 0;
    for (const Twiddles& t : cache) {
        if (t.length == n) {
            return t;
        }
    }
    Twiddles& t = cache[next];
    next = 1 - next;
    t.length = n;
    t.cosine.resize(static_cast<std::size_t>(n / 2));
    t.sine.resize(static_cast<std::size_t>(n / 2));
    for (int k = 0; k < n / 2; ++k) {
        const double angle = 2.0 * 3.14159265358979323846 * k / n;
        t.cosine[static_cast<std::size_t>(k)] = std::cos(angle);
        t.sine[static_cast<std::size_t>(k)] = std::sin(angle);
    }
    return t;
}

// Two stages over the columns [s0, s1) of all rows, grouped in fours at distance h: with the forward
// transform's conjugate twiddles (kDif) or the inverse's own.
template <bool kDif>
__attribute__((target("avx2,fma"))) void StagePair(Planes& p, int s0, int s1, int h, const Twiddles& t) {
    const int n = p.rows;
    const double* cs = t.cosine.data();
    const double* sn = t.sine.data();
    const double sign = kDif ? -1.0 : 1.0; // negating is exact
    const std::size_t step1 = static_cast<std::size_t>(n / (2 * h));
    const std::size_t step2 = static_cast<std::size_t>(n / (4 * h));
    for (int g = 0; g < n; g += 4 * h) {
        for (int k = 0; k < h; ++k) {
            const std::size_t i1 = static_cast<std::size_t>(k) * step1;
            const std::size_t i2 = static_cast<std::size_t>(k) * step2;
            const std::size_t i3 = static_cast<std::size_t>(k + h) * step2;
            Butterflies4<kDif>(p, s0, s1, g + k, h, cs[i1], sign * sn[i1], cs[i2], sign * sn[i2], cs[i3],
                               sign * sn[i3]);
        }
    }
}

// The forward transform of every column in [firstColumn, lastColumn) along the row index, in place,
// leaving the frequencies in bit-reversed row order; the inverse takes them in that order and gives
// the natural order back, so no reordering pass is needed. lastColumn - firstColumn is a multiple of
// 4 and the row stride leaves room for it. The butterflies work on whole row pieces, so a strip of
// columns stays in cache through all stages.
__attribute__((target("avx2,fma"))) void ForwardColumns(Planes& p, int firstColumn, int lastColumn) {
    const int n = p.rows;
    const Twiddles& t = TwiddlesFor(n);
    constexpr int kStrip = 64;
    for (int s0 = firstColumn; s0 < lastColumn; s0 += kStrip) {
        const int s1 = std::min(lastColumn, s0 + kStrip);
        int half = n / 2;
        // Two stages at a time: four rows are loaded once for four butterflies.
        for (; half >= 2; half /= 4) {
            StagePair<true>(p, s0, s1, half / 2, t);
        }
        if (half == 1) {
            for (int g = 0; g < n; g += 2) {
                Butterflies<true>(p, s0, s1, g, g + 1, 1.0, 0.0);
            }
        }
    }
}

__attribute__((target("avx2,fma"))) void InverseColumns(Planes& p, int firstColumn, int lastColumn) {
    const int n = p.rows;
    const int bits = Log2(n);
    const Twiddles& t = TwiddlesFor(n);
    constexpr int kStrip = 64;
    for (int s0 = firstColumn; s0 < lastColumn; s0 += kStrip) {
        const int s1 = std::min(lastColumn, s0 + kStrip);
        int half = 1;
        if (bits % 2 == 1) {
            for (int g = 0; g < n; g += 2) {
                Butterflies<false>(p, s0, s1, g, g + 1, 1.0, 0.0);
            }
            half = 2;
        }
        for (; half < n; half *= 4) {
            StagePair<false>(p, s0, s1, half, t);
        }
    }
}

// For each position of a bit-reversed spectrum of length n, the position of the opposite frequency.
std::vector<int> MirrorPositions(int n) {
    const int bits = Log2(n);
    auto reverse = [bits](int i) {
        int j = 0;
        for (int b = 0; b < bits; ++b) {
            j |= ((i >> b) & 1) << (bits - 1 - b);
        }
        return j;
    };
    std::vector<int> mirror(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p) {
        mirror[static_cast<std::size_t>(p)] = reverse((n - reverse(p)) & (n - 1));
    }
    return mirror;
}

// out = transpose of the first `rows` x `columns` of in (only those are copied).
void Transpose(Planes& in, Planes& out, int rows, int columns) {
    constexpr int kBlock = 32;
    for (int r0 = 0; r0 < rows; r0 += kBlock) {
        for (int c0 = 0; c0 < columns; c0 += kBlock) {
            const int r1 = std::min(rows, r0 + kBlock);
            const int c1 = std::min(columns, c0 + kBlock);
            for (int r = r0; r < r1; ++r) {
                const double* sr = in.Re(r);
                const double* si = in.Im(r);
                for (int c = c0; c < c1; ++c) {
                    out.Re(c)[r] = sr[c];
                    out.Im(c)[r] = si[c];
                }
            }
        }
    }
}

} // namespace

double FourierCost(int areaWidth, int areaHeight) {
    const double cells = static_cast<double>(NextPowerOfTwo(areaWidth)) * NextPowerOfTwo(areaHeight);
    // Two transforms, each about log2(cells) butterfly passes over every cell, four cells to a vector
    // step; measured, such a step costs about 3.5 times a 16-lane multiply-add step with its loads.
    return 3.5 * (2.0 * cells * std::log2(cells) / 4.0 + cells);
}

void FourierProducts(const AreaView& area, const unsigned char* weights, int w, int h, std::int64_t* out) {
    const int columns = area.width - w + 1;
    const int rows = area.height - h + 1;
    const int lw = NextPowerOfTwo(area.width);
    const int lh = NextPowerOfTwo(area.height);

    thread_local Workspace workspace;
    const std::size_t planeSize = static_cast<std::size_t>(std::max(lw, lh)) * (std::max(lw, lh) + 8);
    double* base = workspace.Get(planeSize * 4);
    // Both real inputs travel in one complex matrix: the area as real part, the template as imaginary.
    Planes z = View(base, planeSize, 0, lh, lw);
    std::fill(z.re, z.re + static_cast<std::size_t>(lh) * z.stride, 0.0);
    std::fill(z.im, z.im + static_cast<std::size_t>(lh) * z.stride, 0.0);
    for (int y = 0; y < area.height; ++y) {
        const unsigned char* src = area.pixels + static_cast<std::int64_t>(y) * area.stride;
        double* re = z.Re(y);
        for (int x = 0; x < area.width; ++x) {
            re[x] = src[x];
        }
    }
    for (int y = 0; y < h; ++y) {
        double* im = z.Im(y);
        for (int x = 0; x < w; ++x) {
            im[x] = weights[static_cast<std::size_t>(y) * w + x];
        }
    }
    // Columns past the area are zero and stay zero.
    ForwardColumns(z, 0, RoundUp4(area.width));
    Planes zt = View(base, planeSize, 1, lw, lh);
    Transpose(z, zt, lh, lw);
    ForwardColumns(zt, 0, lh);

    // zt holds the spectrum, both axes in bit-reversed order. Split it into the area's spectrum A and
    // the template's T through the symmetry of real inputs, and form A * conj(T), the spectrum of the
    // window products, in the same order; it goes where the input was.
    const std::vector<int> mirrorX = MirrorPositions(lw);
    const std::vector<int> mirrorY = MirrorPositions(lh);
    Planes q = View(base, planeSize, 0, lw, lh);
    for (int kx = 0; kx < lw; ++kx) {
        const int mx = mirrorX[static_cast<std::size_t>(kx)];
        const double* zr = zt.Re(kx);
        const double* zi = zt.Im(kx);
        const double* nr = zt.Re(mx);
        const double* ni = zt.Im(mx);
        double* qr = q.Re(kx);
        double* qi = q.Im(kx);
        for (int ky = 0; ky < lh; ++ky) {
            const int my = mirrorY[static_cast<std::size_t>(ky)];
            // conj of the mirrored value
            const double cr = nr[my];
            const double ci = -ni[my];
            const double ar = 0.5 * (zr[ky] + cr);
            const double ai = 0.5 * (zi[ky] + ci);
            // T = (Z - conj(Z(-k))) / 2i
            const double dr = zr[ky] - cr;
            const double di = zi[ky] - ci;
            const double tr = 0.5 * di;
            const double ti = -0.5 * dr;
            // A * conj(T)
            qr[ky] = ar * tr + ai * ti;
            qi[ky] = ai * tr - ar * ti;
        }
    }
    InverseColumns(q, 0, lh);
    // Only the candidates' rows and columns of the result are needed.
    Planes back = View(base, planeSize, 1, lh, lw);
    Transpose(q, back, RoundUp4(columns), lh);
    InverseColumns(back, 0, RoundUp4(columns));
    const double scale = 1.0 / (static_cast<double>(lw) * lh);
    for (int r = 0; r < rows; ++r) {
        const double* re = back.Re(r);
        for (int c = 0; c < columns; ++c) {
            out[static_cast<std::size_t>(r) * columns + c] = std::llround(re[c] * scale);
        }
    }
}

} // namespace kivic::matching
