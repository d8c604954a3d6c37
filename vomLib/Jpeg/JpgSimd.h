// Small SSE2 building blocks shared by the SIMD inverse DCTs.
#pragma once

#include <emmintrin.h>

#include <cstdint>

namespace jpglib32::simd {

// A row of eight 32-bit sums as two halves (columns 0-3 and 4-7).
struct Wide {
    __m128i lo;
    __m128i hi;
};

inline Wide operator+(Wide a, Wide b) {
    return {_mm_add_epi32(a.lo, b.lo), _mm_add_epi32(a.hi, b.hi)};
}
inline Wide operator-(Wide a, Wide b) {
    return {_mm_sub_epi32(a.lo, b.lo), _mm_sub_epi32(a.hi, b.hi)};
}

// Pair of 16-bit constants (ka for the first operand, kb for the second) for _mm_madd_epi16.
inline __m128i pair(int ka, int kb) {
    return _mm_set1_epi32(static_cast<int>((static_cast<std::uint32_t>(kb) << 16) |
                                           (static_cast<std::uint32_t>(ka) & 0xFFFFu)));
}

// a * ka + b * kb per column, exactly, as 32-bit sums.
inline Wide madd(__m128i a, __m128i b, __m128i k) {
    return {_mm_madd_epi16(_mm_unpacklo_epi16(a, b), k), _mm_madd_epi16(_mm_unpackhi_epi16(a, b), k)};
}

// (x + 2^(n-1)) >> n, arithmetic.
template <int N> inline Wide descale(Wide x) {
    const __m128i round = _mm_set1_epi32(1 << (N - 1));
    return {_mm_srai_epi32(_mm_add_epi32(x.lo, round), N), _mm_srai_epi32(_mm_add_epi32(x.hi, round), N)};
}

// Lanes whose value does not fit in Bits bits (signed), or-ed into *bad.
template <int Bits = 16> inline void note_wide(Wide x, __m128i* bad) {
    const __m128i lo = _mm_srai_epi32(_mm_slli_epi32(x.lo, 32 - Bits), 32 - Bits);
    const __m128i hi = _mm_srai_epi32(_mm_slli_epi32(x.hi, 32 - Bits), 32 - Bits);
    *bad = _mm_or_si128(*bad, _mm_or_si128(_mm_xor_si128(lo, x.lo), _mm_xor_si128(hi, x.hi)));
}

inline __m128i narrow(Wide x) {
    return _mm_packs_epi32(x.lo, x.hi);
}

// The library's output range step: the value's low 10 bits read as a signed number, plus 128, limited
// to 0..255. Values within -512..511 are simply clamped; others wrap as the library's table does.
inline __m128i range_limit(Wide x) {
    const __m128i center = _mm_set1_epi32(128);
    const __m128i lo = _mm_add_epi32(_mm_srai_epi32(_mm_slli_epi32(x.lo, 22), 22), center);
    const __m128i hi = _mm_add_epi32(_mm_srai_epi32(_mm_slli_epi32(x.hi, 22), 22), center);
    return _mm_packs_epi32(lo, hi); // 16-bit, still to be packed to bytes with unsigned saturation
}

// Dequantises eight coefficients (low 16 bits of each product) and notes the lanes whose product needs
// more than Bits bits (signed).
template <int Bits = 16>
inline __m128i dequantize(const std::int16_t* coef, const std::int16_t* quant, __m128i* bad) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coef));
    const __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i*>(quant));
    const __m128i lo = _mm_mullo_epi16(c, q);
    const __m128i hi = _mm_mulhi_epi16(c, q);
    *bad = _mm_or_si128(*bad, _mm_xor_si128(hi, _mm_srai_epi16(lo, 15)));
    if constexpr (Bits < 16)
        *bad =
            _mm_or_si128(*bad, _mm_xor_si128(lo, _mm_srai_epi16(_mm_slli_epi16(lo, 16 - Bits), 16 - Bits)));
    return lo;
}

// Dequantises eight coefficients keeping the low 16 bits of each product, as the fast method does.
inline __m128i dequantize_wrap(const std::int16_t* coef, const std::int16_t* quant) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coef));
    const __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i*>(quant));
    return _mm_mullo_epi16(c, q);
}

// 8 x 8 transpose of 16-bit values held as eight rows.
inline void transpose8x8(__m128i r[8]) {
    const __m128i a0 = _mm_unpacklo_epi16(r[0], r[1]);
    const __m128i a1 = _mm_unpackhi_epi16(r[0], r[1]);
    const __m128i a2 = _mm_unpacklo_epi16(r[2], r[3]);
    const __m128i a3 = _mm_unpackhi_epi16(r[2], r[3]);
    const __m128i a4 = _mm_unpacklo_epi16(r[4], r[5]);
    const __m128i a5 = _mm_unpackhi_epi16(r[4], r[5]);
    const __m128i a6 = _mm_unpacklo_epi16(r[6], r[7]);
    const __m128i a7 = _mm_unpackhi_epi16(r[6], r[7]);
    const __m128i b0 = _mm_unpacklo_epi32(a0, a2);
    const __m128i b1 = _mm_unpackhi_epi32(a0, a2);
    const __m128i b2 = _mm_unpacklo_epi32(a1, a3);
    const __m128i b3 = _mm_unpackhi_epi32(a1, a3);
    const __m128i b4 = _mm_unpacklo_epi32(a4, a6);
    const __m128i b5 = _mm_unpackhi_epi32(a4, a6);
    const __m128i b6 = _mm_unpacklo_epi32(a5, a7);
    const __m128i b7 = _mm_unpackhi_epi32(a5, a7);
    r[0] = _mm_unpacklo_epi64(b0, b4);
    r[1] = _mm_unpackhi_epi64(b0, b4);
    r[2] = _mm_unpacklo_epi64(b1, b5);
    r[3] = _mm_unpackhi_epi64(b1, b5);
    r[4] = _mm_unpacklo_epi64(b2, b6);
    r[5] = _mm_unpackhi_epi64(b2, b6);
    r[6] = _mm_unpacklo_epi64(b3, b7);
    r[7] = _mm_unpackhi_epi64(b3, b7);
}

inline bool any(__m128i bad) {
    return _mm_movemask_epi8(_mm_cmpeq_epi8(bad, _mm_setzero_si128())) != 0xFFFF;
}

} // namespace jpglib32::simd
