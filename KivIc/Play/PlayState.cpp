#include "KivIc/Play/PlayState.h"

#include "KivIc/Play/PlayThread.h"

CPlayState::CPlayState(CPlayThread* thread, const char* threadName, Kind kind)
    : CEventHandlerBase(&m_table), m_thread(thread), m_threadName(threadName != nullptr ? threadName : ""),
      m_kind(kind) {}

void CPlayState::OnEvent(void* /*param*/) {
    if (m_kind == Play)
        m_thread->RunGuarded([this] { m_thread->Start(); });
    else
        m_thread->RunGuarded([this] { m_thread->Stop(); });
}

void CPlayState::OnUnknownEvent(int event, void* param) {
    const auto* playEvent = static_cast<const PlayEvent*>(param);
    switch (event) {
    case EVT_RATE:
        m_thread->RunGuarded([this] { m_thread->CalcInterval(); });
        break;
    case EVT_TICK:
        if (playEvent != nullptr)
            m_thread->RunGuarded([this, playEvent] { m_thread->SetPosition(*playEvent); });
        break;
    case EVT_NOTIFY:
        m_thread->RunGuarded([this] { m_thread->Notify(); });
        break;
    default:
        // Play while playing, stop while stopped, and unknown numbers change nothing.
        break;
    }
}
