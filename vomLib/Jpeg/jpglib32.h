// jpglib32: the memory-to-memory JPEG codec. Compresses a 24-bit bottom-up DIB into a JFIF stream in a
// fixed global-memory block, compresses an interlaced frame as two fields, and decodes a JPEG stream or a
// two-field Motion-JPEG frame into bottom-up DIB rows in the caller's buffer.
//
// Every call carries its own state, so the codec may run on several threads at once. Blocks handed out
// are GMEM_FIXED global-memory blocks; the receiver frees them with GlobalFree.
#pragma once

#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include "platform/win32/types.h"

// Results of the entry points. Anything but JPG_OK is a failure.
enum JpgResult : int {
    JPG_OK = 0,
    JPG_ERR_ARGUMENT = 1,  // null pointer, size out of range, unknown row layout
    JPG_ERR_DATA = 2,      // the stream is not a JPEG image the library can decode
    JPG_ERR_MEMORY = 3,    // a working or output block could not be allocated
    JPG_ERR_WRITE = 4,     // the output block could not take the compressed bytes
    JPG_ERR_BUFFER = 5,    // the caller's output buffer is smaller than the image
    JPG_ERR_FORMAT = 6,    // decodable, but not as grey or RGB, or the two fields differ in size
    JPG_ERR_TRUNCATED = 7, // the stream ended early: the rows decoded so far are in the buffer
};

// How the rows of a 24-bit (or 8-bit grey) DIB lie in memory.
enum class JpgRows : int {
    Packed = 0,  // width x components bytes per row, no alignment bytes (the packed frame bitmap)
    Padded4 = 1, // each row padded with zero bytes to a multiple of 4 (a DIB's pixel array)
};

// DCT method codes of the entry points.
enum JpgDctCode : int {
    JPG_DCT_ACCURATE = 0, // the accurate integer method (any code other than 1 and 2)
    JPG_DCT_FAST = 1,     // the fast integer method
    JPG_DCT_FLOAT = 2,    // floating point
};

// Bytes per row for the given width, bytes per pixel and layout; 0 when the width is out of range.
std::size_t jpg_row_stride(int width, int components, JpgRows rows);

// Quality on the compression options' scale (0..10000, as the compressor dialogs and AVI options keep it)
// turned into the codec's 1..100 scale: divided by 100 and clamped.
int jpg_quality_from_option(long optionQuality);

// Compresses one frame: height rows of width pixels in B, G, R order, bottom row first, laid out as
// `rows` says. On success *outBlock receives a new global block holding the JFIF stream and *outLength
// its length; the caller frees the block (GlobalFree). quality is the library's 0..100 scale.
int jpg_compress_rgb(const BYTE* pixels, int width, int height, JpgRows rows, BYTE** outBlock,
                     long* outLength, int quality, int dctMethod);

// The same with every component at full resolution (no chroma subsampling): the conversion's movies
// and pictures keep the colour of fine edges (markers, test charts, thin coloured lines), which halved
// chroma smears over two pixels.
int jpg_compress_rgb_full(const BYTE* pixels, int width, int height, JpgRows rows, BYTE** outBlock,
                          long* outLength, int quality, int dctMethod);

// Compresses an interlaced frame as two half-height fields (memory rows 0, 2, 4, ... and 1, 3, 5, ...)
// and joins the two streams. Byte 10 of each stream marks its field: with order 0 the first stream gets
// 1 and the second 2, with any other order the other way round. An odd last row is dropped.
int jpg_compress_fields(const BYTE* pixels, int width, int height, JpgRows rows, BYTE** outBlock,
                        long* outLength, int quality, int dctMethod, int order);

// What a decoder needs to size its buffer.
struct JpgImageInfo {
    int width = 0;            // pixels per row
    int height = 0;           // rows of the whole frame (twice the field height for two fields)
    int fieldHeight = 0;      // rows of one stream
    int fields = 0;           // 1, or 2 for a two-field Motion-JPEG frame
    int components = 0;       // colour components in the stream
    int outputComponents = 0; // bytes per decoded pixel: 1 (grey) or 3 (B, G, R); 0 when not decodable
};

// Reads the header of a stream (the first field of a two-field frame) and fills info.
int jpg_read_header(const BYTE* data, long length, JpgImageInfo* info);

// Bytes a decoder output buffer needs for the image that info describes.
std::size_t jpg_dib_size(const JpgImageInfo& info, JpgRows rows);

// Decodes one stream, or both fields of a two-field frame, into outBuffer (outSize bytes) as bottom-up
// DIB rows laid out as `rows` says. Two fields interleave: the field marked 1 fills the even rows counted
// from the bottom, the field marked 2 the odd rows.
int jpg_decompress_dib(const BYTE* data, BYTE* outBuffer, long length, int dctMethod, std::size_t outSize,
                       JpgRows rows);

namespace jpglib32 {

// Processor classification by CPUID (vendor of leaf 0, family, type and model of leaf 1).
// Returns 1..11 for the known processor types, -1 otherwise.
int classify_cpu(const char* vendor, int highestLeaf, DWORD leaf1Eax);
// The classification of the processor this runs on.
int get_cpu_type();
// The SIMD inverse DCTs are chosen on two processor types only (codes 5 and 8).
bool use_mmx_idct_for(int cpuType);
BOOL use_mmx_idct();

// Forces the SIMD inverse DCTs on or off for the whole process (tests and measurements); Auto lets the
// processor classification decide.
enum class SimdIdct : int { Auto = 0, On = 1, Off = 2 };
void set_simd_idct(SimdIdct mode);
SimdIdct simd_idct();
// Whether a decoder started now uses the SIMD inverse DCTs.
bool simd_idct_chosen();

} // namespace jpglib32
