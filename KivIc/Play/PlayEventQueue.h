// The play thread's event queue: ordered by priority (lowest first), first in first out among equal
// priorities, with an auto-reset event that is signalled when something is posted. Any thread may
// post; the play thread takes.
#pragma once

#include <map>
#include <string>

#include "KivIc/Play/PlayEvent.h"
#include "vomLib/Utility/CriticalSectionWrapper.h"
#include "vomLib/Utility/vomEvent.h"

class CPlayEventQueue {
public:
    explicit CPlayEventQueue(const char* owner);
    CPlayEventQueue(const CPlayEventQueue&) = delete;
    CPlayEventQueue& operator=(const CPlayEventQueue&) = delete;

    // Inserts a copy at priority (priority - 1 when urgent) and signals the queue event when asked.
    void Post(const PlayEvent& event, int priority, BOOL signal, BOOL urgent);
    // Copies and removes the first event; FALSE when the queue is empty.
    BOOL Take(PlayEvent* event);
    BOOL IsEmpty();
    int Count();
    // A copy of the first event queued at the smallest priority from 0 to 9 that has one, with that
    // priority; FALSE when none is queued in that range.
    BOOL FindEvent(PlayEvent* event, int* priority);

    HANDLE Handle() const { return m_signal.Handle(); }
    const std::string& Owner() const { return m_owner; }

private:
    vomEvent m_signal;
    std::multimap<int, PlayEvent> m_events;
    std::string m_owner;
    CCriticalSectionWrapper m_lock{TRUE};
};
