// A play thread: waits on its event queue and its quit event, feeds queued events through the two
// states "Ready" and "Play", and while playing turns each frame interval into a tick that moves the
// document one step on. What it does to the document it hands to the GUI thread and waits for.
//
// The owner builds it (suspended), calls StartThread (or Resume then WaitStarted), posts events from
// the GUI thread, and destroys it on the GUI thread: the destructor signals quit and joins, and quit
// ends any wait of the thread, including a wait for the GUI thread.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "KivIc/Play/GuiHandOff.h"
#include "KivIc/Play/PlayEvent.h"
#include "KivIc/Play/PlayEventQueue.h"
#include "KivIc/Play/PlayOwner.h"
#include "KivIc/Play/PlayState.h"
#include "vomLib/Utility/MyThread.h"
#include "vomLib/Utility/WaitObjects.h"
#include "vomLib/Utility/vomEvent.h"
#include "vomLib/Utility/vomException.h"

class CPlayThread : public MyThread {
public:
    // Every sender posts at this priority.
    static constexpr int kDefaultPriority = 5;

    // Built on the GUI thread, suspended. document may be null (the main frame's thread).
    CPlayThread(const char* name, IPlayDocument* document);
    ~CPlayThread() override;

    // Resumes the thread and waits until it runs.
    void StartThread();
    // Starts the suspended thread (use this rather than ResumeThread on the handle).
    DWORD Resume();

    // Any thread.
    void PostEvent(const PlayEvent& event, int priority = kDefaultPriority, BOOL signal = TRUE,
                   BOOL urgent = FALSE);
    BOOL FindEvent(PlayEvent* event, int* priority) { return m_queue.FindEvent(event, priority); }

    // Signals the quit event.
    virtual void Quit();
    // Waits without time-out until the thread runs.
    virtual void WaitStarted();
    // An owner operation failed; the thread goes on. Does nothing here.
    virtual void OnError(const vomException& error);
    // The next position; sets stop when playback ends there.
    virtual PlayEvent OnTick(int& stop);
    // Entering "Play": the interval, then the playing flag.
    virtual void Start();
    // Entering "Ready": no more ticks, the playing flag cleared.
    virtual void Stop();
    virtual void CalcInterval();
    // Moves the document to the event's frame (value2) and redraws its view.
    virtual void SetPosition(const PlayEvent& event);
    virtual void Notify();

    const char* Name() const { return m_name.c_str(); }
    IPlayDocument* Document() const { return m_document; }
    // The frame interval in milliseconds of the last start.
    DWORD Interval() const { return m_interval.load(); }
    // TRUE while the state machine is in "Play".
    BOOL IsInPlayState() const { return m_inPlay.load() ? TRUE : FALSE; }

    // Runs an owner operation, turning any exception into a call of OnError; FALSE when it failed.
    BOOL RunGuarded(const std::function<void()>& operation);

protected:
    // Derived classes whose operations the thread calls stop it first in their own destructor.
    void Shutdown();
    // Runs work on the GUI thread and waits for it; FALSE (and the thread ends) when quit came first.
    BOOL CallOnGui(std::function<void()> work);
    // Sets the interval from a rate word and starts timing from now.
    void SetIntervalFromRate(PlaySpeedWord rate);
    // No more ticks until the next start.
    void StopTicks() { m_timeout = INFINITE; }

private:
    class Loop : public MyRunnable {
    public:
        explicit Loop(CPlayThread* thread) : m_thread(thread) {}
        unsigned Run() override;

    private:
        CPlayThread* m_thread;
    };
    friend class Loop;

    unsigned Run();
    DWORD WaitTime() const;
    void DispatchQueued();
    void DispatchTick();
    void Dispatch(const PlayEvent& event);

    Loop m_loop{this};
    std::string m_name;
    CPlayEventQueue m_queue;
    vomEvent m_quitEvent;
    vomEvent m_startedEvent;
    CWaitObjects m_waits;
    std::atomic<bool> m_quit{false};
    DWORD m_timeout = INFINITE; // INFINITE in "Ready", the interval in "Play"
    std::atomic<DWORD> m_interval{0};
    ULONGLONG m_deadline = 0; // when the next tick is due, in GetTickCount64 time
    CPlayState m_ready;
    CPlayState m_play;
    CEventHandlerBase* m_state = nullptr;
    std::atomic<bool> m_inPlay{false};
    IPlayDocument* m_document;
    CGuiHandOff m_gui;
    bool m_resumed = false;
};
