#include "KivIc/Play/PlayEventQueue.h"

CPlayEventQueue::CPlayEventQueue(const char* owner) : m_owner(owner != nullptr ? owner : "") {}

void CPlayEventQueue::Post(const PlayEvent& event, int priority, BOOL signal, BOOL urgent) {
    CCriticalSectionLock lock(m_lock);
    // A multimap inserts behind the entries of an equal key, which keeps arrival order.
    m_events.emplace(urgent ? priority - 1 : priority, event);
    if (signal)
        m_signal.Set();
}

BOOL CPlayEventQueue::Take(PlayEvent* event) {
    CCriticalSectionLock lock(m_lock);
    if (m_events.empty())
        return FALSE;
    *event = m_events.begin()->second;
    m_events.erase(m_events.begin());
    return TRUE;
}

BOOL CPlayEventQueue::IsEmpty() {
    CCriticalSectionLock lock(m_lock);
    return m_events.empty();
}

int CPlayEventQueue::Count() {
    CCriticalSectionLock lock(m_lock);
    return static_cast<int>(m_events.size());
}

BOOL CPlayEventQueue::FindEvent(PlayEvent* event, int* priority) {
    CCriticalSectionLock lock(m_lock);
    for (int k = 0; k <= 9; ++k) {
        // lower_bound, not find: find may return any of several equal keys.
        const auto found = m_events.lower_bound(k);
        if (found != m_events.end() && found->first == k) {
            if (event != nullptr)
                *event = found->second;
            if (priority != nullptr)
                *priority = k;
            return TRUE;
        }
    }
    return FALSE;
}
