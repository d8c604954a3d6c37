// The main frame's play thread: a common time for every synchronised document.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "KivIc/Play/SyncPlayThread.h"
#include "play_fakes.h"

namespace {

// Counts the errors the thread reports (they arrive on the play thread).
class CountingSyncPlayThread : public CSyncPlayThread {
public:
    using CSyncPlayThread::CSyncPlayThread;
    ~CountingSyncPlayThread() override { Shutdown(); }
    void OnError(const vomException& /*error*/) override { ++errors; }
    std::atomic<int> errors{0};
};

class SyncPlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApp();
        frame.documents = {&first, &second};
        first.recordRate = 100;
        second.recordRate = 50;
    }
    std::unique_ptr<CSyncPlayThread> Make() {
        auto thread = std::make_unique<CSyncPlayThread>("SyncPlayer", &frame);
        thread->StartThread();
        return thread;
    }

    FakeMainFrame frame;
    FakeDocument first{0, 1000, 0};
    FakeDocument second{0, 1000, 0};
};

TEST_F(SyncPlayTest, SeekWhileReadyMovesEveryDocument) {
    auto thread = Make();
    double seekTime = 0.5;
    thread->PostEvent(PlayEvent("MainFrame", EVT_TICK, 0, 0, seekTime));
    seekTime = 0.0;
    ASSERT_TRUE(PumpUntil([&] { return frame.timeChanges.load() == 1; }));
    EXPECT_EQ(first.current.load(), 50);
    EXPECT_EQ(second.current.load(), 25);
    EXPECT_EQ(first.redraws.load(), 1);
    EXPECT_EQ(second.redraws.load(), 1);
    EXPECT_DOUBLE_EQ(frame.current.load(), 0.5);
    EXPECT_EQ(frame.shownFrame.load(), 500);
    EXPECT_FALSE(frame.playing.load());
}

TEST_F(SyncPlayTest, PlayToTheEndStopsEverything) {
    frame.begin = 0.0;
    frame.end = 0.25;
    frame.step = 0.1;
    frame.rate = MakePlaySpeedWord(24);
    auto thread = Make();
    thread->PostEvent(PlayEvent("MainFrame", EVT_PLAY));
    ASSERT_TRUE(PumpUntil([&] { return frame.playing.load(); }));
    EXPECT_TRUE(first.playing.load());
    EXPECT_TRUE(second.playing.load());
    ASSERT_TRUE(PumpUntil([&] { return !frame.playing.load(); }));
    EXPECT_FALSE(first.playing.load());
    EXPECT_FALSE(second.playing.load());
    EXPECT_EQ(thread->Interval(), 41u);
    // 0.1, 0.2, then the step past the end, which stops at the end: no recording shows a frame past it.
    ASSERT_EQ(first.times.size(), 3u);
    EXPECT_NEAR(first.times[2], 0.25, 1e-9);
    EXPECT_NEAR(thread->NextTime(), 0.25, 1e-9);
    EXPECT_NEAR(frame.current.load(), 0.25, 1e-9);
    EXPECT_EQ(frame.offGuiCalls.load() + first.offGuiCalls.load() + second.offGuiCalls.load(), 0);
}

TEST_F(SyncPlayTest, LoopBackwardWrapsToTheEnd) {
    frame.begin = 0.0;
    frame.end = 2.0;
    frame.current = 0.0;
    frame.step = -0.1;
    frame.loop = TRUE;
    frame.rate = MakePlaySpeedWord(24);
    auto thread = Make();
    thread->PostEvent(PlayEvent("MainFrame", EVT_PLAY));
    ASSERT_TRUE(PumpUntil([&] { return frame.timeChanges.load() >= 2; }));
    thread->PostEvent(PlayEvent("MainFrame", EVT_STOP));
    ASSERT_TRUE(PumpUntil([&] { return !frame.playing.load(); }));
    ASSERT_GE(first.times.size(), 2u);
    EXPECT_DOUBLE_EQ(first.times[0], 2.0);
    EXPECT_NEAR(first.times[1], 1.9, 1e-9);
}

TEST_F(SyncPlayTest, PlayingBackToTheBeginStopsAtTheBegin) {
    frame.begin = 0.05;
    frame.end = 2.0;
    frame.current = 0.25;
    frame.step = -0.1;
    frame.rate = MakePlaySpeedWord(24);
    auto thread = Make();
    thread->PostEvent(PlayEvent("MainFrame", EVT_PLAY));
    ASSERT_TRUE(PumpUntil([&] { return frame.playing.load(); }));
    ASSERT_TRUE(PumpUntil([&] { return !frame.playing.load(); }));
    // 0.15, 0.05, then the step before the begin, which stops at the begin.
    ASSERT_EQ(first.times.size(), 3u);
    EXPECT_NEAR(first.times[1], 0.05, 1e-9);
    EXPECT_NEAR(first.times[2], 0.05, 1e-9);
    EXPECT_NEAR(frame.current.load(), 0.05, 1e-9);
}

TEST_F(SyncPlayTest, AFailedStepMovesNothing) {
    frame.begin = 0.2;
    frame.end = 2.0;
    frame.current = 0.5;
    frame.step = 0.1;
    frame.rate = MakePlaySpeedWord(24);
    frame.failReads = true;
    auto thread = std::make_unique<CountingSyncPlayThread>("SyncPlayer", &frame);
    thread->StartThread();
    thread->PostEvent(PlayEvent("MainFrame", EVT_PLAY));
    ASSERT_TRUE(PumpUntil([&] { return thread->errors.load() >= 3; }));
    // No tick went out: no document was sent to time 0.0, the main frame kept its time.
    EXPECT_TRUE(first.times.empty());
    EXPECT_TRUE(second.times.empty());
    EXPECT_EQ(frame.timeChanges.load(), 0);
    EXPECT_DOUBLE_EQ(frame.current.load(), 0.5);
    EXPECT_TRUE(frame.playing.load());

    frame.failReads = false;
    ASSERT_TRUE(PumpUntil([&] { return !first.times.empty(); }));
    EXPECT_NEAR(first.times.front(), 0.6, 1e-9);
}

TEST_F(SyncPlayTest, DestroyingWhilePlayingReturnsPromptly) {
    frame.end = 1000.0;
    frame.rate = MakePlaySpeedWord(24);
    auto thread = Make();
    thread->PostEvent(PlayEvent("MainFrame", EVT_PLAY));
    ASSERT_TRUE(PumpUntil([&] { return frame.timeChanges.load() >= 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    const auto start = std::chrono::steady_clock::now();
    thread.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

} // namespace
