// The header of a packed frame bitmap: a 40-byte bitmap information header directly followed by
// bottom-up rows of blue, green, red bytes, 3 x width bytes per row with no padding, no colour table.
#pragma once

#include <cstdint>

#include "platform/win32/bitmap.h"

// The pixel bytes of a packed 24-bit frame (width x 3 x height), in 64 bits so large sizes cannot wrap.
constexpr std::uint64_t PackedFrameImageSize(std::int64_t width, std::int64_t height) {
    return (width > 0 && height > 0)
               ? static_cast<std::uint64_t>(width) * 3u * static_cast<std::uint64_t>(height)
               : 0u;
}

// The whole block: header plus pixels (40 + width x 3 x height).
constexpr std::uint64_t PackedFrameSize(std::int64_t width, std::int64_t height) {
    return sizeof(BITMAPINFOHEADER) + PackedFrameImageSize(width, height);
}

// A bitmap information header built in one step; biSize is always 40. It stays exactly a
// BITMAPINFOHEADER so producers copy it to the start of their frame block.
struct CMovieBitmapInfo : BITMAPINFOHEADER {
    CMovieBitmapInfo(LONG width, LONG height, DWORD sizeImage, WORD planes, WORD bitCount, DWORD compression,
                     LONG xPelsPerMeter, LONG yPelsPerMeter, DWORD clrUsed, DWORD clrImportant)
        : BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER),
                           width,
                           height,
                           planes,
                           bitCount,
                           compression,
                           sizeImage,
                           xPelsPerMeter,
                           yPelsPerMeter,
                           clrUsed,
                           clrImportant} {}

    // The header of a packed 24-bit frame. biSizeImage is width x 3 x height, or 0 (which readers of
    // uncompressed bitmaps take as that same size) when withSizeImage is false or the size does not
    // fit in 32 bits.
    static CMovieBitmapInfo Packed24(LONG width, LONG height, bool withSizeImage = true) {
        const std::uint64_t image = PackedFrameImageSize(width, height);
        const DWORD sizeImage = (withSizeImage && image <= 0xFFFFFFFFu) ? static_cast<DWORD>(image) : 0u;
        return CMovieBitmapInfo(width, height, sizeImage, 1, 24, BI_RGB, 0, 0, 0, 0);
    }
};
static_assert(sizeof(CMovieBitmapInfo) == 40);
