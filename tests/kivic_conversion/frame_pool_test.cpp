// The frame worker pool: every frame of the range reaches the output once, in order, whatever the number
// of workers and the order in which they finish; the frames in flight stay bounded; the first failure or
// a Cancel stops the run and what was written ahead is discarded, so the output holds exactly the
// committed frames.
#include <algorithm>
#include <mutex>
#include <set>

#include <gtest/gtest.h>

#include "KivIc/Conversion/FramePool.h"
#include "kivic_conversion/conversion_test_util.h"

namespace {

using convtest::ConverterScript;
using convtest::TestConverter;

// Keeps every frame in memory and checks the order of the commits.
class MemoryOutput : public IFrameOutput {
public:
    int inFlight = 0;          // the bound the pool was given
    long encodeFailAt = -1;    // sample index whose encoding fails
    long commitFailAt = -1;    // sample index whose commit fails
    bool commitSlowly = false; // the writer lags behind the workers

    class Encoder : public IFrameEncoder {
    public:
        explicit Encoder(MemoryOutput& out) : m_out(out) {}
        bool Encode(long index, const BYTE* frame, std::size_t bytes, EncodedFrame* encoded,
                    std::string* error) override {
            {
                std::lock_guard lock(m_out.m_mutex);
                m_out.maxAhead = std::max(m_out.maxAhead, index - static_cast<long>(m_out.committed.size()));
                if (!m_out.encoded.insert(index).second)
                    m_out.twice = true;
            }
            if (index == m_out.encodeFailAt) {
                *error = "disk full at " + std::to_string(index);
                return false;
            }
            encoded->bytes.assign(frame, frame + bytes);
            return true;
        }

    private:
        MemoryOutput& m_out;
    };

    std::unique_ptr<IFrameEncoder> NewEncoder(std::string*) override {
        return std::make_unique<Encoder>(*this);
    }
    bool Commit(long index, EncodedFrame& frame, std::string* error) override {
        if (commitSlowly)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::lock_guard lock(m_mutex);
        if (index != static_cast<long>(committed.size()))
            outOfOrder = true;
        if (index == commitFailAt) {
            *error = "commit failed at " + std::to_string(index);
            return false;
        }
        committed.push_back(std::move(frame.bytes));
        return true;
    }
    void Discard(long index) override {
        std::lock_guard lock(m_mutex);
        discarded.insert(index);
    }

    std::mutex m_mutex;
    std::set<long> encoded;
    std::set<long> discarded;
    std::vector<std::vector<BYTE>> committed;
    long maxAhead = -1;
    bool twice = false;
    bool outOfOrder = false;
};

struct PoolRun {
    ConverterScript script;
    MemoryOutput output;
    std::unique_ptr<CFramePool> pool;

