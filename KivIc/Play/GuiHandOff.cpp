#include "KivIc/Play/GuiHandOff.h"

#include <algorithm>
#include <cstdio>
#include <atomic>
#include <deque>
#include <exception>
#include <mutex>

#include <QMetaObject>
#include <QObject>

#include "platform/afx/core/exceptions.h"
#include "platform/win32/files.h"
#include "platform/win32/sync.h"
#include "vomLib/Utility/vomException.h"

namespace {

enum CallState : int { kQueued, kRunning, kDropped };

// Shared by the waiting worker and the GUI thread, so either may finish first.
struct PendingCall {
    const CGuiHandOff* owner = nullptr;
    std::function<void()> work;
    std::atomic<int> state{kQueued};
    std::exception_ptr error;
    HANDLE done = nullptr;

    PendingCall() : done(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~PendingCall() {
        if (done != nullptr)
            CloseHandle(done);
    }
    PendingCall(const PendingCall&) = delete;
    PendingCall& operator=(const PendingCall&) = delete;
};

// The calls travel in this list, under its own lock, rather than inside Qt's queued call: Qt's
// queue only wakes the GUI thread. Qt's wake-up is posted while the lock is held and carries no
// data, so everything a call hands over is ordered by this lock alone.
std::mutex g_lock;
std::deque<std::shared_ptr<PendingCall>> g_calls;

// A framework exception is thrown as a heap object that its catcher must delete: on the GUI thread,
// where this runs inside a Qt slot, the user is told and the object goes. The waiting worker learns
// of it by its text, which never needs deleting, even when the worker stopped waiting meanwhile.
vomException ReportFrameworkException(CException* e) {
    char text[512] = "";
    if (!e->GetErrorMessage(text, sizeof text))
        std::snprintf(text, sizeof text, "%s", "No error message is available.");
    e->ReportError(MB_OK | MB_ICONEXCLAMATION);
    e->Delete();
    return vomException(__FILE__, __LINE__, 0, 0, text);
}

void RunPendingCalls() {
    for (;;) {
        std::shared_ptr<PendingCall> call;
        {
            std::lock_guard<std::mutex> lock(g_lock);
            if (g_calls.empty())
                return;
            call = std::move(g_calls.front());
            g_calls.pop_front();
        }
        int expected = kQueued;
        if (!call->state.compare_exchange_strong(expected, kRunning))
            continue;
        try {
            call->work();
        } catch (CException* e) {
            call->error = std::make_exception_ptr(ReportFrameworkException(e));
        } catch (...) {
            call->error = std::current_exception();
        }
        SetEvent(call->done);
    }
}

} // namespace

CGuiHandOff::CGuiHandOff()
    : m_receiver(std::make_unique<QObject>()), m_guiThread(std::this_thread::get_id()) {}

CGuiHandOff::~CGuiHandOff() {
    // Under the lock, so that Qt's dropping of the wake-ups still queued for the receiver comes after
    // their posting.
    std::lock_guard<std::mutex> lock(g_lock);
    m_receiver.reset();
    std::erase_if(g_calls, [this](const std::shared_ptr<PendingCall>& call) {
        if (call->owner != this)
            return false;
        int expected = kQueued;
        call->state.compare_exchange_strong(expected, kDropped);
        return true;
    });
}

BOOL CGuiHandOff::Call(std::function<void()> work, HANDLE quit) {
    if (OnGuiThread()) {
        work();
        return TRUE;
    }
    auto call = std::make_shared<PendingCall>();
    if (call->done == nullptr)
        return FALSE;
    call->owner = this;
    call->work = std::move(work);
    {
        std::lock_guard<std::mutex> lock(g_lock);
        g_calls.push_back(call);
        QMetaObject::invokeMethod(
            m_receiver.get(), [] { RunPendingCalls(); }, Qt::QueuedConnection);
    }

    const HANDLE handles[2] = {call->done, quit};
    const DWORD count = quit != nullptr ? 2 : 1;
    const DWORD result = WaitForMultipleObjects(count, handles, FALSE, INFINITE);
    if (result == WAIT_OBJECT_0) {
        if (call->error)
            std::rethrow_exception(call->error);
        return TRUE;
    }
    // Quit (or a failed wait): a call still queued is dropped; one already running on the GUI thread
    // is not waited for, since the GUI thread may be about to join this worker.
    int expected = kQueued;
    call->state.compare_exchange_strong(expected, kDropped);
    return FALSE;
}
