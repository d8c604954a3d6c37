#include "vomLib/Utility/MyThread.h"

#include "platform/win32/files.h"
#include "vomLib/Utility/vomException.h"

MyThread::MyThread(MyRunnable* runnable, std::uintptr_t userValue, unsigned initFlags, void* security,
                   unsigned stackSize)
    : m_userValue(userValue), m_runnable(runnable), m_suspended((initFlags & CREATE_SUSPENDED) != 0) {
    const std::uintptr_t handle =
        _beginthreadex(security, stackSize, &MyThread::ThreadProc, this, initFlags, &m_threadId);
    if (handle == 0 || reinterpret_cast<HANDLE>(handle) == INVALID_HANDLE_VALUE)
        VOM_THROW("MyThread : Faile begin _beginthreadex");
    m_handle = reinterpret_cast<HANDLE>(handle);
}

MyThread::~MyThread() {
    if (m_handle == nullptr)
        return;
    // A thread that never got going (still suspended) is let go without running its work, so the
    // join below cannot wait for ever.
    int expected = kNotStarted;
    if (m_suspended && m_state.compare_exchange_strong(expected, kCancelled))
        ResumeThread(m_handle);
    Join(INFINITE);
}

DWORD MyThread::Resume() {
    m_suspended = false;
    return ResumeThread(m_handle);
}

unsigned MyThread::ThreadProc(void* arg) {
    auto* self = static_cast<MyThread*>(arg);
    int expected = kNotStarted;
    if (!self->m_state.compare_exchange_strong(expected, kRunning))
        return 0;
    return self->m_runnable != nullptr ? self->m_runnable->Run() : 0;
}

DWORD MyThread::Join(DWORD milliseconds) {
    if (m_handle == nullptr)
        return WAIT_OBJECT_0;
    if (GetCurrentThreadId() == m_threadId)
        return WAIT_FAILED;
    const DWORD result = WaitForSingleObject(m_handle, milliseconds);
    if (result != WAIT_OBJECT_0)
        return result;
    DWORD code = 0;
    if (GetExitCodeThread(m_handle, &code))
        m_exitCode = code;
    CloseHandle(m_handle);
    m_handle = nullptr;
    return WAIT_OBJECT_0;
}

DWORD MyThread::ExitCode() const {
    if (m_handle == nullptr)
        return m_exitCode;
    DWORD code = STILL_ACTIVE;
    GetExitCodeThread(m_handle, &code);
    return code;
}
