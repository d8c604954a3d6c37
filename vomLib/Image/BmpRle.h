// Run-length encoded BMP pixels (BI_RLE8, BI_RLE4), as ImageMagick writes palette pictures of up to
// 256 colours by default, decoded into the uncompressed rows of the same depth.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32/bitmap.h"

// The widest and highest run-length encoded picture decoded: 4096 pixels, as the largest picture the
// program shows. A few bytes can declare a picture of any size (rows too: a picture one pixel wide
// and millions high takes as long to show as one of millions of pixels each row), so a larger one is
// refused before anything is allocated.
constexpr LONG kMaxRleSide = 4096;

// Decodes size bytes of runs at bits (8 for BI_RLE8, 4 for BI_RLE4) per pixel into out, which holds
// height bottom-up rows of DibRowBytes(width, bits) bytes, zeroed by the caller: pixels that the runs
// skip (end of line, delta, early end) keep colour index 0. Runs past the right edge are clipped, and
// decoding stops at the end of the bitmap, of the rows or of the data; false when the data ends before
// the end-of-bitmap code (the picture is cut short).
bool DecodeBmpRle(const BYTE* data, std::size_t size, int bits, LONG width, LONG height, BYTE* out);
