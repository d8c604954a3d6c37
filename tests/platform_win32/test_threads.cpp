#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#include "platform/win32/win32.h"

namespace {

struct Work {
    std::atomic<bool> ran{false};
    HANDLE release = nullptr; // the thread waits for it when set
    unsigned exitCode = 0;
    DWORD seenId = 0;
};

unsigned RunWork(void* argument) {
    auto* work = static_cast<Work*>(argument);
    work->ran = true;
    work->seenId = GetCurrentThreadId();
    if (work->release) {
        WaitForSingleObject(work->release, INFINITE);
    }
    return work->exitCode;
}

DWORD RunPlain(LPVOID argument) {
    return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(argument));
}

} // namespace

TEST(Threads, SuspendedThreadWaitsForResume) {
    Work work;
    work.exitCode = 42;
    unsigned id = 0;
    const std::uintptr_t raw = _beginthreadex(nullptr, 0, RunWork, &work, CREATE_SUSPENDED, &id);
    ASSERT_NE(raw, 0u);
    HANDLE thread = reinterpret_cast<HANDLE>(raw);
    EXPECT_NE(id, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(work.ran);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);

    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(work.ran);
    EXPECT_EQ(work.seenId, id);
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    // An ended thread stays signalled for every later wait.
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    EXPECT_EQ(ResumeThread(thread), 0u);
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(Threads, ExitCodeWhileRunningThenAfter) {
    Work work;
    work.release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    work.exitCode = 7;
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RunWork, &work, 0, nullptr));
    ASSERT_NE(thread, nullptr);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, STILL_ACTIVE);
    // A thread handle takes part in a multi-wait like an event.
    HANDLE both[2] = {thread, work.release};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 20), WAIT_TIMEOUT);
    SetEvent(work.release);
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 5000), WAIT_OBJECT_0);
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 7u);
    CloseHandle(thread);
    CloseHandle(work.release);
}

TEST(Threads, CreateThreadAndClosedHandleKeepsRunning) {
    DWORD id = 0;
    HANDLE thread =
        CreateThread(nullptr, 64 * 1024, RunPlain, reinterpret_cast<LPVOID>(std::uintptr_t{9}), 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 9u);
    CloseHandle(thread);

    // Closing the handle first does not stop the thread; it still does its work.
    static Work work; // outlives the thread, whose handle is gone
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    work.release = done;
    HANDLE early = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RunWork, &work, 0, nullptr));
    CloseHandle(early);
    SetEvent(done);
    for (int i = 0; i < 500 && !work.ran; ++i) {
        Sleep(10);
    }
    EXPECT_TRUE(work.ran);
    CloseHandle(done);
}

TEST(Threads, NullStartRoutineFails) {
    EXPECT_EQ(_beginthreadex(nullptr, 0, nullptr, nullptr, 0, nullptr), 0u);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(ResumeThread(nullptr), static_cast<DWORD>(-1));
}
