// Compression entry points and the output block.
#include <algorithm>
#include <cstring>

#include "platform/win32/memory.h"
#include "platform/win32/system.h"
#include "vomLib/Jpeg/JpgInternal.h"
#include "vomLib/Jpeg/jpglib32.h"

#include <jerror.h>

namespace jpglib32 {

bool jpg_append_output(OutputBlock* block, const JOCTET* bytes, std::size_t n) {
    if (n == 0)
        return true;
    HGLOBAL grown = block->handle == nullptr ? GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, n)
                                             : GlobalReAlloc(block->handle, block->size + n, GMEM_MOVEABLE);
    if (grown == nullptr) {
        OutputDebugStringA("jpglib32 error memory allocate \n");
        return false; // a failed resize leaves the old block as it was
    }
    block->handle = static_cast<BYTE*>(grown);
    auto* base = static_cast<BYTE*>(GlobalLock(grown));
    std::memcpy(base + block->size, bytes, n);
    GlobalUnlock(grown);
    block->size += n;
    return true;
}

void jpg_free_output(OutputBlock* block) {
    if (block->handle != nullptr)
        GlobalFree(block->handle);
    block->handle = nullptr;
    block->size = 0;
}

namespace {

struct CompressJob {
    ErrorContext error;
    jpeg_compress_struct cinfo;
    OutputBlock block;
};

int result_for_failure(int code) {
    switch (code) {
    case JERR_FILE_WRITE:
        return JPG_ERR_WRITE;
    case JERR_OUT_OF_MEMORY:
        return JPG_ERR_MEMORY;
    default:
        return JPG_ERR_DATA;
    }
}

// Compresses `height` rows of a DIB: memory rows first, first + step, ... (counted from the bottom).
int compress_rows(const BYTE* pixels, std::size_t stride, int first, int step, int width, int height,
                  int quality, int dctMethod, bool fullChroma, OutputBlock* out) {
    CompressJob job{};
    job.cinfo.err = jpg_std_error(&job.error, "cjpeg");
    if (setjmp(job.error.jump)) {
        jpeg_destroy_compress(&job.cinfo);
        jpg_free_output(&job.block);
        return result_for_failure(job.error.failure);
    }
    jpeg_create_compress(&job.cinfo);
    j_compress_ptr cinfo = &job.cinfo;
    cinfo->mem->max_memory_to_use = 0; // everything in memory, never a backing store
    cinfo->in_color_space = JCS_EXT_BGR;
    cinfo->input_components = 3;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, FALSE);
    if (fullChroma) {
        for (int c = 0; c < cinfo->num_components; ++c) {
            cinfo->comp_info[c].h_samp_factor = 1;
            cinfo->comp_info[c].v_samp_factor = 1;
        }
    }
    cinfo->dct_method = dct_method_from_code(dctMethod);
    cinfo->image_width = static_cast<JDIMENSION>(width);
    cinfo->image_height = static_cast<JDIMENSION>(height);
    TRACEMS2(cinfo, 1, JTRC_BMP, width, height);
    cinfo->density_unit = 2; // dots per centimetre
    cinfo->X_density = 56;
    cinfo->Y_density = 56;

    auto* rows = static_cast<JSAMPROW*>(
        (*cinfo->mem->alloc_small)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT,
                                   sizeof(JSAMPROW) * static_cast<std::size_t>(height)));
    jinit_read_bmp(pixels, stride, first, step, height, rows);

    jpg_mem_dest(cinfo, &job.block);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        const JDIMENSION next = cinfo->next_scanline;
        jpeg_write_scanlines(cinfo, rows + next, cinfo->image_height - next);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    *out = job.block;
    return JPG_OK;
}

bool valid_frame(const BYTE* pixels, int width, int height, JpgRows rows, BYTE** outBlock, long* outLength) {
    return pixels != nullptr && outBlock != nullptr && outLength != nullptr && width > 0 && height > 0 &&
           width <= JPEG_MAX_DIMENSION && height <= JPEG_MAX_DIMENSION &&
           (rows == JpgRows::Packed || rows == JpgRows::Padded4);
}

} // namespace
} // namespace jpglib32

