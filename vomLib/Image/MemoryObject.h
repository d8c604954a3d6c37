// One locked block of the global heap: movable, zero-filled, kept locked while the object holds it.
#pragma once

#include "platform/afx/core/afxcore.h"

class MemoryObject : public CObject {
    DECLARE_DYNAMIC(MemoryObject)
public:
    MemoryObject() = default;
    ~MemoryObject() override;

    // Replaces the block by a new zero-filled one of size bytes and returns its address; null (and no
    // block) when the allocation fails or size is 0.
    BYTE* Alloc(DWORD size);
    // Unlocks and frees the block; the object then holds none.
    void Free();

    BYTE* GetData() const { return m_data; }
    DWORD GetSize() const { return m_size; }
    HGLOBAL GetHandle() const { return m_handle; }

protected:
    DWORD m_size = 0;
    BYTE* m_data = nullptr;
    HGLOBAL m_handle = nullptr;
};
