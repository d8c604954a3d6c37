// SIMD inverse DCTs (SSE2) and their installation into a started decompressor. Each gives exactly the
// output of the library's method of the same size and kind: the sums are the library's, regrouped as
// products of coefficient pairs, and a block whose values leave the 16-bit range goes to the library's
// own method instead.
#include <cstring>

#include "vomLib/Jpeg/JpgInternal.h"
#include "vomLib/Jpeg/JpgSimd.h"

extern "C" {
#include <jpegint.h>
}

namespace jpglib32 {

// The library's multiplier tables are 16-bit exactly when it is built with its own SIMD support.
#ifndef WITH_SIMD
#error "the SIMD inverse DCTs read 16-bit multiplier tables"
#endif
static_assert(sizeof(JCOEF) == 2);

namespace {

using namespace simd;

// One 1-D pass of the accurate integer algorithm on eight lanes; y receives the undescaled sums.
// Odd part: each output is the library's sum of products written out per input.
inline void islow_1d(const __m128i x[8], Wide y[8]) {
    const Wide tmp3 = madd(x[2], x[6], pair(10703, 4433));
    const Wide tmp2 = madd(x[2], x[6], pair(4433, -10704));
    const Wide tmp0 = madd(x[0], x[4], pair(8192, 8192));
    const Wide tmp1 = madd(x[0], x[4], pair(8192, -8192));
    const Wide tmp10 = tmp0 + tmp3;
    const Wide tmp13 = tmp0 - tmp3;
    const Wide tmp11 = tmp1 + tmp2;
    const Wide tmp12 = tmp1 - tmp2;
    const Wide o0 = madd(x[7], x[5], pair(-11363, 9633)) + madd(x[3], x[1], pair(-6436, 2260));
    const Wide o1 = madd(x[7], x[5], pair(9633, 2261)) + madd(x[3], x[1], pair(-11362, 6437));
    const Wide o2 = madd(x[7], x[5], pair(-6436, -11362)) + madd(x[3], x[1], pair(-2259, 9633));
    const Wide o3 = madd(x[7], x[5], pair(2260, 6437)) + madd(x[3], x[1], pair(9633, 11363));
    y[0] = tmp10 + o3;
    y[7] = tmp10 - o3;
    y[1] = tmp11 + o2;
    y[6] = tmp11 - o2;
    y[2] = tmp12 + o1;
    y[5] = tmp12 - o1;
    y[3] = tmp13 + o0;
    y[4] = tmp13 - o0;
}

// Writes eight rows of eight 16-bit samples (already offset and limited to 16 bits) as bytes.
inline void store_rows8(__m128i rows[8], JSAMPARRAY output_buf, JDIMENSION output_col) {
    for (int r = 0; r < 8; r += 2) {
        const __m128i bytes = _mm_packus_epi16(rows[r], rows[r + 1]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(output_buf[r] + output_col), bytes);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(output_buf[r + 1] + output_col),
                         _mm_srli_si128(bytes, 8));
    }
}

inline const SimdIdctTable* table_of(jpeg_component_info* compptr) {
    return static_cast<const SimdIdctTable*>(compptr->dct_table);
}

} // namespace

void jpeg_idct_islow_mmx(j_decompress_ptr cinfo, jpeg_component_info* compptr, JCOEFPTR coef_block,
                         JSAMPARRAY output_buf, JDIMENSION output_col) {
    const SimdIdctTable* table = table_of(compptr);
    const auto* coef = reinterpret_cast<const std::int16_t*>(coef_block);
    const auto* quant = reinterpret_cast<const std::int16_t*>(table->multipliers);
    __m128i bad = _mm_setzero_si128();

    // Pass 1: columns (each vector holds one row of coefficients, a lane per column).
    __m128i x[8];
    for (int k = 0; k < 8; ++k)
        x[k] = dequantize(coef + 8 * k, quant + 8 * k, &bad);
    Wide y[8];
    islow_1d(x, y);
    __m128i w[8];
    for (int k = 0; k < 8; ++k) {
        const Wide v = descale<11>(y[k]); // CONST_BITS - PASS1_BITS
        note_wide(v, &bad);
        w[k] = narrow(v);
    }
    if (any(bad)) {
        table->library(cinfo, compptr, coef_block, output_buf, output_col);
        return;
    }

    // Pass 2: rows (after the transpose a lane holds one row).
    transpose8x8(w);
    islow_1d(w, y);
    __m128i out[8];
    for (int k = 0; k < 8; ++k)
        out[k] = range_limit(descale<18>(y[k])); // CONST_BITS + PASS1_BITS + 3
    transpose8x8(out);
    store_rows8(out, output_buf, output_col);
}

void jpg_install_simd_idct(j_decompress_ptr cinfo) {
    for (int ci = 0; ci < cinfo->num_components; ++ci) {
        jpeg_component_info* compptr = &cinfo->comp_info[ci];
        if (!compptr->component_needed || compptr->dct_table == nullptr)
            continue;
        inverse_DCT_method_ptr method = nullptr;
        switch (compptr->DCT_scaled_size) {
        case 2:
            method = jpeg_idct_2x2_mmx;
            break;
        case 4:
            method = jpeg_idct_4x4_mmx;
            break;
        case DCTSIZE:
            if (cinfo->dct_method == JDCT_ISLOW)
                method = jpeg_idct_islow_mmx;
            else if (cinfo->dct_method == JDCT_IFAST)
                method = jpeg_idct_ifast_mmx;
            break;
        default:
            break;
        }
        if (method == nullptr)
            continue;
        auto* table = static_cast<SimdIdctTable*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE, sizeof(SimdIdctTable)));
        std::memcpy(table->floats, compptr->dct_table, sizeof(table->floats));
        table->library = cinfo->idct->inverse_DCT[ci];
        compptr->dct_table = table;
        cinfo->idct->inverse_DCT[ci] = method;
    }
}

} // namespace jpglib32
