#include "vomLib/Utility/EventHandler.h"

#include <algorithm>

namespace {
constexpr int kGrowBy = 4;
}

CHandleArray::~CHandleArray() {
    delete[] m_entries;
}

EventHandlerCallback CHandleArray::Add(int key, CEventHandlerBase* object, EventHandlerCallback callback) {
    if (m_count >= m_capacity) {
        const int capacity = m_capacity + kGrowBy;
        auto* entries = new CHandleEntry[capacity];
        std::copy(m_entries, m_entries + m_count, entries);
        delete[] m_entries;
        m_entries = entries;
        m_capacity = capacity;
    }
    m_entries[m_count++] = CHandleEntry{key, object, callback};
    return callback;
}

CHandleEntry* CHandleArray::Find(int key) {
    for (int i = 0; i < m_count; ++i) {
        if (m_entries[i].key == key)
            return &m_entries[i];
    }
    return nullptr;
}

CEventHandlerBase* CHandleArray::Remove(int key) {
    CHandleEntry* entry = Find(key);
    if (entry == nullptr)
        return nullptr;
    CEventHandlerBase* object = entry->object;
    std::copy(entry + 1, m_entries + m_count, entry);
    --m_count;
    return object;
}

void CEventHandlerBase::OnEvent(void* /*param*/) {}
void CEventHandlerBase::OnBeforeDispatch(void* /*param*/) {}
int CEventHandlerBase::MapEvent(int event, void* /*param*/) {
    return event;
}
void CEventHandlerBase::OnUnknownEvent(int /*event*/, void* /*param*/) {}

CEventHandlerBase* CEventHandlerBase::SetHandler(int key, CEventHandlerBase* object,
                                                 EventHandlerCallback callback) {
    if (m_table == nullptr)
        return nullptr;
    CEventHandlerBase* previous = nullptr;
    if (m_table->Find(key) != nullptr)
        previous = m_table->Remove(key);
    m_table->Add(key, object, callback);
    return previous;
}

CEventHandlerBase* CEventHandlerBase::Dispatch(int event, void* param) {
    m_currentEvent = event;
    const int key = MapEvent(event, param);
    const CHandleEntry* found = m_table != nullptr ? m_table->Find(key) : nullptr;
    if (found == nullptr) {
        OnUnknownEvent(event, param);
        return this;
    }
    // A copy: the callback may change the table, which can move or free its entries.
    CHandleEntry entry = *found;
    OnBeforeDispatch(param);
    if (entry.callback != nullptr) {
        entry.callback(this, param);
        if (m_currentEvent != event) {
            if (const CHandleEntry* redirected = m_table->Find(m_currentEvent))
                entry = *redirected;
        }
    }
    // An entry without a state keeps the current one rather than leaving the machine without any.
    if (entry.object == nullptr)
        return this;
    entry.object->OnEvent(param);
    return entry.object;
}
