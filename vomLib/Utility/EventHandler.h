// Event dispatch for state machines: each state is a CEventHandlerBase whose table maps an event
// number to the next state and an optional callback. Used by one thread at a time.
#pragma once

class CEventHandlerBase;

// Called with the dispatching handler and the dispatch parameter before the move to the next state.
// It may redirect the dispatch by setting the handler's current event to another key.
using EventHandlerCallback = void (*)(CEventHandlerBase* handler, void* param);

struct CHandleEntry {
    int key;                   // event number
    CEventHandlerBase* object; // the state the event leads to
    EventHandlerCallback callback;
};

class CHandleTable {
public:
    virtual ~CHandleTable() = default;
    // Appends an entry and returns its callback.
    virtual EventHandlerCallback Add(int key, CEventHandlerBase* object, EventHandlerCallback callback) = 0;
    // The first entry with the key, or nullptr. The pointer is valid until the table changes.
    virtual CHandleEntry* Find(int key) = 0;
    // Removes the first entry with the key and returns its object (nullptr when none matched).
    virtual CEventHandlerBase* Remove(int key) = 0;
};

// Handler table in an array that grows by four entries at a time and keeps insertion order.
class CHandleArray : public CHandleTable {
public:
    CHandleArray() = default;
    ~CHandleArray() override;
    CHandleArray(const CHandleArray&) = delete;
    CHandleArray& operator=(const CHandleArray&) = delete;

    EventHandlerCallback Add(int key, CEventHandlerBase* object, EventHandlerCallback callback) override;
    CHandleEntry* Find(int key) override;
    CEventHandlerBase* Remove(int key) override;

    int Count() const { return m_count; }
    int Capacity() const { return m_capacity; }
    const CHandleEntry& At(int index) const { return m_entries[index]; }

private:
    CHandleEntry* m_entries = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};

class CEventHandlerBase {
public:
    // The table belongs to whoever created the handler; the handler never deletes it.
    explicit CEventHandlerBase(CHandleTable* table) : m_table(table) {}
    virtual ~CEventHandlerBase() = default;
    CEventHandlerBase(const CEventHandlerBase&) = delete;
    CEventHandlerBase& operator=(const CEventHandlerBase&) = delete;

    // Called on the handler that an event leads to.
    virtual void OnEvent(void* param);
    // Called on the handler that receives an event its table holds, before the callback.
    virtual void OnBeforeDispatch(void* param);
    // The table key for an event; by default the event number itself.
    virtual int MapEvent(int event, void* param);
    // Called when the table holds no entry for the event; the current handler stays.
    virtual void OnUnknownEvent(int event, void* param);

    // Maps key to object (replacing the first entry with that key) and returns the previous object.
    CEventHandlerBase* SetHandler(int key, CEventHandlerBase* object,
                                  EventHandlerCallback callback = nullptr);
    // Feeds an event through the table and returns the handler that is current afterwards.
    CEventHandlerBase* Dispatch(int event, void* param);

    int CurrentEvent() const { return m_currentEvent; }
    // A callback redirects the running dispatch by changing the current event.
    void SetCurrentEvent(int event) { m_currentEvent = event; }
    CHandleTable* Table() const { return m_table; }

private:
    CHandleTable* m_table;
    int m_currentEvent = 0;
};
