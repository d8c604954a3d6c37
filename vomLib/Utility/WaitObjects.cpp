#include "vomLib/Utility/WaitObjects.h"

void CWaitObjects::Add(HANDLE handle) {
    if (m_count >= MAXIMUM_WAIT_OBJECTS)
        throw overflow();
    m_handles[m_count++] = handle;
}

DWORD CWaitObjects::Wait(DWORD milliseconds, BOOL waitAll) const {
    return WaitForMultipleObjects(static_cast<DWORD>(m_count), m_handles, waitAll, milliseconds);
}
