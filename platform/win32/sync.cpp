// Critical sections, events and the waits on any waitable kernel object.
#include "platform/win32/sync.h"

#include <atomic>
#include <chrono>
#include <map>
#include <string>
#include <mutex>
#include <vector>

#include "platform/win32/errors.h"
#include "platform/win32/handle_table.h"

namespace kivic::win32 {
namespace {

class EventObject : public KernelObject {
public:
    EventObject(bool manualReset, bool signalled) : manualReset_(manualReset), signalled_(signalled) {}
    bool Waitable() const override { return true; }
    bool SignalledLocked() const override { return signalled_; }
    void ConsumeLocked() override {
        if (!manualReset_) {
            signalled_ = false;
        }
    }
    void SetLocked(bool signalled) { signalled_ = signalled; }

private:
    const bool manualReset_;
    bool signalled_;
};

// Named events live as long as a handle refers to them; the table keeps only weak references.
std::mutex& NamedEventsMutex() {
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

std::map<std::string, std::weak_ptr<EventObject>>& NamedEvents() {
    static auto* events = new std::map<std::string, std::weak_ptr<EventObject>>;
    return *events;
}

std::recursive_mutex* MutexOf(LPCRITICAL_SECTION cs) {
    // A section that was never initialised gets its lock on first use instead of crashing; the
    // exchange makes two racing first users agree on one lock.
    std::atomic_ref<void*> impl(cs->impl);
    void* current = impl.load(std::memory_order_acquire);
    if (!current) {
        auto* fresh = new std::recursive_mutex;
        if (impl.compare_exchange_strong(current, fresh, std::memory_order_acq_rel)) {
            current = fresh;
        } else {
            delete fresh;
        }
    }
    return static_cast<std::recursive_mutex*>(current);
}

bool AnySignalled(const std::vector<std::shared_ptr<KernelObject>>& objects, DWORD& index) {
    for (DWORD i = 0; i < objects.size(); ++i) {
        if (objects[i]->SignalledLocked()) {
            index = i;
            return true;
        }
    }
    return false;
}

bool AllSignalled(const std::vector<std::shared_ptr<KernelObject>>& objects) {
    for (const auto& object : objects) {
        if (!object->SignalledLocked()) {
            return false;
        }
    }
    return true;
}

BOOL ChangeEvent(HANDLE event, bool signalled) {
    auto object = LookupHandleAs<EventObject>(event);
    if (!object) {
        return FALSE;
    }
    {
        std::lock_guard lock(WaitMutex());
        object->SetLocked(signalled);
    }
    if (signalled) {
        WaitCondition().notify_all();
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

} // namespace
} // namespace kivic::win32

using namespace kivic::win32;

void InitializeCriticalSection(LPCRITICAL_SECTION cs) {
    cs->impl = new std::recursive_mutex;
}

void EnterCriticalSection(LPCRITICAL_SECTION cs) {
    MutexOf(cs)->lock();
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs) {
    return MutexOf(cs)->try_lock() ? TRUE : FALSE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION cs) {
    MutexOf(cs)->unlock();
}

void DeleteCriticalSection(LPCRITICAL_SECTION cs) {
    delete static_cast<std::recursive_mutex*>(cs->impl);
    cs->impl = nullptr;
}

// A named event that exists already is opened again (its own reset kind and state stay), and the
// last error says so.
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES /*security*/, BOOL manualReset, BOOL initialState, LPCSTR name) {
    if (!name || !*name) {
        HANDLE handle =
            InsertHandle(std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE));
        SetLastError(ERROR_SUCCESS);
        return handle;
    }
    std::lock_guard lock(NamedEventsMutex());
    auto& named = NamedEvents();
    std::shared_ptr<EventObject> existing = named[name].lock();
    if (existing) {
        HANDLE handle = InsertHandle(existing);
        SetLastError(ERROR_ALREADY_EXISTS);
        return handle;
    }
    auto created = std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE);
    named[name] = created;
    HANDLE handle = InsertHandle(std::move(created));
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL SetEvent(HANDLE event) {
    return ChangeEvent(event, true);
}

BOOL ResetEvent(HANDLE event) {
    return ChangeEvent(event, false);
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    // The references keep every object alive for the whole wait, even if a handle is closed meanwhile.
    std::vector<std::shared_ptr<KernelObject>> objects;
    objects.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        auto object = LookupHandle(handles[i]);
        if (!object || !object->Waitable()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        if (waitAll) {
            for (const auto& earlier : objects) {
                if (earlier == object) {
                    SetLastError(ERROR_INVALID_PARAMETER);
                    return WAIT_FAILED;
                }
            }
        }
        objects.push_back(std::move(object));
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    std::unique_lock lock(WaitMutex());
    for (;;) {
        DWORD index = 0;
        if (waitAll) {
            if (AllSignalled(objects)) {
                for (auto& object : objects) {
                    object->ConsumeLocked();
                }
                return WAIT_OBJECT_0;
            }
        } else if (AnySignalled(objects, index)) {
            objects[index]->ConsumeLocked();
            return WAIT_OBJECT_0 + index;
        }
        if (milliseconds == 0) {
            return WAIT_TIMEOUT;
        }
        if (milliseconds == INFINITE) {
            WaitCondition().wait(lock);
        } else if (WaitCondition().wait_until(lock, deadline) == std::cv_status::timeout) {
            // One last look: the state may have changed just as the time ran out.
            if (waitAll ? AllSignalled(objects) : AnySignalled(objects, index)) {
                continue;
            }
            return WAIT_TIMEOUT;
        }
    }
}
