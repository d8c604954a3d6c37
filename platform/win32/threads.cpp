// Threads as waitable kernel objects. A thread record lives as long as its handle or the thread
// itself, whichever is longer; the handle is signalled when the start routine has returned.
#include "platform/win32/sync.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <pthread.h>
#include <thread>
#include <unistd.h>

#include "platform/win32/errors.h"
#include "platform/win32/handle_table.h"

namespace kivic::win32 {
namespace {

std::atomic<DWORD> nextThreadId{1};

DWORD NewThreadId() {
    return nextThreadId.fetch_add(1);
}

thread_local DWORD currentThreadId = 0;

class ThreadObject : public KernelObject {
public:
    ThreadObject(DWORD id, bool suspended) : id_(id), suspendCount_(suspended ? 1 : 0) {}
    bool Waitable() const override { return true; }
    bool SignalledLocked() const override { return finished_; }

    DWORD Id() const { return id_; }
    DWORD& SuspendCountLocked() { return suspendCount_; }
    bool FinishedLocked() const { return finished_; }
    DWORD ExitCodeLocked() const { return exitCode_; }
    void FinishLocked(DWORD exitCode) {
        finished_ = true;
        exitCode_ = exitCode;
    }

private:
    const DWORD id_;
    DWORD suspendCount_;
    bool finished_ = false;
    DWORD exitCode_ = STILL_ACTIVE;
};

struct StartBlock {
    std::shared_ptr<ThreadObject> thread;
    LPTHREAD_START_ROUTINE start;
    LPVOID parameter;
};

void* ThreadMain(void* argument) {
    std::unique_ptr<StartBlock> block(static_cast<StartBlock*>(argument));
    currentThreadId = block->thread->Id();
    {
        std::unique_lock lock(WaitMutex());
        WaitCondition().wait(lock, [&] { return block->thread->SuspendCountLocked() == 0; });
    }
    const DWORD exitCode = block->start(block->parameter);
    {
        std::lock_guard lock(WaitMutex());
        block->thread->FinishLocked(exitCode);
    }
    WaitCondition().notify_all();
    return nullptr;
}

// Starts a detached thread; null handle with errno and the last error set on failure.
HANDLE StartThread(SIZE_T stackSize, LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD creationFlags,
                   DWORD* threadId) {
    if (!start) {
        errno = EINVAL;
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto thread = std::make_shared<ThreadObject>(NewThreadId(), (creationFlags & CREATE_SUSPENDED) != 0);
    auto block = std::make_unique<StartBlock>(StartBlock{thread, start, parameter});
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (stackSize > 0) {
        const SIZE_T page = static_cast<SIZE_T>(::sysconf(_SC_PAGESIZE));
        SIZE_T rounded = (stackSize + page - 1) / page * page;
        if (rounded < static_cast<SIZE_T>(PTHREAD_STACK_MIN)) {
            rounded = PTHREAD_STACK_MIN;
        }
        pthread_attr_setstacksize(&attributes, rounded);
    }
    pthread_t native;
    const int result = pthread_create(&native, &attributes, ThreadMain, block.get());
    pthread_attr_destroy(&attributes);
    if (result != 0) {
        errno = result;
        SetLastError(Win32ErrorFromErrno(result));
        return nullptr;
    }
    block.release(); // the thread owns it now
    if (threadId) {
        *threadId = thread->Id();
    }
    HANDLE handle = InsertHandle(std::move(thread));
    SetLastError(ERROR_SUCCESS);
    return handle;
}

struct CrtStart {
    unsigned (*start)(void*);
    void* arglist;
};

DWORD CrtThreadMain(LPVOID argument) {
    std::unique_ptr<CrtStart> crt(static_cast<CrtStart*>(argument));
    return crt->start(crt->arglist);
}

} // namespace
} // namespace kivic::win32

using namespace kivic::win32;

HANDLE CreateThread(LPSECURITY_ATTRIBUTES /*security*/, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId) {
    return StartThread(stackSize, start, parameter, creationFlags, threadId);
}

std::uintptr_t _beginthreadex(void* /*security*/, unsigned stackSize, unsigned (*start)(void*), void* arglist,
                              unsigned initFlag, unsigned* threadAddr) {
    if (!start) {
        errno = EINVAL;
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto* crt = new CrtStart{start, arglist};
    DWORD id = 0;
    HANDLE handle = StartThread(stackSize, CrtThreadMain, crt, initFlag, &id);
    if (!handle) {
        delete crt;
        return 0;
    }
    if (threadAddr) {
        *threadAddr = id;
    }
    return reinterpret_cast<std::uintptr_t>(handle);
}

DWORD ResumeThread(HANDLE thread) {
    auto object = LookupHandleAs<ThreadObject>(thread);
    if (!object) {
        return static_cast<DWORD>(-1);
    }
    DWORD previous;
    {
        std::lock_guard lock(WaitMutex());
        DWORD& count = object->SuspendCountLocked();
        previous = count;
        if (count > 0) {
            --count;
        }
    }
    if (previous == 1) {
        WaitCondition().notify_all();
    }
    SetLastError(ERROR_SUCCESS);
    return previous;
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
    auto object = LookupHandleAs<ThreadObject>(thread);
    if (!object) {
        return FALSE;
    }
    if (exitCode) {
        std::lock_guard lock(WaitMutex());
        *exitCode = object->ExitCodeLocked();
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

DWORD GetCurrentThreadId() {
    if (currentThreadId == 0) {
        currentThreadId = NewThreadId();
    }
    return currentThreadId;
}

void Sleep(DWORD milliseconds) {
    if (milliseconds == 0) {
        std::this_thread::yield();
    } else if (milliseconds == INFINITE) {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::hours(24));
        }
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

LONG InterlockedIncrement(LONG volatile* value) {
    return __atomic_add_fetch(value, 1, __ATOMIC_SEQ_CST);
}

LONG InterlockedDecrement(LONG volatile* value) {
    return __atomic_sub_fetch(value, 1, __ATOMIC_SEQ_CST);
}

LONG InterlockedExchange(LONG volatile* target, LONG value) {
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand) {
    __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return comparand;
}

LONG InterlockedExchangeAdd(LONG volatile* addend, LONG value) {
    return __atomic_fetch_add(addend, value, __ATOMIC_SEQ_CST);
}
