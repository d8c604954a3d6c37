// Decompression entry points: the header reader and the DIB decoder for one stream or a two-field frame.
#include <cstring>

#include "vomLib/Jpeg/JpgInternal.h"
#include "vomLib/Jpeg/jpglib32.h"

#include <jerror.h>

namespace jpglib32 {
namespace {

struct DecompressJob {
    ErrorContext error;
    jpeg_decompress_struct cinfo;
    bool truncated;
};

// The size every field of a frame must share.
struct FieldShape {
    JDIMENSION width = 0;
    JDIMENSION height = 0;
    int components = 0;
};

struct FieldTarget {
    BYTE* buffer;
    std::size_t size;
    JpgRows rows;
    int fields;
    int parity;
};

int result_for_failure(int code) {
    switch (code) {
    case JERR_OUT_OF_MEMORY:
        return JPG_ERR_MEMORY;
    case JERR_BMP_COLORSPACE:
        return JPG_ERR_FORMAT;
    default:
        return JPG_ERR_DATA;
    }
}

// Grey streams decode to one byte a pixel, three-component streams to B, G, R; others are not decoded.
int choose_output(j_decompress_ptr cinfo) {
    if (cinfo->jpeg_color_space == JCS_GRAYSCALE && cinfo->num_components == 1) {
        cinfo->out_color_space = JCS_GRAYSCALE;
        return 1;
    }
    if (cinfo->num_components == 3 &&
        (cinfo->jpeg_color_space == JCS_YCbCr || cinfo->jpeg_color_space == JCS_RGB)) {
        cinfo->out_color_space = JCS_EXT_BGR;
        return 3;
    }
    return 0;
}

// Creates the decompressor over [data, data + length) and reads the header (an image is required).
void open_stream(DecompressJob* job, const BYTE* data, std::size_t length) {
    jpeg_create_decompress(&job->cinfo);
    job->cinfo.mem->max_memory_to_use = 0;
    jpeg_set_marker_processor(&job->cinfo, JPEG_COM, print_text_marker);
    jpg_mem_src(&job->cinfo, data, length, &job->truncated);
    jpeg_read_header(&job->cinfo, TRUE);
    jpg_load_std_huff_tables(&job->cinfo);
}

int read_info(const BYTE* data, std::size_t length, JpgImageInfo* info) {
    DecompressJob job{};
    job.cinfo.err = jpg_std_error(&job.error, "djpeg");
    if (setjmp(job.error.jump)) {
        jpeg_destroy_decompress(&job.cinfo);
        return result_for_failure(job.error.failure);
    }
    open_stream(&job, data, length);
    info->width = static_cast<int>(job.cinfo.image_width);
    info->fieldHeight = static_cast<int>(job.cinfo.image_height);
    info->components = job.cinfo.num_components;
    info->outputComponents = choose_output(&job.cinfo);
    jpeg_destroy_decompress(&job.cinfo);
    return JPG_OK;
}

int decode_field(const BYTE* data, std::size_t length, int dctMethod, const FieldTarget& target,
                 FieldShape* shape) {
    DecompressJob job{};
    job.cinfo.err = jpg_std_error(&job.error, "djpeg");
    if (setjmp(job.error.jump)) {
        jpeg_destroy_decompress(&job.cinfo);
        return result_for_failure(job.error.failure);
    }
    open_stream(&job, data, length);
    j_decompress_ptr cinfo = &job.cinfo;
    const int components = choose_output(cinfo);
    if (components == 0)
        ERREXIT(cinfo, JERR_BMP_COLORSPACE);
    cinfo->dct_method = dct_method_from_code(dctMethod);
    jpeg_calc_output_dimensions(cinfo);
    const JDIMENSION width = cinfo->output_width;
    const JDIMENSION height = cinfo->output_height;
    if (shape->width != 0 &&
        (shape->width != width || shape->height != height || shape->components != components)) {
        jpeg_destroy_decompress(cinfo);
        return JPG_ERR_FORMAT;
    }
    *shape = FieldShape{width, height, components};

    const std::size_t stride = jpg_row_stride(static_cast<int>(width), components, target.rows);
    const std::size_t used = static_cast<std::size_t>(width) * static_cast<std::size_t>(components);
    if (stride == 0 || stride * height * static_cast<std::size_t>(target.fields) > target.size) {
        jpeg_destroy_decompress(cinfo);
        return JPG_ERR_BUFFER;
    }
    auto* rows = static_cast<JSAMPROW*>((*cinfo->mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(JSAMPROW) * height));
    jinit_write_bmp(target.buffer, stride, target.fields, target.parity, static_cast<int>(height), rows);

    jpeg_start_decompress(cinfo);
    if (simd_idct_chosen())
        jpg_install_simd_idct(cinfo);
    while (cinfo->output_scanline < height) {
        const JDIMENSION next = cinfo->output_scanline;
        if (jpeg_read_scanlines(cinfo, rows + next, height - next) == 0)
            ERREXIT(cinfo, JERR_CANT_SUSPEND);
    }
    if (stride > used) {
        for (JDIMENSION r = 0; r < height; ++r)
            std::memset(rows[r] + used, 0, stride - used);
    }
    jpeg_finish_decompress(cinfo);
    const bool truncated = job.truncated;
    jpeg_destroy_decompress(cinfo);
    return truncated ? JPG_ERR_TRUNCATED : JPG_OK;
}

} // namespace
} // namespace jpglib32

using namespace jpglib32;

int jpg_read_header(const BYTE* data, long length, JpgImageInfo* info) {
    if (info == nullptr)
        return JPG_ERR_ARGUMENT;
    *info = JpgImageInfo{};
    if ((data == nullptr && length != 0) || length < 0)
        return JPG_ERR_ARGUMENT;
    const auto total = static_cast<std::size_t>(length);
    const FieldLayout layout = jpg_find_fields(data, total);
    JpgImageInfo read;
    const int result = read_info(data, layout.fields == 2 ? layout.secondStart : total, &read);
    if (result != JPG_OK)
        return result;
    read.fields = layout.fields;
    read.height = read.fieldHeight * layout.fields;
    *info = read;
    return JPG_OK;
}

std::size_t jpg_dib_size(const JpgImageInfo& info, JpgRows rows) {
    if (info.height <= 0 || info.outputComponents == 0)
        return 0;
    return jpg_row_stride(info.width, info.outputComponents, rows) * static_cast<std::size_t>(info.height);
}

int jpg_decompress_dib(const BYTE* data, BYTE* outBuffer, long length, int dctMethod, std::size_t outSize,
                       JpgRows rows) {
    if ((data == nullptr && length != 0) || outBuffer == nullptr || length < 0 ||
        (rows != JpgRows::Packed && rows != JpgRows::Padded4))
        return JPG_ERR_ARGUMENT;
    const auto total = static_cast<std::size_t>(length);
    const FieldLayout layout = jpg_find_fields(data, total);
    FieldShape shape;
    FieldTarget target{outBuffer, outSize, rows, layout.fields, layout.fields == 2 ? layout.firstParity : 0};
    const int first =
        decode_field(data, layout.fields == 2 ? layout.secondStart : total, dctMethod, target, &shape);
    if (layout.fields == 1 || (first != JPG_OK && first != JPG_ERR_TRUNCATED))
        return first;
    // The second field takes the other rows whatever its own mark says, so no row is left unwritten.
    target.parity = 1 - layout.firstParity;
    const int second =
        decode_field(data + layout.secondStart, total - layout.secondStart, dctMethod, target, &shape);
    return first != JPG_OK ? first : second;
}
