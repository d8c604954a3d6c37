// SIMD inverse DCTs of the reduced output sizes (4 x 4 and 2 x 2 pixels from an 8 x 8 block), equal to
// the library's methods of those sizes. Values are kept within 15 bits so that no 32-bit sum can
// overflow; other blocks go to the library's method.
#include <cstring>

#include "vomLib/Jpeg/JpgInternal.h"
#include "vomLib/Jpeg/JpgSimd.h"

namespace jpglib32 {
namespace {

using namespace simd;

// Even and odd halves of the 4-point algorithm; y receives the undescaled outputs 0..3.
inline void red4_1d(const __m128i x[8], Wide y[4]) {
    const __m128i zero = _mm_setzero_si128();
    const Wide tmp0 = madd(x[0], zero, pair(16384, 0)); // << (CONST_BITS + 1)
    const Wide tmp2 = madd(x[2], x[6], pair(15137, -6270));
    const Wide tmp10 = tmp0 + tmp2;
    const Wide tmp12 = tmp0 - tmp2;
    const Wide odd0 = madd(x[7], x[5], pair(-1730, 11893)) + madd(x[3], x[1], pair(-17799, 8697));
    const Wide odd2 = madd(x[7], x[5], pair(-4176, -4926)) + madd(x[3], x[1], pair(7373, 20995));
    y[0] = tmp10 + odd2;
    y[3] = tmp10 - odd2;
    y[1] = tmp12 + odd0;
    y[2] = tmp12 - odd0;
}

// The 2-point algorithm; y receives the undescaled outputs 0 and 1.
inline void red2_1d(const __m128i x[8], Wide y[2]) {
    const Wide tmp10 = madd(x[0], x[0], pair(16384, 16384)); // << (CONST_BITS + 2)
    const Wide tmp0 = madd(x[7], x[5], pair(-5906, 6967)) + madd(x[3], x[1], pair(-10426, 29692));
    y[0] = tmp10 + tmp0;
    y[1] = tmp10 - tmp0;
}

// The columns pass both reduced sizes share: the kernel's N outputs scaled back by Shift bits and
// narrowed to 16 bits, the other rows zero, then turned into rows for the second pass. False when a
// value does not fit 15 bits: the block then goes to the library's method.
template <int N, int Shift>
inline bool columns_pass(const __m128i x[8], void (*kernel)(const __m128i*, Wide*), __m128i bad,
                         __m128i w[8]) {
    Wide y[N];
    kernel(x, y);
    for (int k = 0; k < N; ++k) {
        const Wide v = descale<Shift>(y[k]);
        note_wide<15>(v, &bad);
        w[k] = narrow(v);
    }
    if (any(bad))
        return false;
    for (int k = N; k < 8; ++k)
        w[k] = _mm_setzero_si128();
    transpose8x8(w);
    return true;
}

} // namespace

void jpeg_idct_4x4_mmx(j_decompress_ptr cinfo, jpeg_component_info* compptr, JCOEFPTR coef_block,
                       JSAMPARRAY output_buf, JDIMENSION output_col) {
    const auto* table = static_cast<const SimdIdctTable*>(compptr->dct_table);
    const auto* coef = reinterpret_cast<const std::int16_t*>(coef_block);
    const auto* quant = reinterpret_cast<const std::int16_t*>(table->multipliers);
    __m128i bad = _mm_setzero_si128();

    __m128i x[8];
    for (int k = 0; k < 8; ++k)
        x[k] = k == 4 ? _mm_setzero_si128() : dequantize<15>(coef + 8 * k, quant + 8 * k, &bad);
    __m128i w[8];
    if (!columns_pass<4, 12>(x, red4_1d, bad, w)) { // CONST_BITS - PASS1_BITS + 1
        table->library(cinfo, compptr, coef_block, output_buf, output_col);
        return;
    }
    w[4] = _mm_setzero_si128(); // the 4-point rows never use input 4
    Wide y[4];
    red4_1d(w, y);
    __m128i out[8];
    for (int k = 0; k < 4; ++k)
        out[k] = range_limit(descale<19>(y[k])); // CONST_BITS + PASS1_BITS + 3 + 1
    for (int k = 4; k < 8; ++k)
        out[k] = _mm_setzero_si128();
    transpose8x8(out);
    for (int r = 0; r < 4; ++r) {
        const int four = _mm_cvtsi128_si32(_mm_packus_epi16(out[r], out[r]));
        std::memcpy(output_buf[r] + output_col, &four, 4);
    }
}

void jpeg_idct_2x2_mmx(j_decompress_ptr cinfo, jpeg_component_info* compptr, JCOEFPTR coef_block,
                       JSAMPARRAY output_buf, JDIMENSION output_col) {
    const auto* table = static_cast<const SimdIdctTable*>(compptr->dct_table);
    const auto* coef = reinterpret_cast<const std::int16_t*>(coef_block);
    const auto* quant = reinterpret_cast<const std::int16_t*>(table->multipliers);
    __m128i bad = _mm_setzero_si128();

    __m128i x[8];
    for (int k = 0; k < 8; ++k) {
        const bool used = k == 0 || (k & 1) != 0;
        x[k] = used ? dequantize<15>(coef + 8 * k, quant + 8 * k, &bad) : _mm_setzero_si128();
    }
    __m128i w[8];
    if (!columns_pass<2, 13>(x, red2_1d, bad, w)) { // CONST_BITS - PASS1_BITS + 2
        table->library(cinfo, compptr, coef_block, output_buf, output_col);
        return;
    }
    w[2] = w[4] = w[6] = _mm_setzero_si128(); // the 2-point rows use inputs 0, 1, 3, 5, 7 only
    Wide y[2];
    red2_1d(w, y);
    // Lane r of out0 / out1 is row r's first / second sample.
    const __m128i samples = _mm_packus_epi16(range_limit(descale<20>(y[0])), range_limit(descale<20>(y[1])));
    alignas(16) std::uint8_t bytes[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(bytes), samples);
    for (int r = 0; r < 2; ++r) {
        output_buf[r][output_col] = bytes[r];
        output_buf[r][output_col + 1] = bytes[8 + r];
    }
}

} // namespace jpglib32
