// The rate word's interval and the event queue's order.
#include <gtest/gtest.h>

#include "KivIc/Play/PlayEvent.h"
#include "KivIc/Play/PlayEventQueue.h"
#include "platform/win32/sync.h"

TEST(PlayInterval, FromRateWord) {
    EXPECT_EQ(PlayIntervalFromRate(0x60001), 166u);
    EXPECT_EQ(PlayIntervalFromRate(0xC0001), 83u);
    EXPECT_EQ(PlayIntervalFromRate(MakePlaySpeedWord(24)), 41u);
    EXPECT_EQ(MakePlaySpeedWord(24), 0x180001u);
    // Two frames per step at 10 per second.
    EXPECT_EQ(PlayIntervalFromRate(0xA0002), 200u);
}

TEST(PlayInterval, ZeroRateIsTheSlowestRate) {
    EXPECT_EQ(PlayIntervalFromRate(0x00001), 1000u);
    EXPECT_EQ(PlayIntervalFromRate(0), 0u);
}

TEST(PlayEventQueue, PriorityThenArrival) {
    CPlayEventQueue queue("Player");
    queue.Post(PlayEvent("a", 1), 5, FALSE, FALSE);
    queue.Post(PlayEvent("b", 2), 3, FALSE, FALSE);
    queue.Post(PlayEvent("c", 3), 5, FALSE, FALSE);
    queue.Post(PlayEvent("d", 4), 5, FALSE, TRUE); // urgent: priority 4
    queue.Post(PlayEvent("e", 5), 3, FALSE, FALSE);
    EXPECT_EQ(queue.Count(), 5);

    std::vector<int> order;
    PlayEvent event;
    while (queue.Take(&event))
        order.push_back(event.id);
    EXPECT_EQ(order, (std::vector<int>{2, 5, 4, 1, 3}));
    EXPECT_TRUE(queue.IsEmpty());
    EXPECT_FALSE(queue.Take(&event));
}

TEST(PlayEventQueue, SignalsOnlyWhenAsked) {
    CPlayEventQueue queue("Player");
    queue.Post(PlayEvent("x", 1), 5, FALSE, FALSE);
    EXPECT_EQ(WaitForSingleObject(queue.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    queue.Post(PlayEvent("x", 2), 5, TRUE, FALSE);
    EXPECT_EQ(WaitForSingleObject(queue.Handle(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    // Auto-reset: one wake per signal.
    EXPECT_EQ(WaitForSingleObject(queue.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(PlayEventQueue, FindEventTakesTheFirstOfTheLowestPriority) {
    CPlayEventQueue queue("Player");
    PlayEvent found;
    int priority = -1;
    EXPECT_FALSE(queue.FindEvent(&found, &priority));
    queue.Post(PlayEvent("late", 1), 12, FALSE, FALSE);
    EXPECT_FALSE(queue.FindEvent(&found, &priority));
    for (int i = 0; i < 4; ++i)
        queue.Post(PlayEvent("seven", 10 + i), 7, FALSE, FALSE);
    queue.Post(PlayEvent("eight", 20), 8, FALSE, FALSE);
    ASSERT_TRUE(queue.FindEvent(&found, &priority));
    EXPECT_EQ(priority, 7);
    EXPECT_EQ(found.id, 10);
    EXPECT_EQ(queue.Count(), 6); // found, not taken
}

TEST(PlayEventQueue, SeekTimeTravelsByValue) {
    CPlayEventQueue queue("SyncPlayer");
    double time = 1.25;
    queue.Post(PlayEvent("MainFrame", EVT_TICK, 0, 0, time), 5, TRUE, FALSE);
    time = 9.0; // the sender's field changes before the thread takes the event
    PlayEvent event;
    ASSERT_TRUE(queue.Take(&event));
    EXPECT_DOUBLE_EQ(event.time, 1.25);
    EXPECT_STREQ(event.source, "MainFrame");
}
