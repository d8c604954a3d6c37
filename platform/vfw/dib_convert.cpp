// Uncompressed bitmaps to 24-bit rows.
#include <algorithm>
#include <cstring>

#include "platform/vfw/dib_convert.h"

namespace kivic::vfw {

namespace {

std::int64_t AbsHeight(const BITMAPINFOHEADER* h) {
    return h->biHeight < 0 ? -static_cast<std::int64_t>(h->biHeight) : h->biHeight;
}

} // namespace

bool HasPictureSize(const BITMAPINFOHEADER* h) {
    return h->biWidth > 0 && h->biHeight != 0 &&
           static_cast<std::uint64_t>(h->biWidth) * static_cast<std::uint64_t>(AbsHeight(h)) <=
               kMaxPicturePixels;
}

bool IsShowablePicture(const BITMAPINFOHEADER* h) {
    return HasPictureSize(h) && (h->biCompression != BI_RGB || CanDecodeRgbDib(h));
}

bool CanDecodeRgbDib(const BITMAPINFOHEADER* h) {
    if (!h || h->biSize < sizeof(BITMAPINFOHEADER) || h->biCompression != BI_RGB || h->biWidth <= 0 ||
        h->biHeight == 0 || h->biWidth > 65535 || AbsHeight(h) > 65535)
        return false;
    switch (h->biBitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

DWORD DibColorCount(const BITMAPINFOHEADER* h) {
    if (h->biClrUsed)
        return h->biClrUsed;
    return h->biBitCount <= 8 ? (1u << h->biBitCount) : 0u;
}

std::size_t Dib24Size(const BITMAPINFOHEADER* h) {
    return static_cast<std::size_t>(DibRowBytes(h->biWidth, 24) * static_cast<std::uint64_t>(AbsHeight(h)));
}

bool DecodeRgbDib(const BYTE* format, std::size_t formatSize, const BYTE* bits, std::size_t size, BYTE* out) {
    if (formatSize < sizeof(BITMAPINFOHEADER))
        return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, format, sizeof h);
    if (!CanDecodeRgbDib(&h) || h.biSize > formatSize)
        return false;
    const std::size_t width = static_cast<std::size_t>(h.biWidth);
    const std::size_t height = static_cast<std::size_t>(AbsHeight(&h));
    const std::size_t inStride = static_cast<std::size_t>(DibRowBytes(h.biWidth, h.biBitCount));
    const std::size_t outStride = static_cast<std::size_t>(DibRowBytes(h.biWidth, 24));
    // The last row needs only its pixels, not its padding.
    const std::size_t lastRow = (width * h.biBitCount + 7) / 8;
    if (size < inStride * (height - 1) + lastRow)
        return false;
    // Colour table, bounded by the format block; indexes past it give black.
    RGBQUAD palette[256] = {};
    std::size_t colours = 0;
    if (h.biBitCount <= 8) {
        const std::size_t available = (formatSize - h.biSize) / 4;
        colours = std::min<std::size_t>({DibColorCount(&h), available, 256});
        std::memcpy(palette, format + h.biSize, colours * 4);
    }
    const bool topDown = h.biHeight < 0;
    for (std::size_t y = 0; y < height; ++y) {
        const BYTE* src = bits + inStride * (topDown ? height - 1 - y : y);
        BYTE* dst = out + outStride * y;
        for (std::size_t x = 0; x < width; ++x, dst += 3) {
            switch (h.biBitCount) {
            case 24:
                dst[0] = src[3 * x];
                dst[1] = src[3 * x + 1];
                dst[2] = src[3 * x + 2];
                break;
            case 32:
                dst[0] = src[4 * x];
                dst[1] = src[4 * x + 1];
                dst[2] = src[4 * x + 2];
                break;
            case 16: {
                const unsigned v = src[2 * x] | (src[2 * x + 1] << 8);
                const unsigned b = v & 0x1F, g = (v >> 5) & 0x1F, r = (v >> 10) & 0x1F;
                // 5 bits widened to 8 by repeating the high bits, so white stays white.
                dst[0] = static_cast<BYTE>((b << 3) | (b >> 2));
                dst[1] = static_cast<BYTE>((g << 3) | (g >> 2));
                dst[2] = static_cast<BYTE>((r << 3) | (r >> 2));
                break;
            }
            default: {
                unsigned index;
                if (h.biBitCount == 8)
                    index = src[x];
                else if (h.biBitCount == 4)
                    index = (src[x / 2] >> (x & 1 ? 0 : 4)) & 0x0F;
                else
                    index = (src[x / 8] >> (7 - (x & 7))) & 1;
                const RGBQUAD c = index < colours ? palette[index] : RGBQUAD{0, 0, 0, 0};
                dst[0] = c.rgbBlue;
                dst[1] = c.rgbGreen;
                dst[2] = c.rgbRed;
            }
            }
        }
        std::memset(dst, 0, outStride - 3 * width);
    }
    return true;
}

} // namespace kivic::vfw
