#include "KivIc/Play/SyncPlayThread.h"

#include <algorithm>
#include <cmath>

#include "KivIc/Play/SyncAxis.h"

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
    // The next time is the neighbouring point of the axis's grid (begin + k x step), never the current
    // time plus the step: sums would drift off the grid and show the frame before the wanted one, and a
    // time the user asked for between two points would skip or repeat one.
    const double step = m_mainFrame->GetSyncStepTime();
    const double begin = m_mainFrame->GetSyncBeginTime();
    const double current = m_mainFrame->GetSyncCurrentTime();
    const double size = std::fabs(step);
    if (!(size > 0.0) || !std::isfinite(size)) {
        stop = 1;
        return PlayEvent("Handler", EVT_TICK, 0, 0, current);
    }
    const double end = m_mainFrame->GetSyncEndTime();
    const long long last = SyncLastGridIndex(begin, end, size);
    long long index = SyncStepIndex(current, begin, size, step > 0 ? 1 : -1);
    if (step > 0) {
        if (index > last) {
            if (m_mainFrame->IsSyncLoop())
                index = 0;
            else
                stop = 1;
        }
    } else if (index < 0) {
        if (m_mainFrame->IsSyncLoop())
            index = last;
        else
            stop = 1;
    }
    double next = begin + static_cast<double>(index) * size;
    // The tick that stops shows the end it stopped at, never the time past it: the recordings keep to
    // their own ranges only, and the bar would show a frame outside the play range.
    if (stop)
        next = std::clamp(next, begin, std::max(begin, end));
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