    bool Start(long first, long last, int workers, int inFlight = 0) {
        FramePoolSettings settings;
        settings.first = first;
        settings.last = last;
        settings.frameBytes = 40 + static_cast<std::size_t>(script.width) * 3 * script.height;
        settings.framesInFlight = inFlight;
        output.inFlight = inFlight > 0 ? inFlight : 2 * workers;
        pool = std::make_unique<CFramePool>(settings, output);
        std::string error;
        for (int i = 0; i < workers; ++i) {
            if (!pool->AddWorker(std::make_unique<TestConverter>(script), &error))
                return false;
        }
        return pool->Start(&error);
    }
    CFramePool::State Finish() {
        while (!pool->Wait(50)) {
        }
        return pool->Join();
    }
};

TEST(FramePool, EveryFrameOnceInOrderForAnyNumberOfWorkers) {
    for (int workers : {1, 2, 3, 8}) {
        SCOPED_TRACE(workers);
        PoolRun run;
        run.script.jitter = true;
        ASSERT_TRUE(run.Start(-5, 34, workers));
        EXPECT_EQ(run.pool->Workers(), workers);
        EXPECT_EQ(run.Finish(), CFramePool::State::Done);
        EXPECT_EQ(run.pool->Committed(), 40);
        ASSERT_EQ(run.output.committed.size(), 40u);
        for (long i = 0; i < 40; ++i)
            EXPECT_EQ(run.output.committed[i], convtest::MakePackedFrame(i - 5, 16, 8)) << i;
        EXPECT_FALSE(run.output.outOfOrder);
        EXPECT_FALSE(run.output.twice);
        EXPECT_TRUE(run.output.discarded.empty());
    }
}

TEST(FramePool, FramesInFlightStayBelowTheBound) {
    PoolRun run;
    run.script.jitter = true;
    run.output.commitSlowly = true; // the workers would run far ahead of a slow writer
    ASSERT_TRUE(run.Start(0, 59, 6, 3));
    EXPECT_EQ(run.Finish(), CFramePool::State::Done);
    EXPECT_EQ(run.output.committed.size(), 60u);
    EXPECT_GE(run.output.maxAhead, 0);
    EXPECT_LT(run.output.maxAhead, 3);
}

TEST(FramePool, CancelKeepsExactlyTheCommittedFramesAndDiscardsTheRest) {
    for (int workers : {1, 4}) {
        SCOPED_TRACE(workers);
        PoolRun run;
        run.script.jitter = true;
        run.output.commitSlowly = true;
        ASSERT_TRUE(run.Start(0, 199, workers));
        while (run.pool->Committed() < 5)
            run.pool->Wait(20);
        run.pool->Cancel();
        EXPECT_TRUE(run.pool->Wait(0));
        EXPECT_EQ(run.pool->Join(), CFramePool::State::Cancelled);
        const long kept = run.pool->Committed();
        EXPECT_GE(kept, 5);
        EXPECT_LT(kept, 200);
        EXPECT_EQ(static_cast<long>(run.output.committed.size()), kept);
        // Every frame encoded beyond the committed ones was discarded, none of the committed ones.
        for (long index : run.output.encoded)
            EXPECT_EQ(run.output.discarded.count(index) != 0, index >= kept) << index;
        // The run stopped soon: no worker went on through the range.
        EXPECT_LT(run.script.converted.load(), 200);
    }
}

TEST(FramePool, AFailureEndsTheRunInFrameOrderAsOnOneThread) {
    for (bool throws : {false, true}) {
        SCOPED_TRACE(throws);
        PoolRun run;
        run.script.failAt = 17;
        run.script.throwAtFail = throws;
        ASSERT_TRUE(run.Start(10, 999, 4));
        EXPECT_EQ(run.Finish(), CFramePool::State::Failed);
        EXPECT_EQ(run.pool->FailedIndex(), 7);
        EXPECT_NE(run.pool->Error().find("17"), std::string::npos) << run.pool->Error();
        // The frames before the failing one are written, none after it.
        EXPECT_EQ(run.pool->Committed(), 7);
        ASSERT_EQ(run.output.committed.size(), 7u);
        EXPECT_EQ(run.output.committed[6], convtest::MakePackedFrame(16, 16, 8));
        EXPECT_LT(run.script.converted.load(), 100);
        for (long index : run.output.encoded)
            EXPECT_EQ(run.output.discarded.count(index) != 0, index >= run.pool->Committed()) << index;
    }
}

TEST(FramePool, AFrameThatFailsAfterCancelLeavesTheRunCancelledWithoutAnError) {
    PoolRun run;
    run.script.failAt = 3;
    run.script.failReleased = false; // frame 3 fails only once the run is cancelled
    ASSERT_TRUE(run.Start(0, 99, 2));
    while (!run.script.failHeld)
        run.pool->Wait(1);
    run.pool->Cancel();
    run.script.failReleased = true;
    EXPECT_EQ(run.Finish(), CFramePool::State::Cancelled);
    EXPECT_EQ(run.pool->Error(), "");
    EXPECT_EQ(run.pool->FailedIndex(), -1);
    EXPECT_LE(run.pool->Committed(), 3);
    EXPECT_EQ(static_cast<long>(run.output.committed.size()), run.pool->Committed());
}

TEST(FramePool, EncoderAndWriterFailuresEndTheRunWithTheirCause) {
    {
        PoolRun run;
        run.output.encodeFailAt = 3;
        ASSERT_TRUE(run.Start(0, 50, 3));
        EXPECT_EQ(run.Finish(), CFramePool::State::Failed);
        EXPECT_EQ(run.pool->Error(), "disk full at 3");
        EXPECT_EQ(run.pool->Committed(), 3);
    }
    {
        PoolRun run;
        run.output.commitFailAt = 4;
        ASSERT_TRUE(run.Start(0, 50, 3));
        EXPECT_EQ(run.Finish(), CFramePool::State::Failed);
        EXPECT_EQ(run.pool->Error(), "commit failed at 4");
        EXPECT_EQ(run.pool->Committed(), 4);
        EXPECT_EQ(run.output.committed.size(), 4u);
    }
}

TEST(FramePool, RefusesToStartWithoutFramesOrWorkers) {
    MemoryOutput output;
    std::string error;
    {
        FramePoolSettings settings;
        settings.first = 5;
        settings.last = 4; // the range ends before it begins
        settings.frameBytes = 424;
        CFramePool pool(settings, output);
        ConverterScript script;
        ASSERT_TRUE(pool.AddWorker(std::make_unique<TestConverter>(script), &error));
        EXPECT_FALSE(pool.Start(&error));
        EXPECT_FALSE(error.empty());
    }
    {
        FramePoolSettings settings;
        settings.last = 9;
        settings.frameBytes = 424;
        CFramePool pool(settings, output);
        error.clear();
        EXPECT_FALSE(pool.Start(&error));
        EXPECT_FALSE(error.empty());
    }
    EXPECT_TRUE(output.committed.empty());
}

TEST(FramePool, DestroyingARunningPoolStopsIt) {
    PoolRun run;
    run.script.jitter = true;
    ASSERT_TRUE(run.Start(0, 100000, 4));
    run.pool->Wait(10);
    run.pool.reset(); // must not hang or leave threads behind
    EXPECT_LT(run.script.converted.load(), 100000);
}

} // namespace
