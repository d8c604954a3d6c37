#include "vomLib/Utility/CriticalSectionWrapper.h"

CCriticalSectionWrapper::CCriticalSectionWrapper(BOOL /*init*/) {
    Init();
}

CCriticalSectionWrapper::~CCriticalSectionWrapper() {
    Delete();
}

void CCriticalSectionWrapper::Init() {
    if (m_bInit)
        return;
    InitializeCriticalSection(&m_cs);
    m_bInit = 1;
}

void CCriticalSectionWrapper::Delete() {
    if (!m_bInit)
        return;
    DeleteCriticalSection(&m_cs);
    m_bInit = 0;
}
