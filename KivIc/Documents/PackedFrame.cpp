#include "KivIc/Documents/PackedFrame.h"

#include <cstdint>
#include <cstring>

#include "platform/win32/bitmap.h"

namespace {

// Frames the server makes are at most 4096 pixels on either side.
constexpr std::int64_t kMaxExtent = 1 << 16;

} // namespace

std::size_t PackedFrameBytes(const void* block, std::size_t size) {
    BITMAPINFOHEADER h;
    if (block == nullptr || size < sizeof h)
        return 0;
    std::memcpy(&h, block, sizeof h);
    if (h.biSize != sizeof h || h.biBitCount != 24 || h.biCompression != BI_RGB || h.biWidth <= 0 ||
        h.biHeight <= 0 || h.biWidth > kMaxExtent || h.biHeight > kMaxExtent)
        return 0;
    const std::uint64_t bytes = sizeof h + std::uint64_t{3} * static_cast<std::uint64_t>(h.biWidth) *
                                               static_cast<std::uint64_t>(h.biHeight);
    return bytes <= size ? static_cast<std::size_t>(bytes) : 0;
}

BOOL PackedFrameToFrameBlock(const void* block, std::size_t size, std::vector<BYTE>* frameBlock,
                             std::size_t lead) {
    if (PackedFrameBytes(block, size) == 0 || frameBlock == nullptr)
        return FALSE;
    BITMAPINFOHEADER h;
    std::memcpy(&h, block, sizeof h);
    const std::size_t packedRow = 3 * static_cast<std::size_t>(h.biWidth);
    const auto paddedRow = static_cast<std::size_t>(DibRowBytes(h.biWidth, 24));
    const auto rows = static_cast<std::size_t>(h.biHeight);
    frameBlock->assign(lead + sizeof h + paddedRow * rows, 0);
    h.biSizeImage = static_cast<DWORD>(paddedRow * rows);
    std::memcpy(frameBlock->data() + lead, &h, sizeof h);
    const auto* from = static_cast<const BYTE*>(block) + sizeof h;
    BYTE* to = frameBlock->data() + lead + sizeof h;
    for (std::size_t row = 0; row < rows; ++row)
        std::memcpy(to + row * paddedRow, from + row * packedRow, packedRow);
    return TRUE;
}
