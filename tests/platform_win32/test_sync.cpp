#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "platform/win32/win32.h"

namespace {

HANDLE AutoEvent(BOOL signalled = FALSE) {
    return CreateEventA(nullptr, FALSE, signalled, nullptr);
}
HANDLE ManualEvent(BOOL signalled = FALSE) {
    return CreateEventA(nullptr, TRUE, signalled, nullptr);
}

bool IsSet(HANDLE event) {
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

} // namespace

TEST(Waits, TimeoutValueAndPolling) {
    EXPECT_EQ(WAIT_TIMEOUT, 258u);
    HANDLE event = AutoEvent();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(WaitForSingleObject(event, 30), WAIT_TIMEOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
    CloseHandle(event);
}

TEST(Waits, AutoResetReleasesOnceManualStaysSet) {
    HANDLE automatic = AutoEvent();
    HANDLE manual = ManualEvent();
    SetEvent(automatic);
    SetEvent(manual);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    ResetEvent(manual);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    CloseHandle(automatic);
    CloseHandle(manual);
}

TEST(Waits, LowestSignalledIndexWinsAndOnlyItIsReset) {
    HANDLE events[4] = {AutoEvent(), AutoEvent(), AutoEvent(), AutoEvent()};
    SetEvent(events[3]);
    SetEvent(events[1]);
    SetEvent(events[2]);
    EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_FALSE(IsSet(events[1]));
    EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 0), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 0), WAIT_OBJECT_0 + 3);
    EXPECT_EQ(WaitForMultipleObjects(4, events, FALSE, 0), WAIT_TIMEOUT);
    for (HANDLE event : events) {
        CloseHandle(event);
    }
}

TEST(Waits, WakesWhenAnotherThreadSignals) {
    HANDLE events[2] = {AutoEvent(), AutoEvent()};
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        SetEvent(events[1]);
    });
    EXPECT_EQ(WaitForMultipleObjects(2, events, FALSE, INFINITE), WAIT_OBJECT_0 + 1);
    setter.join();
    CloseHandle(events[0]);
    CloseHandle(events[1]);
}

TEST(Waits, WaitAllNeedsEveryObject) {
    HANDLE events[2] = {AutoEvent(), ManualEvent()};
    SetEvent(events[0]);
    EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_TIMEOUT);
    SetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 100), WAIT_OBJECT_0);
    EXPECT_FALSE(IsSet(events[0])); // auto reset
    EXPECT_TRUE(IsSet(events[1]));  // manual stays
    CloseHandle(events[0]);
    CloseHandle(events[1]);
}

TEST(Waits, FailedWaitTouchesNothing) {
    HANDLE events[2] = {AutoEvent(TRUE), ManualEvent()};
    EXPECT_EQ(WaitForMultipleObjects(2, events, TRUE, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(IsSet(events[0])); // the half-satisfied wait-all left it signalled
    CloseHandle(events[0]);
    CloseHandle(events[1]);
}

TEST(Waits, CountLimitsAndBadHandles) {
    std::vector<HANDLE> events;
    for (int i = 0; i < MAXIMUM_WAIT_OBJECTS + 1; ++i) {
        events.push_back(ManualEvent());
    }
    SetEvent(events[63]);
    EXPECT_EQ(WaitForMultipleObjects(64, events.data(), FALSE, 0), WAIT_OBJECT_0 + 63);
    EXPECT_EQ(WaitForMultipleObjects(65, events.data(), FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(WaitForMultipleObjects(0, events.data(), FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    for (HANDLE event : events) {
        CloseHandle(event);
    }
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_FAILED); // closed
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(CriticalSection, RecursiveAndExclusive) {
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    EnterCriticalSection(&cs); // the owner may enter again
    std::atomic<bool> otherEntered{false};
    std::thread other([&] {
        EnterCriticalSection(&cs);
        otherEntered = true;
        LeaveCriticalSection(&cs);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(otherEntered);
    LeaveCriticalSection(&cs);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(otherEntered); // still held once
    LeaveCriticalSection(&cs);
    other.join();
    EXPECT_TRUE(otherEntered);
    EXPECT_TRUE(TryEnterCriticalSection(&cs));
    LeaveCriticalSection(&cs);
    DeleteCriticalSection(&cs);
    EXPECT_EQ(cs.impl, nullptr);
}

TEST(CriticalSection, TryEnterFromAnotherThreadFails) {
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    BOOL entered = TRUE;
    std::thread([&] { entered = TryEnterCriticalSection(&cs); }).join();
    EXPECT_FALSE(entered);
    LeaveCriticalSection(&cs);
    DeleteCriticalSection(&cs);
}

TEST(Interlocked, CountsFromManyThreads) {
    LONG volatile counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                InterlockedIncrement(&counter);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, 40000);
    EXPECT_EQ(InterlockedDecrement(&counter), 39999);
    EXPECT_EQ(InterlockedExchange(&counter, 5), 39999);
    EXPECT_EQ(InterlockedCompareExchange(&counter, 9, 4), 5); // no match, unchanged
    EXPECT_EQ(InterlockedCompareExchange(&counter, 9, 5), 5);
    EXPECT_EQ(InterlockedExchangeAdd(&counter, 3), 9);
    EXPECT_EQ(counter, 12);
}

TEST(Waits, EachAutoResetSignalReleasesExactlyOneWaiter) {
    HANDLE event = AutoEvent();
    HANDLE quit = ManualEvent();
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            HANDLE handles[2] = {quit, event};
            while (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
                ++released;
            }
        });
    }
    for (int i = 0; i < 50; ++i) {
        SetEvent(event);
        // Wait until a waiter took it, so no two signals merge into one.
        while (released.load() < i + 1) {
            std::this_thread::yield();
        }
    }
    SetEvent(quit);
    for (auto& waiter : waiters) {
        waiter.join();
    }
    EXPECT_EQ(released.load(), 50);
    CloseHandle(event);
    CloseHandle(quit);
}

TEST(Handles, CreateAndCloseFromManyThreads) {
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 500; ++i) {
                HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
                if (WaitForSingleObject(event, 0) != WAIT_OBJECT_0 || !CloseHandle(event)) {
                    ++failures;
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
}

TEST(Events, SameNameOpensTheSameEvent) {
    HANDLE first = CreateEventA(nullptr, TRUE, FALSE, "kivic-test-event");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE second = CreateEventA(nullptr, FALSE, FALSE, "kivic-test-event");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_NE(first, second);
    SetEvent(second);
    EXPECT_TRUE(IsSet(first));
    EXPECT_TRUE(IsSet(first)); // still the manual-reset kind it was created with
    CloseHandle(first);
    CloseHandle(second);
    // Once every handle is closed the name is free again.
    HANDLE fresh = CreateEventA(nullptr, TRUE, FALSE, "kivic-test-event");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_FALSE(IsSet(fresh));
    CloseHandle(fresh);
}
