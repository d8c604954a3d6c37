// The document's play thread: state machine, ticks, seeks, hand-off to the GUI thread, shutdown.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "KivIc/Play/PlayThread.h"
#include "play_fakes.h"
#include "platform/win32/system.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Keeps the errors the thread reports (they arrive on the play thread).
class RecordingPlayThread : public CPlayThread {
public:
    using CPlayThread::CPlayThread;
    ~RecordingPlayThread() override { Shutdown(); }
    void OnError(const vomException& error) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_errors.push_back(error.Message());
    }
    std::vector<std::string> Errors() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_errors;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_errors;
};

class PlayThreadTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApp(); }

    std::unique_ptr<RecordingPlayThread> Make(FakeDocument& document) {
        auto thread = std::make_unique<RecordingPlayThread>("Player", &document);
        thread->StartThread();
        return thread;
    }
    static void Post(CPlayThread& thread, int id, int value2 = 0) {
        thread.PostEvent(PlayEvent("VesloDoc", id, 0, value2));
    }
};

TEST_F(PlayThreadTest, PlayFromEndMinusOneStopsAtTheEnd) {
    FakeDocument document(0, 20, 19);
    document.rate = MakePlaySpeedWord(24);
    auto thread = Make(document);
    Post(*thread, EVT_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return document.playing.load(); }));
    ASSERT_TRUE(PumpUntil([&] { return !document.playing.load(); }));
    // The thread notes its new state once the stop action has returned.
    EXPECT_TRUE(PumpUntil([&] { return !thread->IsInPlayState(); }));
    EXPECT_EQ(document.current.load(), 20);
    // One tick shows the end, the next asks for end + 1, which the document keeps at the end.
    EXPECT_EQ(document.requested, (std::vector<long>{20, 21}));
    EXPECT_EQ(document.redraws.load(), 2);
    EXPECT_EQ(document.offGuiCalls.load(), 0);
    PumpFor(150);
    EXPECT_EQ(document.requested.size(), 2u);
}

TEST_F(PlayThreadTest, LoopWrapsForwardAndBackward) {
    FakeDocument document(3, 6, 6);
    document.loop = TRUE;
    document.rate = MakePlaySpeedWord(24);
    auto thread = Make(document);
    Post(*thread, EVT_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return document.requested.size() >= 2; }));
    EXPECT_EQ(document.requested[0], 3);
    EXPECT_EQ(document.requested[1], 4);
    Post(*thread, EVT_STOP);
    ASSERT_TRUE(PumpUntil([&] { return !document.playing.load(); }));

    document.requested.clear();
    document.current = 3;
    document.step = -1;
    Post(*thread, EVT_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return document.requested.size() >= 2; }));
    EXPECT_EQ(document.requested[0], 6);
    EXPECT_EQ(document.requested[1], 5);
    EXPECT_TRUE(document.playing.load());
}

TEST_F(PlayThreadTest, BackwardWithoutLoopStopsAtTheBegin) {
    FakeDocument document(0, 50, 1);
    document.step = -1;
    document.rate = MakePlaySpeedWord(24);
    auto thread = Make(document);
    Post(*thread, EVT_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return document.playing.load(); }));
    ASSERT_TRUE(PumpUntil([&] { return !document.playing.load(); }));
    EXPECT_EQ(document.requested, (std::vector<long>{0, -1}));
    EXPECT_EQ(document.current.load(), 0);
}

TEST_F(PlayThreadTest, StopTakesEffectWithinOneTick) {
    FakeDocument document(0, 1000, 0);
    document.rate = 0x10001; // one frame a second
    auto thread = Make(document);
    Post(*thread, EVT_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return document.playing.load(); }));
    EXPECT_EQ(thread->Interval(), 1000u);
    const auto posted = Clock::now();
    Post(*thread, EVT_STOP);
    ASSERT_TRUE(PumpUntil([&] { return !document.playing.load(); }));
    EXPECT_LT(MillisecondsSince(posted), 1000);
    EXPECT_TRUE(document.requested.empty());
    PumpFor(1200); // no tick after the stop
    EXPECT_TRUE(document.requested.empty());
    EXPECT_FALSE(thread->IsInPlayState());
}

TEST_F(PlayThreadTest, PlayWhilePlayingChangesNothing) {
    FakeDocument document(0, 1000, 0);
    document.rate = 0x10001;
    auto thread = Make(document);
    Post(*thread, EVT_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return document.playing.load(); }));
    document.rate = MakePlaySpeedWord(24);
    Post(*thread, EVT_PLAY);
    Post(*thread, EVT_NOTIFY); // dispatched after the play, so the play has been seen
    PumpFor(100);
    EXPECT_EQ(thread->Interval(), 1000u);
    EXPECT_TRUE(thread->IsInPlayState());
    // A new rate takes effect at the next start.
    Post(*thread, EVT_STOP);
    ASSERT_TRUE(PumpUntil([&] { return !document.playing.load(); }));
    Post(*thread, EVT_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return thread->Interval() == 41u; }));
}

TEST_F(PlayThreadTest, RateEventRecomputesTheInterval) {
    FakeDocument document(0, 100000, 0);
    document.rate = 0x10001;
    auto thread = Make(document);
    Post(*thread, EVT_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return document.playing.load(); }));
    document.rate = MakePlaySpeedWord(24);
    Post(*thread, EVT_RATE);
    ASSERT_TRUE(PumpUntil([&] { return thread->Interval() == 41u; }));
    // The new interval starts now: ticks come long before the old second is up.
    EXPECT_TRUE(PumpUntil([&] { return document.requested.size() >= 2; }, 900));
    EXPECT_TRUE(thread->IsInPlayState());
}

