// Uncompressed bitmaps of every common depth turned into 24-bit bottom-up DIBs, and the pictures the
// library takes at all (internal).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32/bitmap.h"

namespace kivic::vfw {

// The most pixels a picture may have: 4096 x 4096 (48 MiB at 24 bits), the largest camera frame the raw
// reader accepts too. A few bytes of a damaged file can declare any size, and a picture is allocated,
// cleared and drawn by the size it declares.
constexpr std::uint64_t kMaxPicturePixels = 4096u * 4096u;

// Whether a header declares a size that a picture can have: a width of at least 1, a height other than 0
// (negative for top-down rows) and at most kMaxPicturePixels pixels.
bool HasPictureSize(const BITMAPINFOHEADER* header);
// Whether a video stream of this format can be shown: a picture size and, uncompressed, a depth that
// DecodeRgbDib handles (the depth of a compressed picture is its codec's to judge).
bool IsShowablePicture(const BITMAPINFOHEADER* header);

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
