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

TEST(SyncAxis, RequestedTimesStayAsTheyAreWithinTheAxis) {
    const SyncAxis axis = SyncAxis::FromSources({{-100, 100, 1000}});
    EXPECT_DOUBLE_EQ(axis.Clamp(-5.0), -0.1);
    EXPECT_DOUBLE_EQ(axis.Clamp(7.0), 0.1);
    EXPECT_DOUBLE_EQ(axis.Clamp(0.0123), 0.0123);
    // Times far off the axis, or none at all, still land on it.
    EXPECT_DOUBLE_EQ(axis.Clamp(1e300), 0.1);
    EXPECT_DOUBLE_EQ(axis.Clamp(-1e300), -0.1);
    EXPECT_DOUBLE_EQ(axis.Clamp(std::nan("")), -0.1);
}

// An axis beginning off its own grid: 1000 fps from frame -200 with 300 fps from frame -100 begins at
// -1/3 s, so 0 s and frame / 1000 lie between two grid points.
TEST(SyncAxis, StepsGoToTheNeighbouringGridPoint) {
    const SyncAxis axis = SyncAxis::FromSources({{-200, 999, 1000}, {-100, 299, 300}});
    ASSERT_DOUBLE_EQ(axis.begin, -100.0 / 300.0);
    const struct {
        double from;
        int direction;
        long frame; // at 1000 fps
    } cases[] = {
        {0.0, -1, -1},
        {0.0, 1, 0},
        {-0.010, -1, -11},
        {-0.010, 1, -10},
        {axis.TimeAt(5), 1, -328},
        {axis.TimeAt(5), -1, -330},
        {axis.begin, -1, -334},
        {axis.end, -1, 998},
        {axis.end, 1, 999},
    };
    for (const auto& c : cases) {
        const double t = axis.StepFrom(c.from, c.direction);
        EXPECT_EQ(FrameAtTime(t, 1000), c.frame) << c.from << " " << c.direction;
        EXPECT_EQ(FrameAtTime(axis.StepFrom(t, c.direction), 1000) - c.frame,
                  t == axis.begin || t == axis.end ? 0 : c.direction)
            << c.from << " " << c.direction;
    }
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
