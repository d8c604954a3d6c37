// SIMD fast integer inverse DCT, equal to the library's fast method. That method keeps its values in
// 16-bit variables, so the same wrapping 16-bit arithmetic reproduces it for any input; only its
// products are taken from sums that may need a seventeenth bit, which the 32-bit multiply-add keeps.
#include "vomLib/Jpeg/JpgInternal.h"
#include "vomLib/Jpeg/JpgSimd.h"

namespace jpglib32 {
namespace {

using namespace simd;

// Bits 8..23 of a 32-bit product, as the library's 16-bit variables keep them.
inline __m128i keep16(Wide x) {
    const __m128i lo = _mm_srai_epi32(_mm_slli_epi32(_mm_srai_epi32(x.lo, 8), 16), 16);
    const __m128i hi = _mm_srai_epi32(_mm_slli_epi32(_mm_srai_epi32(x.hi, 8), 16), 16);
    return _mm_packs_epi32(lo, hi);
}

// (a + b * sign) * k >> 8, from the unrounded sum or difference of two 16-bit values.
inline __m128i multiply_pair(__m128i a, __m128i b, int sign, int k) {
    return keep16(madd(a, b, pair(k, sign * k)));
}

// v * k >> 8 for a 16-bit v and a constant k.
inline __m128i multiply(__m128i v, int k) {
    const __m128i c = _mm_set1_epi16(static_cast<short>(k));
    const __m128i lo = _mm_mullo_epi16(v, c);
    const __m128i hi = _mm_mulhi_epi16(v, c);
    return _mm_or_si128(_mm_srli_epi16(lo, 8), _mm_slli_epi16(hi, 8));
}

constexpr int FIX_1_082392200 = 277;
constexpr int FIX_1_414213562 = 362;
constexpr int FIX_1_847759065 = 473;
constexpr int FIX_2_613125930 = 669;

// One 1-D pass of the fast algorithm on eight lanes of 16-bit values.
inline void ifast_1d(const __m128i x[8], __m128i y[8]) {
    // Even part
    const __m128i tmp10 = _mm_add_epi16(x[0], x[4]);
    const __m128i tmp11 = _mm_sub_epi16(x[0], x[4]);
    const __m128i tmp13 = _mm_add_epi16(x[2], x[6]);
    const __m128i tmp12 = _mm_sub_epi16(multiply_pair(x[2], x[6], -1, FIX_1_414213562), tmp13);
    const __m128i tmp0 = _mm_add_epi16(tmp10, tmp13);
    const __m128i tmp3 = _mm_sub_epi16(tmp10, tmp13);
    const __m128i tmp1 = _mm_add_epi16(tmp11, tmp12);
    const __m128i tmp2 = _mm_sub_epi16(tmp11, tmp12);
    // Odd part
    const __m128i z13 = _mm_add_epi16(x[5], x[3]);
    const __m128i z10 = _mm_sub_epi16(x[5], x[3]);
    const __m128i z11 = _mm_add_epi16(x[1], x[7]);
    const __m128i z12 = _mm_sub_epi16(x[1], x[7]);
    const __m128i tmp7 = _mm_add_epi16(z11, z13);
    const __m128i odd11 = multiply_pair(z11, z13, -1, FIX_1_414213562);
    const __m128i z5 = multiply_pair(z10, z12, 1, FIX_1_847759065);
    const __m128i odd10 = _mm_sub_epi16(multiply(z12, FIX_1_082392200), z5);
    const __m128i odd12 = _mm_add_epi16(multiply(z10, -FIX_2_613125930), z5);
    const __m128i tmp6 = _mm_sub_epi16(odd12, tmp7);
    const __m128i tmp5 = _mm_sub_epi16(odd11, tmp6);
    const __m128i tmp4 = _mm_add_epi16(odd10, tmp5);
    y[0] = _mm_add_epi16(tmp0, tmp7);
    y[7] = _mm_sub_epi16(tmp0, tmp7);
    y[1] = _mm_add_epi16(tmp1, tmp6);
    y[6] = _mm_sub_epi16(tmp1, tmp6);
    y[2] = _mm_add_epi16(tmp2, tmp5);
    y[5] = _mm_sub_epi16(tmp2, tmp5);
    y[4] = _mm_add_epi16(tmp3, tmp4);
    y[3] = _mm_sub_epi16(tmp3, tmp4);
}

// The output step: >> (PASS1_BITS + 3) without rounding, the low 10 bits read as a signed number,
// + 128, limited to 0..255 (still as 16-bit lanes).
inline __m128i output16(__m128i v) {
    const __m128i shifted = _mm_srai_epi16(v, 5);
    const __m128i wrapped = _mm_srai_epi16(_mm_slli_epi16(shifted, 6), 6);
    return _mm_add_epi16(wrapped, _mm_set1_epi16(128));
}

} // namespace

void jpeg_idct_ifast_mmx(j_decompress_ptr, jpeg_component_info* compptr, JCOEFPTR coef_block,
                         JSAMPARRAY output_buf, JDIMENSION output_col) {
    const auto* table = static_cast<const SimdIdctTable*>(compptr->dct_table);
    const auto* coef = reinterpret_cast<const std::int16_t*>(coef_block);
    const auto* quant = reinterpret_cast<const std::int16_t*>(table->multipliers);

    __m128i x[8];
    for (int k = 0; k < 8; ++k)
        x[k] = dequantize_wrap(coef + 8 * k, quant + 8 * k);
    __m128i w[8];
    ifast_1d(x, w);
    transpose8x8(w);
    __m128i y[8];
    ifast_1d(w, y);
    for (int k = 0; k < 8; ++k)
        y[k] = output16(y[k]);
    transpose8x8(y);
    for (int r = 0; r < 8; r += 2) {
        const __m128i bytes = _mm_packus_epi16(y[r], y[r + 1]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(output_buf[r] + output_col), bytes);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(output_buf[r + 1] + output_col),
                         _mm_srli_si128(bytes, 8));
    }
}

} // namespace jpglib32
