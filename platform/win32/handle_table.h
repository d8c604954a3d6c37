// The kernel handle table shared by files, events, threads and folder searches. Every object is
// reference counted: closing a handle drops the table's reference, while a wait or a read that is
// still using the object keeps it alive until it returns.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/win32/types.h"

namespace kivic::win32 {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // Waitable objects answer these two with WaitMutex() held.
    virtual bool Waitable() const { return false; }
    virtual bool SignalledLocked() const { return false; }
    // Called when a wait is satisfied by this object (an auto-reset event resets here).
    virtual void ConsumeLocked() {}
};

HANDLE InsertHandle(std::shared_ptr<KernelObject> object);
// Null when the handle is unknown; the last error is then ERROR_INVALID_HANDLE.
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
std::shared_ptr<KernelObject> RemoveHandle(HANDLE handle);

template <class T> std::shared_ptr<T> LookupHandleAs(HANDLE handle);

// The one lock and condition that every wait uses: state changes of waitable objects happen under
// the lock and wake all waiters, who then re-check their own objects.
std::mutex& WaitMutex();
std::condition_variable& WaitCondition();

void SetInvalidHandleError();

template <class T> std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
    auto typed = std::dynamic_pointer_cast<T>(LookupHandle(handle));
    if (!typed) {
        SetInvalidHandleError();
    }
    return typed;
}

} // namespace kivic::win32
