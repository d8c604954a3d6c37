// The two states of a play thread's state machine, "Ready" and "Play". Entering "Play" starts the
// owner's playback, entering "Ready" stops it; events the state's table does not hold (rate, seek
// or tick, notify) are handled the same way in both.
#pragma once

#include <string>

#include "vomLib/Utility/EventHandler.h"

class CPlayThread;

class CPlayState : public CEventHandlerBase {
public:
    enum Kind { Ready, Play };

    CPlayState(CPlayThread* thread, const char* threadName, Kind kind);
    CPlayState(const CPlayState&) = delete;
    CPlayState& operator=(const CPlayState&) = delete;

    // param is the PlayEvent being dispatched.
    void OnEvent(void* param) override;
    void OnUnknownEvent(int event, void* param) override;

    Kind GetKind() const { return m_kind; }
    const char* StateName() const { return m_kind == Play ? "Play" : "Ready"; }

private:
    CHandleArray m_table;
    CPlayThread* m_thread;
    std::string m_threadName;
    Kind m_kind;
};
