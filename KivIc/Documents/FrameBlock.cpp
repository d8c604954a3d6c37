#include "KivIc/Documents/FrameBlock.h"

#include <cstdint>
#include <cstring>

#include "platform/win32/bitmap.h"

namespace {

// Larger frames than this are no frames of a movie the program can show.
constexpr std::int64_t kMaxFrameExtent = 1 << 16;

} // namespace

BOOL GetFrameBlockLayout(const void* block, std::size_t size, FrameBlockLayout* layout) {
    BITMAPINFOHEADER h;
    if (block == nullptr || size < sizeof h)
        return FALSE;
    std::memcpy(&h, block, sizeof h);
    const std::int64_t width = h.biWidth;
    const std::int64_t height = h.biHeight < 0 ? -static_cast<std::int64_t>(h.biHeight) : h.biHeight;
    if (h.biSize < sizeof h || h.biSize > size || width <= 0 || height <= 0 || width > kMaxFrameExtent ||
        height > kMaxFrameExtent)
        return FALSE;
    std::uint64_t offset = h.biSize;
    switch (h.biCompression) {
    case BI_RGB:
        if (h.biBitCount != 1 && h.biBitCount != 4 && h.biBitCount != 8 && h.biBitCount != 16 &&
            h.biBitCount != 24 && h.biBitCount != 32)
            return FALSE;
        if (h.biBitCount <= 8) {
            const DWORD most = 1u << h.biBitCount;
            if (h.biClrUsed > most)
                return FALSE;
            offset += 4u * static_cast<std::uint64_t>(h.biClrUsed != 0 ? h.biClrUsed : most);
        }
        break;
    case BI_BITFIELDS:
        if (h.biBitCount != 16 && h.biBitCount != 32)
            return FALSE;
        // The masks follow a 40-byte header; larger headers hold them inside.
        if (h.biSize == sizeof h)
            offset += 3 * sizeof(DWORD);
        break;
    default:
        return FALSE;
    }
    const std::uint64_t bits = DibRowBytes(width, h.biBitCount) * static_cast<std::uint64_t>(height);
    if (offset > size || bits > size - offset)
        return FALSE;
    if (layout != nullptr) {
        layout->bitsOffset = static_cast<std::size_t>(offset);
        layout->bitsBytes = static_cast<std::size_t>(bits);
    }
    return TRUE;
}

HBITMAP CreateFrameBitmap(const void* block, std::size_t size) {
    FrameBlockLayout layout;
    if (!GetFrameBlockLayout(block, size, &layout))
        return nullptr;
    const auto* bytes = static_cast<const BYTE*>(block);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap =
        CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, bytes + layout.bitsOffset, info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}
