// Display bitmaps of TIFF images: YCbCr 4:2:2 converted to RGB, everything else through an image
// object.
#include <algorithm>
#include <cstring>
#include <vector>

#include "vomLib/Image/BmpImgObject.h"
#include "vomLib/Image/TiffFile.h"

namespace {

inline BYTE clamp255(int v) {
    return static_cast<BYTE>(std::clamp(v, 0, 255));
}

} // namespace

HBITMAP TiffFile::CreateBitmap(HWND window) const {
    const std::uint64_t bytes = ImageBytes();
    if (!m_pixels || bytes == 0 || bytes > m_pixelSize)
        return nullptr;
    if (IsYCbCr())
        return CreateYCbCrBitmap();
    const DWORD bits = BitsPerPixel().value_or(0);
    const DWORD samples = SamplesPerPixel().value_or(1);
    if (bits == 0 || bits > 0xFFFF || samples == 0 || bits / 8 == 0 || bits / samples > 32 ||
        *ImageLength() > 0x7FFFFFFF)
        return nullptr;
    const DWORD sampleBits = bits / samples;
    const int height = -static_cast<int>(*ImageLength());
    if (sampleBits <= 8) {
        BmpImgObject image(*ImageWidth(), height, static_cast<WORD>(bits / 8), static_cast<WORD>(bits),
                           m_pixels);
        return image.CreateBitmap(window);
    }
    // Wider samples are shown by their high byte.
    const std::uint64_t count = bytes / ((sampleBits + 7) / 8);
    std::vector<BYTE> reduced(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        if (sampleBits <= 16) {
            WORD w;
            std::memcpy(&w, m_pixels + 2 * i, 2);
            reduced[i] = static_cast<BYTE>(w >> (sampleBits - 8));
        } else {
            DWORD d;
            std::memcpy(&d, m_pixels + 4 * i, 4);
            reduced[i] = static_cast<BYTE>(d >> (sampleBits - 8));
        }
    }
    BmpImgObject image(*ImageWidth(), height, static_cast<WORD>(samples), static_cast<WORD>(8 * samples),
                       reduced.data());
    return image.CreateBitmap(window);
}

// Pairs of pixels are stored as Y0, Y1, Cb, Cr; a row holds (width + 1) / 2 pairs.
HBITMAP TiffFile::CreateYCbCrBitmap() const {
    const DWORD width = *ImageWidth(), height = *ImageLength();
    if (GetTagValue(TIFFTAG_YCBCRSUBSAMPLING, 0).value_or(2) != 2 ||
        GetTagValue(TIFFTAG_YCBCRSUBSAMPLING, 1).value_or(2) != 1 || BitsPerPixel() != 24u)
        return nullptr;
    const std::uint64_t inStride = (static_cast<std::uint64_t>(width) + 1) / 2 * 4;
    const std::uint64_t outStride = DibRowBytes(width, 24);
    if (inStride * height > m_pixelSize || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return nullptr;
    std::vector<BYTE> rgb(outStride * height, 0);
    for (DWORD y = 0; y < height; ++y) {
        const BYTE* in = m_pixels + y * inStride;
        BYTE* out = rgb.data() + y * outStride;
        for (DWORD x = 0; x < width; x += 2, in += 4) {
            const int cb = in[2] - 128, cr = in[3] - 128;
            const int g = (186 * cb + 508 * cr) / 1000;
            for (DWORD k = 0; k < 2 && x + k < width; ++k) {
                const int luma = in[k];
                BYTE* px = out + 3 * (x + k);
                px[0] = clamp255(luma + cb);
                px[1] = clamp255(luma - g);
                px[2] = clamp255(luma + cr);
            }
        }
    }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER),
                      static_cast<LONG>(width),
                      -static_cast<LONG>(height),
                      1,
                      24,
                      BI_RGB,
                      static_cast<DWORD>(outStride * height),
                      0,
                      0,
                      0,
                      0};
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, rgb.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}
