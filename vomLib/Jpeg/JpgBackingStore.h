// A backing store held in one global-memory block instead of a temporary file. Each store owns its own
// block, so stores on different threads never meet.
#pragma once

#include <cstddef>

#include "platform/win32/types.h"

namespace jpglib32 {

class JpgBackingStore {
public:
    JpgBackingStore() = default;
    JpgBackingStore(const JpgBackingStore&) = delete;
    JpgBackingStore& operator=(const JpgBackingStore&) = delete;
    ~JpgBackingStore() { Close(); }

    // Copies count bytes to offset, growing the block to offset + count when needed. False when the
    // block could not grow; the stored bytes are then unchanged.
    bool Write(std::size_t offset, const void* bytes, std::size_t count);
    // Copies count bytes from offset; false (and nothing copied) when that reaches past the stored size.
    bool Read(std::size_t offset, void* buffer, std::size_t count) const;
    // Frees the block; the size goes back to 0.
    void Close();
    std::size_t Size() const { return size_; }

private:
    BYTE* block_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace jpglib32
