#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/win32/files.h"
#include "vomLib/Utility/CriticalSectionWrapper.h"
#include "vomLib/Utility/WaitObjects.h"
#include "vomLib/Utility/vomEvent.h"

TEST(CCriticalSectionWrapper, ReadyAfterConstructionAndRecursive) {
    CCriticalSectionWrapper lock(FALSE); // ready even when not asked to initialise
    EXPECT_TRUE(lock.IsInit());
    EnterCriticalSection(&lock.m_cs);
    EnterCriticalSection(&lock.m_cs); // the owner may enter again
    std::atomic<bool> otherGotIt{true};
    std::thread([&] { otherGotIt = TryEnterCriticalSection(&lock.m_cs) != FALSE; }).join();
    EXPECT_FALSE(otherGotIt);
    LeaveCriticalSection(&lock.m_cs);
    std::thread([&] { otherGotIt = TryEnterCriticalSection(&lock.m_cs) != FALSE; }).join();
    EXPECT_FALSE(otherGotIt); // still held once
    LeaveCriticalSection(&lock.m_cs);
    std::thread([&] {
        otherGotIt = TryEnterCriticalSection(&lock.m_cs) != FALSE;
        if (otherGotIt)
            LeaveCriticalSection(&lock.m_cs);
    }).join();
    EXPECT_TRUE(otherGotIt);
}

TEST(CCriticalSectionWrapper, InitIsIdempotentAndDeleteClearsTheFlag) {
    CCriticalSectionWrapper lock;
    lock.Init(); // no second initialisation of a live section
    EXPECT_TRUE(lock.IsInit());
    lock.Delete();
    EXPECT_FALSE(lock.IsInit());
    lock.Delete(); // harmless
    lock.Init();   // usable again
    EXPECT_TRUE(lock.IsInit());
    CCriticalSectionLock held(lock);
}

TEST(vomEvent, AutoResetReleasesOneWait) {
    vomEvent event;
    EXPECT_EQ(event.Wait(0), WAIT_TIMEOUT); // starts non-signalled
    event.Set();
    EXPECT_EQ(event.Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(event.Wait(0), WAIT_TIMEOUT); // reset by the first wait
    vomEvent manual(TRUE, TRUE);
    EXPECT_EQ(manual.Wait(0), WAIT_OBJECT_0);
    EXPECT_EQ(manual.Wait(0), WAIT_OBJECT_0);
    manual.Reset();
    EXPECT_EQ(manual.Wait(0), WAIT_TIMEOUT);
}

TEST(CWaitObjects, SixtyFifthHandleOverflows) {
    CWaitObjects set;
    std::vector<HANDLE> events;
    for (int i = 0; i < MAXIMUM_WAIT_OBJECTS; ++i) {
        events.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        set.Add(events.back());
    }
    EXPECT_EQ(set.Count(), 64);
    EXPECT_THROW(set.Add(events.front()), CWaitObjects::overflow);
    EXPECT_EQ(set.Count(), 64);
    EXPECT_EQ(set.Wait(0), WAIT_TIMEOUT);
    SetEvent(events[63]);
    SetEvent(events[10]);
    EXPECT_EQ(set.Wait(0), WAIT_OBJECT_0 + 10); // the lowest signalled index wins
    EXPECT_EQ(set.Wait(0), WAIT_OBJECT_0 + 63);
    EXPECT_EQ(set.Wait(0), WAIT_TIMEOUT);
    for (HANDLE h : events)
        CloseHandle(h);
}
