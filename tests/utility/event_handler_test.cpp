#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vomLib/Utility/EventHandler.h"

namespace {

// A state that records what the dispatcher calls on it.
class RecordingState : public CEventHandlerBase {
public:
    RecordingState(CHandleTable* table, std::string name, std::vector<std::string>* log)
        : CEventHandlerBase(table), m_name(std::move(name)), m_log(log) {}
    void OnEvent(void*) override { m_log->push_back(m_name + ".OnEvent"); }
    void OnBeforeDispatch(void*) override { m_log->push_back(m_name + ".OnBeforeDispatch"); }
    void OnUnknownEvent(int event, void*) override {
        m_log->push_back(m_name + ".OnUnknownEvent(" + std::to_string(event) + ")");
    }

private:
    std::string m_name;
    std::vector<std::string>* m_log;
};

CEventHandlerBase* const kA = reinterpret_cast<CEventHandlerBase*>(0x10);
CEventHandlerBase* const kB = reinterpret_cast<CEventHandlerBase*>(0x20);
CEventHandlerBase* const kC = reinterpret_cast<CEventHandlerBase*>(0x30);

void NoOp(CEventHandlerBase*, void*) {}

} // namespace

TEST(CHandleArray, GrowsByFourAndKeepsOrder) {
    CHandleArray table;
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.Capacity(), 0);
    std::vector<int> capacities;
    for (int key = 0; key < 13; ++key) {
        EXPECT_EQ(table.Add(key, nullptr, key % 2 ? &NoOp : nullptr), key % 2 ? &NoOp : nullptr);
        capacities.push_back(table.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12, 16}));
    for (int i = 0; i < table.Count(); ++i)
        EXPECT_EQ(table.At(i).key, i);
}

TEST(CHandleArray, DuplicateKeysActOnTheEarlierEntry) {
    CHandleArray table;
    table.Add(1, kA, nullptr);
    table.Add(2, kB, nullptr);
    table.Add(1, kC, nullptr);
    ASSERT_NE(table.Find(1), nullptr);
    EXPECT_EQ(table.Find(1)->object, kA);
    EXPECT_EQ(table.Find(9), nullptr);
    EXPECT_EQ(table.Remove(1), kA);
    ASSERT_EQ(table.Count(), 2);
    EXPECT_EQ(table.At(0).key, 2); // later entries moved down in order
    EXPECT_EQ(table.At(1).object, kC);
    EXPECT_EQ(table.Remove(1), kC);
    EXPECT_EQ(table.Remove(1), nullptr);
    EXPECT_EQ(table.Count(), 1);
}

TEST(CEventHandlerBase, SetHandlerReplacesOnlyTheFirstMatchingEntry) {
    CHandleArray table;
    CEventHandlerBase state(&table);
    table.Add(5, kA, nullptr);
    table.Add(5, kB, nullptr);
    EXPECT_EQ(state.SetHandler(5, kC, &NoOp), kA);
    ASSERT_EQ(table.Count(), 2);
    EXPECT_EQ(table.At(0).object, kB); // now the first with key 5
    EXPECT_EQ(table.At(1).object, kC);
    EXPECT_EQ(table.At(1).callback, &NoOp);
    EXPECT_EQ(state.SetHandler(6, kA), nullptr);
    EXPECT_EQ(table.Count(), 3);
}

TEST(CEventHandlerBase, UnknownEventCallsOnlyOnUnknownEvent) {
    std::vector<std::string> log;
    CHandleArray readyTable;
    CHandleArray playTable;
    RecordingState ready(&readyTable, "ready", &log);
    RecordingState play(&playTable, "play", &log);
    ready.SetHandler(1, &play);
    EXPECT_EQ(ready.Dispatch(7, nullptr), &ready);
    EXPECT_EQ(log, (std::vector<std::string>{"ready.OnUnknownEvent(7)"}));
    EXPECT_EQ(ready.CurrentEvent(), 7);
}

TEST(CEventHandlerBase, KnownEventMovesToTheMappedState) {
    std::vector<std::string> log;
    CHandleArray readyTable;
    CHandleArray playTable;
    RecordingState ready(&readyTable, "ready", &log);
    RecordingState play(&playTable, "play", &log);
    ready.SetHandler(1, &play, [](CEventHandlerBase*, void* param) { *static_cast<int*>(param) += 1; });
    play.SetHandler(2, &ready);
    int param = 0;
    CEventHandlerBase* state = ready.Dispatch(1, &param);
    EXPECT_EQ(state, &play);
    EXPECT_EQ(param, 1);
    state = state->Dispatch(2, &param);
    EXPECT_EQ(state, &ready);
    EXPECT_EQ(log, (std::vector<std::string>{"ready.OnBeforeDispatch", "play.OnEvent",
                                             "play.OnBeforeDispatch", "ready.OnEvent"}));
}

TEST(CEventHandlerBase, CallbackRedirectsToAnotherKey) {
    std::vector<std::string> log;
    CHandleArray table;
    CHandleArray otherTable;
    RecordingState start(&table, "start", &log);
    RecordingState left(&otherTable, "left", &log);
    RecordingState right(&otherTable, "right", &log);
    start.SetHandler(1, &left, [](CEventHandlerBase* handler, void*) { handler->SetCurrentEvent(2); });
    start.SetHandler(2, &right);
    EXPECT_EQ(start.Dispatch(1, nullptr), &right);
    EXPECT_EQ(log, (std::vector<std::string>{"start.OnBeforeDispatch", "right.OnEvent"}));

    // A redirect to a key the table does not hold keeps the original entry.
    log.clear();
    start.SetHandler(3, &left, [](CEventHandlerBase* handler, void*) { handler->SetCurrentEvent(99); });
    EXPECT_EQ(start.Dispatch(3, nullptr), &left);
    EXPECT_EQ(log, (std::vector<std::string>{"start.OnBeforeDispatch", "left.OnEvent"}));
}

TEST(CEventHandlerBase, CallbackMayGrowTheTableDuringDispatch) {
    std::vector<std::string> log;
    CHandleArray table;
    CHandleArray targetTable;
    RecordingState start(&table, "start", &log);
    RecordingState target(&targetTable, "target", &log);
    start.SetHandler(1, &target, [](CEventHandlerBase* handler, void*) {
        // Forces the array to be reallocated while its entry is being dispatched.
        for (int key = 100; key < 120; ++key)
            handler->SetHandler(key, nullptr);
    });
    EXPECT_EQ(start.Dispatch(1, nullptr), &target);
    EXPECT_EQ(log.back(), "target.OnEvent");
    EXPECT_EQ(table.Count(), 21);
}

TEST(CEventHandlerBase, MapEventChoosesTheKey) {
    class Mapped : public CEventHandlerBase {
    public:
        using CEventHandlerBase::CEventHandlerBase;
        int MapEvent(int event, void*) override { return event / 10; }
    };
    CHandleArray table;
    CHandleArray targetTable;
    Mapped state(&table);
    CEventHandlerBase target(&targetTable);
    state.SetHandler(4, &target);
    EXPECT_EQ(state.Dispatch(42, nullptr), &target);
    EXPECT_EQ(state.Dispatch(52, nullptr), &state);
}

TEST(CEventHandlerBase, EntryWithoutAStateKeepsTheCurrentOne) {
    CHandleArray table;
    CEventHandlerBase state(&table);
    int calls = 0;
    state.SetHandler(1, nullptr, [](CEventHandlerBase*, void* param) { ++*static_cast<int*>(param); });
    EXPECT_EQ(state.Dispatch(1, &calls), &state);
    EXPECT_EQ(calls, 1);
}
