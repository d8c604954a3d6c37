// Pieces the codec's entry points share: the error manager, the memory source and destination, the DIB
// input and output modules, the standard Huffman tables and the SIMD inverse DCTs. Everything lives in
// the jpglib32 namespace so that no name can ever stand in for one of the library's own.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

#include "platform/win32/types.h"

namespace jpglib32 {

// --- Error manager ---------------------------------------------------------------------------------
// Codes of the codec's own messages, carried beside the library's table.
enum AddonMessage : int {
    JMSG_FIRSTADDONCODE = 1000,
    JERR_BMP_BADCMAP,
    JERR_BMP_BADDEPTH,
    JERR_BMP_BADHEADER,
    JERR_BMP_BADPLANES,
    JERR_BMP_COLORSPACE,
    JERR_BMP_COMPRESSED,
    JERR_BMP_NOT,
    JTRC_BMP,
    JTRC_BMP_MAPPED,
    JTRC_BMP_OS2,
    JTRC_BMP_OS2_MAPPED,
    JERR_GIF_BUG,
    JERR_GIF_CODESIZE,
    JERR_GIF_COLORSPACE,
    JERR_GIF_IMAGECOUNT,
    JERR_GIF_NOT,
    JTRC_GIF,
    JMSG_LASTADDONCODE,
};

// The error manager of one codec call. error_exit jumps back to `jump`, which the entry point armed
// with setjmp; it never returns into the library.
struct ErrorContext {
    jpeg_error_mgr mgr; // first member: the library hands back a pointer to it
    std::jmp_buf jump;
    const char* program; // "cjpeg" or "djpeg", shown in front of each message
    int failure;         // message code of the error that ended the call
};

jpeg_error_mgr* jpg_std_error(ErrorContext* context, const char* program);

// --- Output block ----------------------------------------------------------------------------------
// The growing GMEM_FIXED block that receives a compressed stream.
struct OutputBlock {
    BYTE* handle = nullptr; // handle and address are the same for a fixed block
    std::size_t size = 0;
};
// Appends n bytes; false when the block could not grow (the old block is then unchanged).
bool jpg_append_output(OutputBlock* block, const JOCTET* bytes, std::size_t n);
void jpg_free_output(OutputBlock* block);

// Memory destination: 4096-byte buffer flushed into the output block; a failed append is a write error.
void jpg_mem_dest(j_compress_ptr cinfo, OutputBlock* block);

// --- Input -----------------------------------------------------------------------------------------
// Memory source over [data, data + length). Running dry before any byte is an empty-input error;
// later it gives a warning and a fake end of image, and *truncated becomes true.
void jpg_mem_src(j_decompress_ptr cinfo, const BYTE* data, std::size_t length, bool* truncated);

// Comment-marker processor: reads the comment and, when tracing, prints it.
boolean print_text_marker(j_decompress_ptr cinfo);

// --- DIB modules -----------------------------------------------------------------------------------
// Row pointers of a bottom-up DIB in the order the compressor takes them (top row first).
struct DibInput {
    JSAMPROW* rows;
    int height;
};
// Fills `rows` (height entries) for every `step`-th memory row starting at `first`, counted from the
// bottom, so that the last one taken comes first.
void jinit_read_bmp(const BYTE* pixels, std::size_t stride, int first, int step, int height, JSAMPROW* rows);

// Row pointers into the caller's buffer for one decoded stream: decoded row r (top first) lands on
// memory row fields * (height - 1 - r) + parity.
void jinit_write_bmp(BYTE* buffer, std::size_t stride, int fields, int parity, int height, JSAMPROW* rows);

// --- Standard Huffman tables -----------------------------------------------------------------------
// Fills every absent DC/AC table slot 0 and 1 with the standard tables; tables the frame carries stay.
void jpg_load_std_huff_tables(j_decompress_ptr cinfo);
// The standard table of a slot: 17 count bytes (index 0 unused) and the symbol values.
void jpg_std_huff_table(bool dc, int slot, const UINT8** bits, const UINT8** values, int* valueCount);

// --- Field layout ----------------------------------------------------------------------------------
struct FieldLayout {
    int fields = 1;
    int firstParity = 0;         // row parity of the first field (1 for a field marked 2)
    std::size_t secondStart = 0; // offset of the second field's start-of-image marker
};
FieldLayout jpg_find_fields(const BYTE* data, std::size_t length);

// --- Inverse DCTs ----------------------------------------------------------------------------------
// Replaces the library's inverse DCTs of a started decompressor with the SIMD ones where a SIMD method
// of the same size and kind exists. Call right after jpeg_start_decompress.
void jpg_install_simd_idct(j_decompress_ptr cinfo);

// The multiplier table a SIMD method reads: the library's table first (the library may rebuild it in
// place), then the library method that takes blocks whose values leave the 16-bit range.
struct SimdIdctTable {
    union {
        std::int16_t multipliers[DCTSIZE2]; // the library keeps 16-bit multipliers when built with SIMD
        float floats[DCTSIZE2];             // keeps the size of the library's own table
    };
    void (*library)(j_decompress_ptr, jpeg_component_info*, JCOEFPTR, JSAMPARRAY, JDIMENSION);
};

// The methods keep the names they had when they were written for MMX; they now use SSE2.
void jpeg_idct_islow_mmx(j_decompress_ptr cinfo, jpeg_component_info* compptr, JCOEFPTR coef_block,
                         JSAMPARRAY output_buf, JDIMENSION output_col);
void jpeg_idct_ifast_mmx(j_decompress_ptr cinfo, jpeg_component_info* compptr, JCOEFPTR coef_block,
                         JSAMPARRAY output_buf, JDIMENSION output_col);
void jpeg_idct_4x4_mmx(j_decompress_ptr cinfo, jpeg_component_info* compptr, JCOEFPTR coef_block,
                       JSAMPARRAY output_buf, JDIMENSION output_col);
void jpeg_idct_2x2_mmx(j_decompress_ptr cinfo, jpeg_component_info* compptr, JCOEFPTR coef_block,
                       JSAMPARRAY output_buf, JDIMENSION output_col);

// --- Library settings ------------------------------------------------------------------------------
J_DCT_METHOD dct_method_from_code(int code);

} // namespace jpglib32
