#include "vomLib/Image/MemoryObject.h"

IMPLEMENT_DYNAMIC(MemoryObject, CObject)

MemoryObject::~MemoryObject() {
    Free();
}

BYTE* MemoryObject::Alloc(DWORD size) {
    Free();
    m_size = size;
    if (size == 0)
        return nullptr;
    m_handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!m_handle)
        return nullptr;
    m_data = static_cast<BYTE*>(GlobalLock(m_handle));
    if (!m_data) {
        GlobalFree(m_handle);
        m_handle = nullptr;
    }
    return m_data;
}

void MemoryObject::Free() {
    if (m_handle) {
        GlobalUnlock(m_handle);
        GlobalFree(m_handle);
    }
    m_handle = nullptr;
    m_data = nullptr;
}
