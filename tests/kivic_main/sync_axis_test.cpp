// The common time axis: its range and rate from the documents, its grid, and frames of times.
#include <gtest/gtest.h>

#include <cmath>

#include "KivIc/Play/SyncAxis.h"

namespace {

TEST(SyncAxis, SpansEveryDocumentAtTheFastestRate) {
    const SyncAxis axis = SyncAxis::FromSources({{0, 999, 1000}, {100, 599, 500}});
    ASSERT_TRUE(axis.IsValid());
    EXPECT_DOUBLE_EQ(axis.begin, 0.0);
    EXPECT_DOUBLE_EQ(axis.end, 1.198);
    EXPECT_EQ(axis.rate, 1000);
    EXPECT_DOUBLE_EQ(axis.step, 0.001);
    EXPECT_EQ(FrameAtTime(axis.end, axis.rate), 1198);
    EXPECT_EQ(axis.LastIndex(), 1198);
}

TEST(SyncAxis, DocumentsWithoutARateDoNotCount) {
    EXPECT_FALSE(SyncAxis::FromSources({}).IsValid());
    EXPECT_FALSE(SyncAxis::FromSources({{0, 10, 0}, {5, 9, -3}}).IsValid());
    const SyncAxis axis = SyncAxis::FromSources({{0, 10, 0}, {-50, 50, 100}});
    EXPECT_EQ(axis.rate, 100);
    EXPECT_DOUBLE_EQ(axis.begin, -0.5);
    EXPECT_DOUBLE_EQ(axis.end, 0.5);
}

TEST(SyncAxis, SnapKeepsTimesOnTheGridAndInRange) {
    const SyncAxis axis = SyncAxis::FromSources({{-100, 100, 1000}});
    EXPECT_DOUBLE_EQ(axis.Snap(-5.0), -0.1);
    EXPECT_DOUBLE_EQ(axis.Snap(7.0), axis.TimeAt(200));
    EXPECT_EQ(axis.IndexAt(axis.Snap(0.0123)), 112);
    // Times far off the axis, or none at all, still land on it.
    EXPECT_DOUBLE_EQ(axis.Snap(1e300), axis.TimeAt(200));
    EXPECT_DOUBLE_EQ(axis.Snap(-1e300), -0.1);
    EXPECT_DOUBLE_EQ(axis.Snap(std::nan("")), -0.1);
}

TEST(SyncAxis, FramesOfTimesRoundDownWithAMargin) {
    for (int rate : {25, 50, 100, 500, 1000}) {
        const SyncAxis axis = SyncAxis::FromSources({{0, 10000, rate}});
        for (long long k = 0; k <= 10000; ++k)
            ASSERT_EQ(FrameAtTime(axis.TimeAt(k), rate), k) << "rate " << rate;
    }
    EXPECT_EQ(FrameAtTime(-0.0001, 1000), -1);
    EXPECT_EQ(FrameAtTime(-0.001, 1000), -1);
    EXPECT_EQ(FrameAtTime(-0.0011, 1000), -2);
    EXPECT_EQ(FrameAtTime(0.0, 1000), 0);
}

} // namespace
