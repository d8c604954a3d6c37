#include "vomLib/Image/IMGObject.h"

IMPLEMENT_DYNAMIC(IMGObject, MemoryObject)

DWORD IMGObject::BytesPerSample(WORD samples, WORD bitsPerPixel) {
    if (samples == 0 || bitsPerPixel == 0)
        return 0;
    const DWORD bits = bitsPerPixel / samples;
    return (bits + 7) / 8;
}

std::uint64_t IMGObject::BlockBytes(DWORD width, int height, WORD samples, WORD bitsPerPixel) {
    return Rows(height) * width * samples * BytesPerSample(samples, bitsPerPixel);
}

BOOL IMGObject::Create(DWORD width, int height, WORD samples, WORD bitsPerPixel) {
    Free();
    m_width = width;
    m_height = height;
    m_samples = samples;
    m_bitsPerPixel = bitsPerPixel;
    const std::uint64_t bytes = BlockBytes(width, height, samples, bitsPerPixel);
    if (bytes == 0 || bytes > 0xFFFFFFFFu) {
        m_size = 0;
        return FALSE;
    }
    return Alloc(static_cast<DWORD>(bytes)) ? TRUE : FALSE;
}
