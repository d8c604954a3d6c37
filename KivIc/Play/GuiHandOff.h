// Runs work on the GUI thread for a worker thread and lets the worker wait for it, or for its quit
// event, whichever comes first. The GUI thread never waits for the worker, so a worker that is being
// shut down while its call is still queued can never deadlock the program.
#pragma once

#include <functional>
#include <memory>
#include <thread>

#include "platform/win32/types.h"

class QObject;

class CGuiHandOff {
public:
    // Construct on the GUI thread: queued work runs on the thread that built the object.
    CGuiHandOff();
    // Destroy on the GUI thread; queued work that has not started is dropped.
    ~CGuiHandOff();
    CGuiHandOff(const CGuiHandOff&) = delete;
    CGuiHandOff& operator=(const CGuiHandOff&) = delete;

    // Queues work to the GUI thread and waits until it has run (TRUE) or quit is signalled first
    // (FALSE: the work is dropped unless it had already begun). An exception the work throws is
    // thrown again here; a framework exception (CException*) is shown to the user and deleted on the
    // GUI thread and arrives here as a vomException with its text. Called on the GUI thread itself,
    // the work runs at once. The work must hold its data by value: after a FALSE return the caller
    // may be gone while it still runs.
    BOOL Call(std::function<void()> work, HANDLE quit);

    bool OnGuiThread() const { return std::this_thread::get_id() == m_guiThread; }

private:
    std::unique_ptr<QObject> m_receiver;
    std::thread::id m_guiThread;
};
