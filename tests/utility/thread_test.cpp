#include <gtest/gtest.h>

#include <atomic>

#include "vomLib/Utility/MyThread.h"
#include "vomLib/Utility/vomEvent.h"

namespace {

class Worker : public MyRunnable {
public:
    explicit Worker(unsigned result) : m_result(result) {}
    unsigned Run() override {
        ++runs;
        if (gate != nullptr)
            gate->Wait(INFINITE);
        return m_result;
    }
    std::atomic<int> runs{0};
    vomEvent* gate = nullptr;

private:
    unsigned m_result;
};

} // namespace

TEST(MyThread, ExitCodeIsTheRunResultAfterJoin) {
    Worker worker(42);
    MyThread thread(&worker, 0x1234);
    EXPECT_EQ(thread.UserValue(), 0x1234u);
    EXPECT_EQ(thread.Runnable(), &worker);
    EXPECT_NE(thread.ThreadId(), 0u);
    EXPECT_EQ(thread.Join(), WAIT_OBJECT_0);
    EXPECT_EQ(thread.Handle(), nullptr); // closed by the join
    EXPECT_EQ(thread.ExitCode(), 42u);
    EXPECT_EQ(worker.runs, 1);
    EXPECT_EQ(thread.Join(), WAIT_OBJECT_0); // joining again is harmless
}

TEST(MyThread, JoinTimesOutWhileRunningThenSucceeds) {
    vomEvent gate;
    Worker worker(7);
    worker.gate = &gate;
    MyThread thread(&worker, 0);
    EXPECT_EQ(thread.Join(20), WAIT_TIMEOUT);
    EXPECT_EQ(thread.ExitCode(), STILL_ACTIVE);
    EXPECT_NE(thread.Handle(), nullptr);
    gate.Set();
    EXPECT_EQ(thread.Join(), WAIT_OBJECT_0);
    EXPECT_EQ(thread.ExitCode(), 7u);
}

TEST(MyThread, SuspendedThreadStartsOnResume) {
    Worker worker(3);
    MyThread thread(&worker, 0, CREATE_SUSPENDED);
    EXPECT_EQ(thread.Join(50), WAIT_TIMEOUT);
    EXPECT_EQ(worker.runs, 0);
    thread.Resume();
    EXPECT_EQ(thread.Join(), WAIT_OBJECT_0);
    EXPECT_EQ(worker.runs, 1);
    EXPECT_EQ(thread.ExitCode(), 3u);
}

TEST(MyThread, DestructorJoinsTheThread) {
    class Slow : public MyRunnable {
    public:
        unsigned Run() override {
            Sleep(50);
            finished = true;
            return 0;
        }
        std::atomic<bool> finished{false};
    } slow;
    { MyThread thread(&slow, 0); }
    EXPECT_TRUE(slow.finished); // the destructor waited for Run to return
}

TEST(MyThread, DestroyingANeverResumedThreadDoesNotRunIt) {
    Worker worker(5);
    { MyThread thread(&worker, 0, CREATE_SUSPENDED); }
    EXPECT_EQ(worker.runs, 0);
    {
        MyThread thread(&worker, 0, CREATE_SUSPENDED);
        thread.Resume();
    }
    EXPECT_EQ(worker.runs, 1); // once resumed, the work is done before destruction ends
}
