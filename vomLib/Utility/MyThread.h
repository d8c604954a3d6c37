// A worker thread that runs a runnable object. The thread is joined when the object is destroyed:
// the destructor waits for the thread to end and closes its handle (Join does the same earlier).
// A class whose runnable lives in its own (derived) part must Join in its own destructor, before
// that part is gone.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/win32/sync.h"

class MyRunnable {
public:
    virtual ~MyRunnable() = default;
    // The thread's work; the result becomes the thread's exit code.
    virtual unsigned Run() = 0;
};

class MyThread {
public:
    // Starts the thread (suspended with CREATE_SUSPENDED; then ResumeThread starts it). Throws
    // vomException "MyThread : Faile begin _beginthreadex" when the thread cannot be created.
    MyThread(MyRunnable* runnable, std::uintptr_t userValue, unsigned initFlags = 0, void* security = nullptr,
             unsigned stackSize = 0);
    virtual ~MyThread();
    MyThread(const MyThread&) = delete;
    MyThread& operator=(const MyThread&) = delete;

    // Waits up to milliseconds for the thread to end; when it has, keeps its exit code and closes the
    // handle. Returns WAIT_OBJECT_0 when joined (or already joined), WAIT_TIMEOUT, or WAIT_FAILED when
    // called on the thread itself.
    DWORD Join(DWORD milliseconds = INFINITE);
    // Starts a thread created with CREATE_SUSPENDED. Resume it through here rather than with
    // ResumeThread on the handle, so that the destructor knows whether its work was ever started.
    DWORD Resume();
    // The exit code once joined; STILL_ACTIVE while the thread runs.
    DWORD ExitCode() const;

    HANDLE Handle() const { return m_handle; }
    unsigned ThreadId() const { return m_threadId; }
    std::uintptr_t UserValue() const { return m_userValue; }
    MyRunnable* Runnable() const { return m_runnable; }

    static unsigned ThreadProc(void* arg);

private:
    enum State : int { kNotStarted, kRunning, kCancelled };

    HANDLE m_handle = nullptr;
    unsigned m_threadId = 0;
    std::uintptr_t m_userValue;
    MyRunnable* m_runnable;
    std::atomic<int> m_state{kNotStarted};
    bool m_suspended;
    DWORD m_exitCode = STILL_ACTIVE;
};
