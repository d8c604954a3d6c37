#include "vomLib/Jpeg/JpgBackingStore.h"

#include <cstring>

#include "platform/win32/memory.h"
#include "platform/win32/system.h"

namespace jpglib32 {

bool JpgBackingStore::Write(std::size_t offset, const void* bytes, std::size_t count) {
    if (count == 0)
        return true;
    if (offset > static_cast<std::size_t>(-1) - count)
        return false;
    const std::size_t end = offset + count;
    if (end > size_) {
        HGLOBAL grown = block_ == nullptr ? GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, end)
                                          : GlobalReAlloc(block_, end, GMEM_MOVEABLE | GMEM_ZEROINIT);
        if (grown == nullptr) {
            OutputDebugStringA("jpglib32 error memory allocate \n");
            return false;
        }
        block_ = static_cast<BYTE*>(grown);
        size_ = end;
    }
    std::memcpy(block_ + offset, bytes, count);
    return true;
}

bool JpgBackingStore::Read(std::size_t offset, void* buffer, std::size_t count) const {
    if (offset > size_ || count > size_ - offset)
        return false;
    if (count > 0)
        std::memcpy(buffer, block_ + offset, count);
    return true;
}

void JpgBackingStore::Close() {
    if (block_ != nullptr)
        GlobalFree(block_);
    block_ = nullptr;
    size_ = 0;
}

} // namespace jpglib32
