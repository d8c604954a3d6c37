#include "KivIc/Play/PlayThread.h"

#include <cstdio>

#include "platform/win32/system.h"

namespace {

const char* const kHandlerSource = "Handler";

} // namespace

CPlayThread::CPlayThread(const char* name, IPlayDocument* document)
    : MyThread(&m_loop, reinterpret_cast<std::uintptr_t>(name), CREATE_SUSPENDED),
      m_name(name != nullptr ? name : ""), m_queue(name), m_ready(this, name, CPlayState::Ready),
      m_play(this, name, CPlayState::Play), m_document(document) {
    m_waits.Add(m_queue.Handle());
    m_waits.Add(m_quitEvent.Handle());
    m_ready.SetHandler(EVT_PLAY, &m_play);
    m_play.SetHandler(EVT_STOP, &m_ready);
}

CPlayThread::~CPlayThread() {
    Shutdown();
}

void CPlayThread::Shutdown() {
    Quit();
    // A thread that was never resumed is let go by MyThread without running its loop; joining it
    // here would wait for ever.
    if (m_resumed)
        Join(INFINITE);
}

DWORD CPlayThread::Resume() {
    m_resumed = true;
    return MyThread::Resume();
}

void CPlayThread::StartThread() {
    Resume();
    WaitStarted();
}

void CPlayThread::PostEvent(const PlayEvent& event, int priority, BOOL signal, BOOL urgent) {
    m_queue.Post(event, priority, signal, urgent);
}

void CPlayThread::Quit() {
    m_quitEvent.Set();
}

void CPlayThread::WaitStarted() {
    m_startedEvent.Wait(INFINITE);
}

void CPlayThread::OnError(const vomException& /*error*/) {}

void CPlayThread::Notify() {}

PlayEvent CPlayThread::OnTick(int& stop) {
    stop = 0;
    if (m_document == nullptr) {
        stop = 1;
        return PlayEvent(kHandlerSource, EVT_TICK);
    }
    const long step = m_document->GetPlayStep();
    long next = m_document->GetCurrentFrame() + step;
    if (step > 0) {
        if (next > m_document->GetPlayEnd()) {
            if (m_document->IsLoopPlay())
                next = m_document->GetPlayBegin();
            else
                stop = 1;
        }
    } else if (next < m_document->GetPlayBegin()) {
        if (m_document->IsLoopPlay())
            next = m_document->GetPlayEnd();
        else
            stop = 1;
    }
    // Past the end the document keeps the frame to its play range.
    return PlayEvent(kHandlerSource, EVT_TICK, 0, static_cast<int>(next));
}

void CPlayThread::Start() {
    CalcInterval();
    if (IPlayDocument* document = m_document)
        CallOnGui([document] { document->SetPlaying(TRUE); });
}

void CPlayThread::Stop() {
    StopTicks();
    if (IPlayDocument* document = m_document)
        CallOnGui([document] { document->SetPlaying(FALSE); });
}

void CPlayThread::CalcInterval() {
    if (m_document != nullptr)
        SetIntervalFromRate(m_document->GetPlaySpeedWord());
}

void CPlayThread::SetPosition(const PlayEvent& event) {
    IPlayDocument* document = m_document;
    if (document == nullptr)
        return;
    const long frame = event.value2;
    CallOnGui([document, frame] {
        document->SetCurrentFrame(frame, FALSE);
        document->SendFrameChanged();
    });
}

void CPlayThread::SetIntervalFromRate(PlaySpeedWord rate) {
    const DWORD interval = PlayIntervalFromRate(rate);
    m_interval = interval;
    m_timeout = interval;
    m_deadline = GetTickCount64() + interval;
}

BOOL CPlayThread::CallOnGui(std::function<void()> work) {
    if (m_quit.load())
        return FALSE;
    if (m_gui.Call(std::move(work), m_quitEvent.Handle()))
        return TRUE;
    // The quit event was taken by that wait: the loop must still end.
    m_quit = true;
    return FALSE;
}

BOOL CPlayThread::RunGuarded(const std::function<void()>& operation) {
    try {
        operation();
        return TRUE;
    } catch (const vomException& error) {
        OnError(error);
    } catch (...) {
        OnError(vomException(__FILE__, __LINE__, 0, GetLastError(), "OS Error occured."));
    }
    return FALSE;
}

unsigned CPlayThread::Loop::Run() {
    return m_thread->Run();
}

unsigned CPlayThread::Run() {
    OutputDebugStringA((m_name + " start !\n").c_str());
    m_startedEvent.Set();
    m_state = &m_ready;
    while (!m_quit.load()) {
        const DWORD result = m_waits.Count() == 0 ? WAIT_FAILED : m_waits.Wait(WaitTime());
        if (result == WAIT_OBJECT_0)
            DispatchQueued();
        else if (result == WAIT_OBJECT_0 + 1)
            m_quit = true;
        else if (result == WAIT_TIMEOUT)
            DispatchTick();
        else
            OutputDebugStringA("Invalid Event occured.\n");
    }
    OutputDebugStringA((m_name + " Done !\n").c_str());
    return 0;
}

// The wait runs to the deadline of the next tick, so events that arrive while playing (a dragged
// slider) do not push the ticks back; a tick that is already late is due at once.
DWORD CPlayThread::WaitTime() const {
    if (m_timeout == INFINITE)
        return INFINITE;
    const ULONGLONG now = GetTickCount64();
    return now >= m_deadline ? 0 : static_cast<DWORD>(m_deadline - now);
}

void CPlayThread::DispatchQueued() {
    PlayEvent event;
    while (!m_quit.load() && m_queue.Take(&event)) {
        char text[512];
        std::snprintf(text, sizeof text, "    event:: from %s => %s:[%d]\n",
                      event.source != nullptr ? event.source : "(NULL)", Name(), event.id);
        OutputDebugStringA(text);
        Dispatch(event);
    }
}

void CPlayThread::DispatchTick() {
    const ULONGLONG started = GetTickCount64();
    int stop = 0;
    PlayEvent tick(kHandlerSource, EVT_TICK);
    // A failed step has no position: sending the empty tick would move the document to frame 0 (or
    // time 0.0). Nothing is sent, and the next tick tries again.
    if (RunGuarded([&] { tick = OnTick(stop); })) {
        Dispatch(tick);
        if (stop) {
            Dispatch(PlayEvent(kHandlerSource, EVT_STOP));
            return;
        }
    }
    // The next tick is due one interval after this one began, however long this one took; a late
    // tick waits 0 and no missed ticks are made up.
    m_deadline = started + m_interval.load();
}

void CPlayThread::Dispatch(const PlayEvent& event) {
    PlayEvent copy = event;
    m_state = m_state->Dispatch(copy.id, &copy);
    m_inPlay = m_state == &m_play;
}