TEST_F(PlayThreadTest, SeekWhileReady) {
    FakeDocument document(0, 10, 2);
    auto thread = Make(document);
    Post(*thread, EVT_TICK, 7);
    ASSERT_TRUE(PumpUntil([&] { return document.redraws.load() == 1; }));
    EXPECT_EQ(document.current.load(), 7);
    EXPECT_FALSE(document.playing.load());
    EXPECT_FALSE(thread->IsInPlayState());
    // Stop while stopped is ignored; a seek past the end is kept to the range by the document.
    Post(*thread, EVT_STOP);
    Post(*thread, EVT_TICK, 99);
    ASSERT_TRUE(PumpUntil([&] { return document.redraws.load() == 2; }));
    EXPECT_EQ(document.current.load(), 10);
    EXPECT_EQ(document.offGuiCalls.load(), 0);
}

TEST_F(PlayThreadTest, EventsWhilePlayingDoNotHoldTheTicksBack) {
    FakeDocument document(0, 100000, 0);
    document.rate = 0xA0001; // 100 ms
    auto thread = Make(document);
    Post(*thread, EVT_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return document.playing.load(); }));
    // Unknown events every few milliseconds, as a dragged slider would send.
    const auto start = Clock::now();
    while (MillisecondsSince(start) < 700) {
        Post(*thread, 4711);
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // About seven ticks are due; a loose lower bound.
    EXPECT_GE(document.requested.size(), 3u);
}

TEST_F(PlayThreadTest, OwnerFailuresAreReportedAndTheThreadGoesOn) {
    FakeDocument document(0, 10, 0);
    document.throwAt = 4;
    auto thread = Make(document);
    Post(*thread, EVT_TICK, 4);
    Post(*thread, EVT_TICK, 5);
    ASSERT_TRUE(PumpUntil([&] { return document.redraws.load() == 1; }));
    EXPECT_EQ(document.current.load(), 5);
    EXPECT_EQ(thread->Errors(), (std::vector<std::string>{"OS Error occured."}));
}

TEST_F(PlayThreadTest, AFailedStepMovesNothingAndPlayingGoesOn) {
    FakeDocument document(5, 1000, 10);
    document.rate = MakePlaySpeedWord(24);
    document.failReads = true;
    auto thread = Make(document);
    Post(*thread, EVT_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return thread->Errors().size() >= 3; }));
    // No tick went out: the document was neither moved (to frame 0, kept to 5) nor redrawn.
    EXPECT_TRUE(document.requested.empty());
    EXPECT_EQ(document.redraws.load(), 0);
    EXPECT_EQ(document.current.load(), 10);
    EXPECT_TRUE(document.playing.load());
    EXPECT_TRUE(thread->IsInPlayState());
    // The failed ticks keep the interval: at 41 ms a few dozen at most in a second, never a busy loop.
    const std::size_t before = thread->Errors().size();
    PumpFor(300);
    EXPECT_LT(thread->Errors().size() - before, 20u);

    document.failReads = false;
    ASSERT_TRUE(PumpUntil([&] { return !document.requested.empty(); }));
    EXPECT_EQ(document.requested.front(), 11);
    EXPECT_EQ(thread->Errors().front(), "OS Error occured.");
}

TEST_F(PlayThreadTest, DestroyingAPlayingThreadReturnsPromptly) {
    for (int round = 0; round < 5; ++round) {
        FakeDocument document(0, 1000000, 0);
        document.rate = MakePlaySpeedWord(24);
        auto thread = Make(document);
        Post(*thread, EVT_PLAY);
        ASSERT_TRUE(PumpUntil([&] { return document.requested.size() >= 2; }));
        // Without pumping, the thread's next call to the GUI thread stays queued; the quit event
        // must end that wait.
        std::this_thread::sleep_for(std::chrono::milliseconds(60 + round * 10));
        const auto start = Clock::now();
        thread.reset();
        EXPECT_LT(MillisecondsSince(start), 2000);
        // The dropped call never runs after its thread is gone.
        const auto shown = document.requested.size();
        PumpFor(20);
        EXPECT_EQ(document.requested.size(), shown);
    }
}

TEST_F(PlayThreadTest, DestroyingAThreadThatNeverRan) {
    FakeDocument document(0, 10, 0);
    const auto start = Clock::now();
    { RecordingPlayThread thread("Player", &document); }
    EXPECT_LT(MillisecondsSince(start), 2000);
}

TEST_F(PlayThreadTest, DebugTexts) {
    std::mutex mutex;
    std::string texts;
    DebugOutputSink old = SetDebugOutputSink([&](const char* text) {
        std::lock_guard<std::mutex> lock(mutex);
        texts += text;
    });
    {
        FakeDocument document(0, 10, 0);
        auto thread = Make(document);
        Post(*thread, EVT_TICK, 3);
        thread->PostEvent(PlayEvent(nullptr, EVT_NOTIFY));
        ASSERT_TRUE(PumpUntil([&] { return document.redraws.load() == 1; }));
        PumpFor(50);
    }
    SetDebugOutputSink(old);
    EXPECT_EQ(texts, "Player start !\n"
                     "    event:: from VesloDoc => Player:[1005]\n"
                     "    event:: from (NULL) => Player:[1007]\n"
                     "Player Done !\n");
}

} // namespace
