// The conversion of decoded frames into packed 24-bit frame bitmaps.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "vomLib/avilib/MovieBase.h"
#include "vomLib/avilib/MovieBitmapInfo.h"

namespace {

std::int64_t Rows(const BITMAPINFOHEADER* h) {
    return h->biHeight < 0 ? -static_cast<std::int64_t>(h->biHeight) : h->biHeight;
}

bool Convertible(const BITMAPINFOHEADER* h) {
    if (!h || h->biSize < sizeof(BITMAPINFOHEADER) || h->biCompression != BI_RGB || h->biWidth <= 0 ||
        h->biHeight == 0)
        return false;
    const int bits = h->biBitCount;
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24;
}

} // namespace

DWORD CMovieBase::ConvertedSize(const BITMAPINFOHEADER* h) {
    if (!Convertible(h))
        return 0;
    if (h->biBitCount == 24) {
        const std::uint64_t image =
            h->biSizeImage ? h->biSizeImage : PackedFrameImageSize(h->biWidth, Rows(h));
        return static_cast<DWORD>(std::min<std::uint64_t>(h->biSize + image, 0xFFFFFFFFu));
    }
    return static_cast<DWORD>(std::min<std::uint64_t>(PackedFrameSize(h->biWidth, Rows(h)), 0xFFFFFFFFu));
}

BOOL CMovieBase::ConvertTo24Bit(const BITMAPINFOHEADER* h, BYTE* destination, DWORD* outSize) {
    if (!Convertible(h) || !destination)
        return FALSE;
    const BYTE* base = reinterpret_cast<const BYTE*>(h);
    if (h->biBitCount == 24) {
        const DWORD image = ConvertedSize(h) - h->biSize;
        std::memcpy(destination, h, sizeof(BITMAPINFOHEADER));
        std::memcpy(destination + h->biSize, base + h->biSize, image);
        if (outSize)
            *outSize = h->biSize + image;
        return TRUE;
    }
    const std::int64_t width = h->biWidth, rows = Rows(h);
    const DWORD colours = h->biClrUsed ? h->biClrUsed : (h->biBitCount <= 8 ? (1u << h->biBitCount) : 0u);
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(base + h->biSize);
    const BYTE* pixels = base + h->biSize + 4ull * colours;
    const std::uint64_t stride = DibRowBytes(width, h->biBitCount);
    BYTE* out = destination + sizeof(BITMAPINFOHEADER);
    for (std::int64_t y = 0; y < rows; ++y) {
        // Output rows are bottom-up; a top-down source is turned over.
        const BYTE* src = pixels + stride * static_cast<std::uint64_t>(h->biHeight < 0 ? rows - 1 - y : y);
        for (std::int64_t x = 0; x < width; ++x, out += 3) {
            if (h->biBitCount == 16) {
                const unsigned v = src[2 * x] | (src[2 * x + 1] << 8);
                out[0] = static_cast<BYTE>((v & 0x1F) << 3);
                out[1] = static_cast<BYTE>(((v & 0x3E0) << 3) >> 5);
                out[2] = static_cast<BYTE>(((v & 0x7C00) << 3) >> 10);
                continue;
            }
            unsigned index;
            if (h->biBitCount == 8)
                index = src[x];
            else if (h->biBitCount == 4)
                index = (src[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F;
            else
                index = (src[x / 8] >> (7 - (x & 7))) & 1;
            if (index < colours) {
                out[0] = table[index].rgbBlue;
                out[1] = table[index].rgbGreen;
                out[2] = table[index].rgbRed;
            } else {
                out[0] = out[1] = out[2] = 0;
            }
        }
    }
    const CMovieBitmapInfo header(static_cast<LONG>(width), static_cast<LONG>(rows),
                                  static_cast<DWORD>(PackedFrameImageSize(width, rows)), 1, 24, BI_RGB, 0, 0,
                                  0, 0);
    std::memcpy(destination, &header, sizeof header);
    if (outSize)
        *outSize = static_cast<DWORD>(PackedFrameSize(width, rows));
    return TRUE;
}
