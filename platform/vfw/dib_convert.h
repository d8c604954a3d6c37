// Uncompressed bitmaps of every common depth turned into 24-bit bottom-up DIBs (internal).
#pragma once

#include <cstddef>

#include "platform/win32/bitmap.h"

namespace kivic::vfw {

// Whether DecodeRgbDib handles the header (BI_RGB at 1, 4, 8, 16, 24 or 32 bits, width and height not 0).
bool CanDecodeRgbDib(const BITMAPINFOHEADER* header);
// The colour table entries that follow a header (biClrUsed, or 2^bits up to 8 bits).
DWORD DibColorCount(const BITMAPINFOHEADER* header);
// Bytes of the 24-bit padded image of |height| rows.
std::size_t Dib24Size(const BITMAPINFOHEADER* header);

// Converts the pixels of a BI_RGB DIB (format: header and colour table, formatSize bytes; bits: size
// bytes, rows padded to 4 bytes, top-down when biHeight < 0) into out, which takes Dib24Size bytes of
// bottom-up rows. Palette indexes beyond the table give black. False when the format is not handled or
// the bits are too short.
bool DecodeRgbDib(const BYTE* format, std::size_t formatSize, const BYTE* bits, std::size_t size, BYTE* out);

} // namespace kivic::vfw