using namespace jpglib32;

std::size_t jpg_row_stride(int width, int components, JpgRows rows) {
    if (width <= 0 || width > JPEG_MAX_DIMENSION || components <= 0 || components > 4)
        return 0;
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(components);
    return rows == JpgRows::Padded4 ? (bytes + 3) & ~static_cast<std::size_t>(3) : bytes;
}

int jpg_quality_from_option(long optionQuality) {
    return static_cast<int>(std::clamp(optionQuality / 100, 1L, 100L));
}

namespace jpglib32 {
namespace {

int compress_frame(const BYTE* pixels, int width, int height, JpgRows rows, BYTE** outBlock, long* outLength,
                   int quality, int dctMethod, bool fullChroma) {
    if (outBlock != nullptr)
        *outBlock = nullptr;
    if (outLength != nullptr)
        *outLength = 0;
    if (!valid_frame(pixels, width, height, rows, outBlock, outLength))
        return JPG_ERR_ARGUMENT;
    OutputBlock block;
    const int result = compress_rows(pixels, jpg_row_stride(width, 3, rows), 0, 1, width, height, quality,
                                     dctMethod, fullChroma, &block);
    if (result != JPG_OK)
        return result;
    *outBlock = block.handle;
    *outLength = static_cast<long>(block.size);
    return JPG_OK;
}

} // namespace
} // namespace jpglib32

int jpg_compress_rgb(const BYTE* pixels, int width, int height, JpgRows rows, BYTE** outBlock,
                     long* outLength, int quality, int dctMethod) {
    return compress_frame(pixels, width, height, rows, outBlock, outLength, quality, dctMethod, false);
}

int jpg_compress_rgb_full(const BYTE* pixels, int width, int height, JpgRows rows, BYTE** outBlock,
                          long* outLength, int quality, int dctMethod) {
    return compress_frame(pixels, width, height, rows, outBlock, outLength, quality, dctMethod, true);
}

int jpg_compress_fields(const BYTE* pixels, int width, int height, JpgRows rows, BYTE** outBlock,
                        long* outLength, int quality, int dctMethod, int order) {
    if (outBlock != nullptr)
        *outBlock = nullptr;
    if (outLength != nullptr)
        *outLength = 0;
    if (!valid_frame(pixels, width, height, rows, outBlock, outLength) || height < 2)
        return JPG_ERR_ARGUMENT;
    const std::size_t stride = jpg_row_stride(width, 3, rows);
    const int fieldHeight = height / 2;
    OutputBlock first;
    OutputBlock second;
    int result = compress_rows(pixels, stride, 0, 2, width, fieldHeight, quality, dctMethod, false, &first);
    if (result == JPG_OK)
        result = compress_rows(pixels, stride, 1, 2, width, fieldHeight, quality, dctMethod, false, &second);
    if (result == JPG_OK && (first.size <= 10 || second.size <= 10))
        result = JPG_ERR_DATA;
    BYTE* joined = nullptr;
    if (result == JPG_OK) {
        joined = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, first.size + second.size));
        if (joined == nullptr) {
            OutputDebugStringA("jpglib32 error memory allocate \n");
            result = JPG_ERR_MEMORY;
        }
    }
    if (result == JPG_OK) {
        // Byte 10 is the last byte of the APP0 identifier "JFIF"; it tells the decoder each field's rows.
        std::memcpy(joined, first.handle, first.size);
        std::memcpy(joined + first.size, second.handle, second.size);
        joined[10] = order == 0 ? 1 : 2;
        joined[first.size + 10] = order == 0 ? 2 : 1;
        *outBlock = joined;
        *outLength = static_cast<long>(first.size + second.size);
    }
    jpg_free_output(&first);
    jpg_free_output(&second);
    return result;
}
