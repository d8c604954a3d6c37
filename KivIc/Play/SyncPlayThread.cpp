#include "KivIc/Play/SyncPlayThread.h"

CSyncPlayThread::CSyncPlayThread(const char* name, IPlayMainFrame* mainFrame)
    : CPlayThread(name, nullptr), m_mainFrame(mainFrame) {}

CSyncPlayThread::~CSyncPlayThread() {
    // The loop calls this class's operations: it must end before this part is gone.
    Shutdown();
}

PlayEvent CSyncPlayThread::OnTick(int& stop) {
    stop = 0;
    if (m_mainFrame == nullptr) {
        stop = 1;
        return PlayEvent("Handler", EVT_TICK);
    }
    const double step = m_mainFrame->GetSyncStepTime();
    double next = m_mainFrame->GetSyncCurrentTime() + step;
    if (step > 0) {
        if (next > m_mainFrame->GetSyncEndTime()) {
            if (m_mainFrame->IsSyncLoop())
                next = m_mainFrame->GetSyncBeginTime();
            else
                stop = 1;
        }
    } else if (next < m_mainFrame->GetSyncBeginTime()) {
        if (m_mainFrame->IsSyncLoop())
            next = m_mainFrame->GetSyncEndTime();
        else
            stop = 1;
    }
    m_nextTime = next;
    return PlayEvent("Handler", EVT_TICK, 0, 0, next);
}

void CSyncPlayThread::Start() {
    CalcInterval();
    SetAllPlaying(TRUE);
}

void CSyncPlayThread::Stop() {
    StopTicks();
    SetAllPlaying(FALSE);
}

void CSyncPlayThread::CalcInterval() {
    if (m_mainFrame != nullptr)
        SetIntervalFromRate(m_mainFrame->GetSyncPlaySpeedWord());
}

void CSyncPlayThread::SetAllPlaying(BOOL playing) {
    IPlayMainFrame* frame = m_mainFrame;
    if (frame == nullptr)
        return;
    CallOnGui([frame, playing] {
        const int count = frame->GetSyncDocumentCount();
        for (int i = 0; i < count; ++i) {
            if (IPlayDocument* document = frame->GetSyncDocument(i))
                document->SetPlaying(playing);
        }
        frame->SetSyncPlaying(playing);
    });
}

void CSyncPlayThread::SetPosition(const PlayEvent& event) {
    IPlayMainFrame* frame = m_mainFrame;
    if (frame == nullptr)
        return;
    const double seconds = event.time;
    CallOnGui([frame, seconds] {
        const int count = frame->GetSyncDocumentCount();
        for (int i = 0; i < count; ++i) {
            if (IPlayDocument* document = frame->GetSyncDocument(i)) {
                document->SetCurrentTime(seconds, FALSE);
                document->SendFrameChanged();
            }
        }
        frame->SetSyncTime(seconds);
    });
}
