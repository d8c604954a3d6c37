// Conversions between device-independent bitmaps and the 32-bit images behind device bitmaps.
#include <bit>
#include <cstring>

#include "platform/gdi/gdiobjects.h"

namespace kivic::gdi {
namespace {

// One channel of a bit-field pixel, widened to 8 bits by repeating its bits (5 bits abcde become
// abcdeabc), or cut to its top 8 bits.
struct Channel {
    DWORD mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(DWORD m) : mask(m) {
        if (m) {
            shift = std::countr_zero(m);
            bits = std::bit_width(m >> shift);
        }
    }
    int operator()(DWORD pixel) const {
        if (!bits)
            return 0;
        const DWORD v = (pixel & mask) >> shift;
        if (bits >= 8)
            return static_cast<int>(v >> (bits - 8));
        DWORD out = 0;
        int filled = 0;
        while (filled < 8) {
            out = (out << bits) | v;
            filled += bits;
        }
        return static_cast<int>(out >> (filled - 8));
    }
};

} // namespace

bool DibToImage(const BITMAPINFO* info, const void* bits, UINT usage, QImage& image) {
    if (!info || !bits || usage != DIB_RGB_COLORS)
        return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const std::int64_t width = h.biWidth;
    const std::int64_t height = h.biHeight < 0 ? -static_cast<std::int64_t>(h.biHeight) : h.biHeight;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || width <= 0 || height <= 0 || width > kMaxExtent ||
        height > kMaxExtent || width * height > kMaxPixels)
        return false;
    const int bitCount = h.biBitCount;
    const auto* base = reinterpret_cast<const BYTE*>(info) + h.biSize;
    DWORD masks[3] = {0x7C00u, 0x03E0u, 0x001Fu};
    if (h.biCompression == BI_BITFIELDS) {
        if (bitCount != 16 && bitCount != 32)
            return false;
        // A 40-byte header is followed by the three masks; larger headers hold them at offset 40.
        const BYTE* m =
            h.biSize == sizeof(BITMAPINFOHEADER) ? base : reinterpret_cast<const BYTE*>(info) + 40;
        std::memcpy(masks, m, sizeof(masks));
    } else if (h.biCompression == BI_RGB) {
        if (bitCount == 32 || bitCount == 24) {
            masks[0] = 0xFF0000u;
            masks[1] = 0x00FF00u;
            masks[2] = 0x0000FFu;
        } else if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16) {
            return false;
        }
    } else {
        return false;
    }

    QRgb palette[256] = {};
    if (bitCount <= 8) {
        const DWORD maxColors = 1u << bitCount;
        const DWORD colors = h.biClrUsed && h.biClrUsed < maxColors ? h.biClrUsed : maxColors;
        const auto* table = reinterpret_cast<const RGBQUAD*>(base);
        for (DWORD i = 0; i < colors; ++i)
            palette[i] = qRgb(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue);
    }

    image = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull())
        return false;
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    const std::uint64_t stride = DibRowBytes(width, bitCount);
    const bool bottomUp = h.biHeight > 0;
    for (std::int64_t r = 0; r < height; ++r) {
        const BYTE* src = static_cast<const BYTE*>(bits) + static_cast<std::uint64_t>(r) * stride;
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(bottomUp ? height - 1 - r : r)));
        for (std::int64_t x = 0; x < width; ++x) {
            switch (bitCount) {
            case 1:
                dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                dst[x] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
                break;
            case 8:
                dst[x] = palette[src[x]];
                break;
            case 16: {
                DWORD p = src[2 * x] | (DWORD(src[2 * x + 1]) << 8);
                dst[x] = qRgb(red(p), green(p), blue(p));
                break;
            }
            case 24:
                dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
                break;
            default: {
                const BYTE* q = src + 4 * x;
                DWORD p = q[0] | (DWORD(q[1]) << 8) | (DWORD(q[2]) << 16) | (DWORD(q[3]) << 24);
                dst[x] = qRgb(red(p), green(p), blue(p));
                break;
            }
            }
        }
    }
    return true;
}

void EncodeRow(const QImage& image, int row, int bitCount, BYTE* out) {
    const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(row));
    const int width = image.width();
    for (int x = 0; x < width; ++x) {
        const QRgb p = src[x];
        switch (bitCount) {
        case 16: {
            const unsigned v = ((qRed(p) >> 3) << 10) | ((qGreen(p) >> 3) << 5) | (qBlue(p) >> 3);
            out[2 * x] = static_cast<BYTE>(v);
            out[2 * x + 1] = static_cast<BYTE>(v >> 8);
            break;
        }
        case 24:
            out[3 * x] = static_cast<BYTE>(qBlue(p));
            out[3 * x + 1] = static_cast<BYTE>(qGreen(p));
            out[3 * x + 2] = static_cast<BYTE>(qRed(p));
            break;
        default:
            out[4 * x] = static_cast<BYTE>(qBlue(p));
            out[4 * x + 1] = static_cast<BYTE>(qGreen(p));
            out[4 * x + 2] = static_cast<BYTE>(qRed(p));
            out[4 * x + 3] = 0;
            break;
        }
    }
    const std::uint64_t used = static_cast<std::uint64_t>(width) * (bitCount / 8);
    std::memset(out + used, 0, DibRowBytes(width, bitCount) - used);
}

} // namespace kivic::gdi
