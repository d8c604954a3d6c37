// Holder of a recursive critical section. It does not lock by itself: owners call
// EnterCriticalSection / LeaveCriticalSection on m_cs (or use CCriticalSectionLock).
#pragma once

#include "platform/win32/sync.h"

class CCriticalSectionWrapper {
public:
    // The section is always ready after construction, whatever init says: owners that still check
    // m_bInit before locking find it set, and no two threads can race to initialise it lazily.
    explicit CCriticalSectionWrapper(BOOL init = TRUE);
    ~CCriticalSectionWrapper();
    CCriticalSectionWrapper(const CCriticalSectionWrapper&) = delete;
    CCriticalSectionWrapper& operator=(const CCriticalSectionWrapper&) = delete;

    // Initialises the section unless it already is.
    void Init();
    // Releases the section; Init may make it usable again.
    void Delete();
    BOOL IsInit() const { return m_bInit; }

    void Lock() { EnterCriticalSection(&m_cs); }
    void Unlock() { LeaveCriticalSection(&m_cs); }
    operator LPCRITICAL_SECTION() { return &m_cs; }

    int m_bInit = 0;
    CRITICAL_SECTION m_cs{};
};

// Holds the wrapper's section for the lifetime of a scope.
class CCriticalSectionLock {
public:
    explicit CCriticalSectionLock(CCriticalSectionWrapper& section) : m_section(section) { m_section.Lock(); }
    ~CCriticalSectionLock() { m_section.Unlock(); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
    CCriticalSectionWrapper& m_section;
};
