#include "vomLib/Image/BmpImgObject.h"

#include <algorithm>
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(BmpImgObject, IMGObject)

namespace {

// One sample of more than 8 bits, reduced to its top 8 bits.
inline BYTE WideSample(const BYTE* samples, std::uint64_t index, DWORD bitsPerSample) {
    if (bitsPerSample <= 16) {
        WORD w;
        std::memcpy(&w, samples + 2 * index, sizeof(w));
        return static_cast<BYTE>(w >> (bitsPerSample - 8));
    }
    DWORD d;
    std::memcpy(&d, samples + 4 * index, sizeof(d));
    return static_cast<BYTE>(d >> (bitsPerSample - 8));
}

} // namespace

BmpImgObject::BmpImgObject(DWORD width, int height, WORD samples, WORD bitsPerPixel, const BYTE* pixels) {
    SetImage(width, height, samples, bitsPerPixel, pixels);
    if (samples == 1 && bitsPerPixel == 8)
        MakeGreyPalette();
}

BmpImgObject::~BmpImgObject() {
    delete[] m_palette;
    Free();
}

BOOL BmpImgObject::SetImage(DWORD width, int height, WORD samples, WORD bitsPerPixel, const BYTE* pixels) {
    if (bitsPerPixel < 25 || samples != 3) {
        if (!Create(width, height, samples, bitsPerPixel))
            return FALSE;
        if (pixels)
            std::memcpy(m_data, pixels, std::min<std::uint64_t>(RowBytes() * Rows(height), m_size));
        return TRUE;
    }
    const DWORD bitsPerSample = bitsPerPixel / 3;
    if (bitsPerSample > 32 || !Create(width, height, 3, 24))
        return FALSE;
    if (pixels) {
        const std::uint64_t count = static_cast<std::uint64_t>(m_size);
        for (std::uint64_t i = 0; i < count; ++i)
            m_data[i] = WideSample(pixels, i, bitsPerSample);
    }
    return TRUE;
}

BOOL BmpImgObject::SetImageFlipped(DWORD width, int height, WORD samples, WORD bitsPerPixel,
                                   const BYTE* pixels) {
    if (bitsPerPixel < 24 || samples != 3)
        return SetImage(width, height, samples, bitsPerPixel, pixels);
    const DWORD bitsPerSample = bitsPerPixel / 3;
    if (bitsPerSample > 32 || !Create(width, height, 3, 24))
        return FALSE;
    if (!pixels)
        return TRUE;
    const std::uint64_t rows = Rows(height);
    const std::uint64_t rowSamples = static_cast<std::uint64_t>(width) * 3;
    for (std::uint64_t r = 0; r < rows; ++r) {
        BYTE* out = m_data + (rows - 1 - r) * rowSamples;
        const std::uint64_t first = r * rowSamples;
        for (std::uint64_t x = 0; x < rowSamples; x += 3) {
            for (int s = 0; s < 3; ++s) {
                const std::uint64_t in = first + x + s;
                out[x + 2 - s] = bitsPerSample <= 8 ? pixels[in] : WideSample(pixels, in, bitsPerSample);
            }
        }
    }
    return TRUE;
}

RGBQUAD* BmpImgObject::MakeGreyPalette() {
    if (!m_palette)
        m_palette = new RGBQUAD[256];
    for (int i = 0; i < 256; ++i)
        m_palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    return m_palette;
}

void BmpImgObject::SetPalette(const RGBQUAD* colors, DWORD count) {
    if (!colors) {
        delete[] m_palette;
        m_palette = nullptr;
        return;
    }
    if (!m_palette)
        m_palette = new RGBQUAD[256];
    std::memset(m_palette, 0, 256 * sizeof(RGBQUAD));
    std::memcpy(m_palette, colors, std::min<DWORD>(count, 256) * sizeof(RGBQUAD));
}

HBITMAP BmpImgObject::CreateBitmap(HWND window) const {
    struct WindowDc {
        HWND window;
        HDC dc;
        ~WindowDc() { ReleaseDC(window, dc); }
    } target{window, GetDC(window)};
    return CreateBitmapOnDC(target.dc);
}

HBITMAP BmpImgObject::CreateBitmapOnDC(HDC dc) const {
    if (!m_data)
        return nullptr;
    DWORD colors = 0;
    switch (m_bitsPerPixel) {
    case 1:
        colors = 2;
        break;
    case 4:
        colors = 16;
        break;
    case 8:
        colors = 256;
        break;
    case 16:
        colors = 65536;
        break;
    default:
        break;
    }
    std::vector<BYTE> infoBlock(sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(infoBlock.data());
    if (m_palette && colors)
        std::memcpy(info->bmiColors, m_palette, std::min<DWORD>(colors, 256) * sizeof(RGBQUAD));
    BITMAPINFOHEADER& h = info->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = static_cast<LONG>(m_width);
    h.biHeight = m_height;
    h.biPlanes = 1;
    h.biBitCount = m_bitsPerPixel;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(m_width * Rows(m_height));

    // The block's rows are packed; a device-independent bitmap pads each row to 4 bytes.
    const std::uint64_t packed = RowBytes();
    const std::uint64_t padded = DibRowBytes(m_width, m_bitsPerPixel);
    const std::uint64_t rows = Rows(m_height);
    if (packed * rows > m_size)
        return nullptr;
    const BYTE* bits = m_data;
    std::vector<BYTE> paddedRows;
    if (packed != padded) {
        paddedRows.assign(padded * rows, 0);
        for (std::uint64_t r = 0; r < rows; ++r)
            std::memcpy(paddedRows.data() + r * padded, m_data + r * packed, packed);
        bits = paddedRows.data();
    }
    return CreateDIBitmap(dc, &h, CBM_INIT, bits, info, DIB_RGB_COLORS);
}
