// The set of handles one thread waits on: at most MAXIMUM_WAIT_OBJECTS, added in order, never removed.
#pragma once

#include "platform/win32/sync.h"

class CWaitObjects {
public:
    // Thrown by Add when the set is already full.
    struct overflow {};

    CWaitObjects() = default;

    void Add(HANDLE handle);
    int Count() const { return m_count; }
    HANDLE operator[](int index) const { return m_handles[index]; }
    const HANDLE* Handles() const { return m_handles; }
    // WaitForMultipleObjects over the set: WAIT_OBJECT_0 + the lowest signalled index, or WAIT_TIMEOUT.
    DWORD Wait(DWORD milliseconds, BOOL waitAll = FALSE) const;

private:
    HANDLE m_handles[MAXIMUM_WAIT_OBJECTS] = {};
    int m_count = 0;
};
