// Sending and posting by handle, and the rule for threads other than the GUI thread: they never touch
// a window themselves, they hand the message over and wait for it or for their quit event.
#include <atomic>
#include <memory>

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include "platform/afx/wnd/wnd.h"
#include "platform/win32/sync.h"

namespace {

// One handed-over message: the worker waits on done; abandoned tells the GUI thread to drop it.
struct CrossCall {
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> abandoned{false};
    std::atomic<bool> started{false};
    LRESULT result = 0;
    bool delivered = false;
    ~CrossCall() { CloseHandle(done); }
};

LRESULT Deliver(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, bool* delivered) {
    CWnd* wnd = CWnd::FromHandle(hWnd);
    if (wnd == nullptr) {
        *delivered = false;
        return 0;
    }
    *delivered = true;
    return wnd->WindowProc(message, wParam, lParam);
}

} // namespace

LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (AfxIsGuiThread()) {
        bool delivered = false;
        return Deliver(hWnd, message, wParam, lParam, &delivered);
    }
    LRESULT result = 0;
    AfxSendMessageFromWorker(hWnd, message, wParam, lParam, nullptr, &result);
    return result;
}

BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || CWnd::FromHandle(hWnd) == nullptr)
        return FALSE;
    QMetaObject::invokeMethod(
        app,
        [hWnd, message, wParam, lParam]() {
            bool delivered = false;
            Deliver(hWnd, message, wParam, lParam, &delivered);
        },
        Qt::QueuedConnection);
    return TRUE;
}

BOOL AfxSendMessageFromWorker(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, HANDLE hQuit,
                              LRESULT* pResult) {
    QCoreApplication* app = QCoreApplication::instance();
    if (AfxIsGuiThread() || app == nullptr) {
        bool delivered = false;
        LRESULT r = Deliver(hWnd, message, wParam, lParam, &delivered);
        if (pResult != nullptr)
            *pResult = r;
        return delivered ? TRUE : FALSE;
    }
    if (CWnd::FromHandle(hWnd) == nullptr)
        return FALSE;
    auto call = std::make_shared<CrossCall>();
    QMetaObject::invokeMethod(
        app,
        [call, hWnd, message, wParam, lParam]() {
            if (!call->abandoned.load()) {
                call->started = true;
                call->result = Deliver(hWnd, message, wParam, lParam, &call->delivered);
            }
            SetEvent(call->done);
        },
        Qt::QueuedConnection);
    HANDLE handles[2] = {call->done, hQuit};
    const DWORD n = hQuit != nullptr ? 2 : 1;
    const DWORD w = WaitForMultipleObjects(n, handles, FALSE, INFINITE);
    if (w == WAIT_OBJECT_0) {
        if (pResult != nullptr)
            *pResult = call->result;
        return call->delivered ? TRUE : FALSE;
    }
    call->abandoned = true;
    return FALSE;
}

void AfxPumpMessages() {
    if (QCoreApplication::instance() == nullptr)
        return;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
