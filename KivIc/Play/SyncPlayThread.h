// The main frame's play thread ("SyncPlayer"): steps a common time in seconds and moves every
// synchronised document to it. Its tick returns an EVT_TICK event whose time is the next time; a
// seek posted by the main frame carries its time the same way.
#pragma once

#include <atomic>

#include "KivIc/Play/PlayThread.h"

class CSyncPlayThread : public CPlayThread {
public:
    CSyncPlayThread(const char* name, IPlayMainFrame* mainFrame);
    ~CSyncPlayThread() override;

    PlayEvent OnTick(int& stop) override;
    void Start() override;
    void Stop() override;
    void CalcInterval() override;
    // Moves every synchronised document to the event's time, then the main frame's own time.
    void SetPosition(const PlayEvent& event) override;

    // The time the last tick computed.
    double NextTime() const { return m_nextTime.load(); }

private:
    void SetAllPlaying(BOOL playing);

    IPlayMainFrame* m_mainFrame;
    std::atomic<double> m_nextTime{0.0};
};
