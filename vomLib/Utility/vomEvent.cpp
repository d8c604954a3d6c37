#include "vomLib/Utility/vomEvent.h"

#include "platform/win32/files.h"
#include "vomLib/Utility/vomException.h"

vomEvent::vomEvent(BOOL manualReset, BOOL initialState) {
    m_handle = CreateEventA(nullptr, manualReset, initialState, nullptr);
    if (m_handle == nullptr || m_handle == INVALID_HANDLE_VALUE)
        VOM_THROW("Event : Fail create event. ");
}

vomEvent::~vomEvent() {
    CloseHandle(m_handle);
}
