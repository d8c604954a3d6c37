// A system event object: auto-reset and initially non-signalled unless asked otherwise.
#pragma once

#include "platform/win32/sync.h"

class vomEvent {
public:
    // Throws vomException "Event : Fail create event. " when the system cannot create the event.
    explicit vomEvent(BOOL manualReset = FALSE, BOOL initialState = FALSE);
    virtual ~vomEvent();
    vomEvent(const vomEvent&) = delete;
    vomEvent& operator=(const vomEvent&) = delete;

    BOOL Set() { return SetEvent(m_handle); }
    BOOL Reset() { return ResetEvent(m_handle); }
    // WAIT_OBJECT_0 when signalled, WAIT_TIMEOUT after milliseconds.
    DWORD Wait(DWORD milliseconds = INFINITE) { return WaitForSingleObject(m_handle, milliseconds); }
    HANDLE Handle() const { return m_handle; }
    operator HANDLE() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};
