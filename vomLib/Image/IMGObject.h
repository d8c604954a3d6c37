// An image held in a MemoryObject's block: rows packed one after the other, top row first when the
// height is negative (as in a bitmap information header), bottom row first otherwise.
#pragma once

#include <cstdint>

#include "vomLib/Image/MemoryObject.h"

class IMGObject : public MemoryObject {
    DECLARE_DYNAMIC(IMGObject)
public:
    IMGObject() = default;

    // Frees the old block and allocates a zero-filled one for the geometry; FALSE (and no block) when
    // the geometry is invalid, too large for one block, or the allocation fails.
    BOOL Create(DWORD width, int height, WORD samples, WORD bitsPerPixel);

    DWORD GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    WORD GetSamples() const { return m_samples; }
    WORD GetBitsPerPixel() const { return m_bitsPerPixel; }
    // Bytes of one packed row: width x bits per pixel rounded up to a whole byte.
    std::uint64_t RowBytes() const { return PackedRowBytes(m_width, m_bitsPerPixel); }

    // Bytes per sample: (bits per pixel / samples) / 8, rounded up; 0 for an invalid geometry.
    static DWORD BytesPerSample(WORD samples, WORD bitsPerPixel);
    // Size of the block for a geometry: |height| x width x samples x bytes per sample.
    static std::uint64_t BlockBytes(DWORD width, int height, WORD samples, WORD bitsPerPixel);
    static std::uint64_t PackedRowBytes(DWORD width, WORD bitsPerPixel) {
        return (static_cast<std::uint64_t>(width) * bitsPerPixel + 7) / 8;
    }
    static std::uint64_t Rows(int height) {
        return height < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(height))
                          : static_cast<std::uint64_t>(height);
    }

protected:
    DWORD m_width = 0;
    int m_height = 0;
    WORD m_samples = 0;
    WORD m_bitsPerPixel = 0;
};
