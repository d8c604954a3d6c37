// Whole tracking runs over synthetic recordings: accuracy, prediction, losing and finding points again,
// rotation, hand-set frames, the picture's edge, stopping and failing pictures.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>

#include "Matching/TemplateInfo.h"
#include "afx/afx_test_app.h"
#include "kivic_tracking/tracking_host.h"

namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 80;

struct Motion {
    double x0, y0, dx, dy;
    double X(long f) const { return x0 + dx * f; }
    double Y(long f) const { return y0 + dy * f; }
};

MatchingParam Param(int method, int prediction = 1) {
    MatchingParam mp;
    mp.method = method;
    mp.prediction = prediction;
    return mp;
}

// A blob moving along m on frames 0 .. frames - 1, one point with the parameters set by hand on its
// centre on frame 0.
void SetUpBlob(TrackingHost& host, const Motion& m, int frames, const MatchingParam& mp) {
    host.MakeFrames(frames, [&](int f, Picture& p) { p.AddBlob(m.X(f), m.Y(f)); });
    host.SetPoints(1, mp);
    host.SetByHand(0, 0, m.X(0), m.Y(0));
}

// Every frame first .. last holds a found position within the tolerance of where m puts the blob.
void ExpectTracked(TrackingHost& host, const Motion& m, long first, long last, double tolerance = 0.25) {
    for (long f = first; f <= last; ++f) {
        double x = 0;
        double row = 0;
        ASSERT_TRUE(host.Position(f, 0, &x, &row)) << "frame " << f;
        EXPECT_NEAR(x, m.X(f), tolerance) << "frame " << f;
        EXPECT_NEAR(row, m.Y(f), tolerance) << "frame " << f;
    }
}

// Tracks a blob from its hand-set centre on frame 0 and returns the largest distance (along either
// axis) of a stored position from the blob's centre.
double TrackBlob(TrackingHost& host, const Motion& m, int frames, const MatchingParam& mp) {
    SetUpBlob(host, m, frames, mp);
    EXPECT_EQ(host.Run(0, frames - 1), 1);
    double worst = 0.0;
    for (long f = 1; f < frames; ++f) {
        double x = 0;
        double row = 0;
        if (!host.Position(f, 0, &x, &row)) {
            ADD_FAILURE() << "frame " << f << " not found";
            return 1e9;
        }
        worst = std::max({worst, std::abs(x - m.X(f)), std::abs(row - m.Y(f))});
    }
    return worst;
}

class TrackingJobTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQt(); }
    TempFolder temp; // the log of every run goes here
    MessageBoxRecorder boxes;
};

TEST_F(TrackingJobTest, FollowsABlobMovingByWholeAndFractionalPixels) {
    const Motion motions[] = {{30, 30, 2.0, -1.0}, {30.0, 40.0, 1.5, 0.75}, {40.0, 30.0, -1.25, 1.5}};
    for (int method : {0, 3, 6}) {
        for (const Motion& m : motions) {
            TrackingHost host(kWidth, kHeight);
            EXPECT_LT(TrackBlob(host, m, 8, Param(method)), 0.25) << "method " << method << " dx " << m.dx;
        }
    }
    // The running mean of method 1 truncates, which shifts its peak by up to about a pixel.
    for (const Motion& m : motions) {
        TrackingHost host(kWidth, kHeight);
        EXPECT_LT(TrackBlob(host, m, 8, Param(1)), 1.0) << "dx " << m.dx;
    }
}

TEST_F(TrackingJobTest, StoresBottomUpRowsInThousandthsOfAPixel) {
    TrackingHost host(kWidth, kHeight);
    const Motion m{30.0, 20.0, 1.5, 0.5};
    EXPECT_LT(TrackBlob(host, m, 3, Param(3)), 0.25);
    EXPECT_DOUBLE_EQ(host.table->GetScale(), 0.001);
    const PointEntry* e = host.Entry(1, 0);
    ASSERT_NE(e, nullptr);
    // y counts up from the bottom: near 80 - 20.5; sub-pixel digits survive in the table.
    EXPECT_NEAR(e->x / 1000.0, 31.5, 0.25);
    EXPECT_NEAR(e->y / 1000.0, 59.5, 0.25);
    EXPECT_NE(e->x % 1000, 0);
    EXPECT_EQ(e->flag, 0);
    // The job showed every frame before taking its picture.
    EXPECT_EQ(host.shownFrames, (std::vector<long>{0, 1, 2}));
}

TEST_F(TrackingJobTest, VelocityPredictionKeepsAFastBlobThatTheLastPositionLoses) {
    // 7 pixels a frame against a margin of 5; the first two frames are set by hand.
    const Motion m{15.0, 40.0, 7.0, 0.0};
    for (int prediction : {1, 0}) {
        TrackingHost host(kWidth, kHeight);
        MatchingParam mp = Param(0, prediction);
        mp.threshold = 0.7;
        host.MakeFrames(10, [&](int f, Picture& p) { p.AddBlob(m.X(f), m.Y(f)); });
        host.SetPoints(1, mp);
        host.SetByHand(0, 0, m.X(0), m.Y(0));
        host.SetByHand(1, 0, m.X(1), m.Y(1));
        ASSERT_EQ(host.Run(0, 9), 1);
        for (long f = 2; f < 10; ++f) {
            double x = 0;
            double row = 0;
            const bool found = host.Position(f, 0, &x, &row);
            if (prediction == 1) {
                ASSERT_TRUE(found) << f;
                EXPECT_NEAR(x, m.X(f), 0.25) << f;
                EXPECT_NEAR(row, m.Y(f), 0.25) << f;
            } else {
                // Found at most at the edge of the search area, far behind, and soon lost for good.
                EXPECT_FALSE(found && std::abs(x - m.X(f)) < 1.0) << f;
                if (f >= 4) {
                    EXPECT_EQ(host.State(f, 0), PointEntry::kLost) << f;
                }
            }
        }
    }
}

TEST_F(TrackingJobTest, AVanishingBlobIsMarkedLostAndFoundAgain) {
    TrackingHost host(kWidth, kHeight);
    const Motion m{30.0, 30.0, 1.0, 0.5};
    host.MakeFrames(9, [&](int f, Picture& p) {
        if (f < 3 || f > 5)
            p.AddBlob(m.X(f), m.Y(f));
    });
    host.SetPoints(1, Param(3));
    host.SetByHand(0, 0, m.X(0), m.Y(0));
    ASSERT_EQ(host.Run(0, 8), 1);
    for (long f = 1; f < 9; ++f) {
        double x = 0;
        double row = 0;
        if (f >= 3 && f <= 5) {
            EXPECT_EQ(host.State(f, 0), PointEntry::kLost) << f;
            EXPECT_EQ(host.Entry(f, 0)->flag, 0);
        } else {
            ASSERT_TRUE(host.Position(f, 0, &x, &row)) << f;
            EXPECT_NEAR(x, m.X(f), 0.25) << f;
            EXPECT_NEAR(row, m.Y(f), 0.25) << f;
        }
    }
}

TEST_F(TrackingJobTest, ARotatingBarIsFoundOnlyWithRotatedTemplates) {
    for (int rotate : {1, 0}) {
        TrackingHost host(kWidth, kHeight);
        MatchingParam mp = Param(0, 0);
        mp.rotate = rotate;
        mp.rotationStep = 2; // 45 degrees
        mp.threshold = 0.7;
        host.MakeFrames(5, [&](int f, Picture& p) { p.AddBar(40, 35, 45.0 * f); });
        host.SetPoints(1, mp);
        host.SetByHand(0, 0, 40, 35);
        ASSERT_EQ(host.Run(0, 4), 1);
        ASSERT_NE(host.job.GetTemplateSet(1), nullptr);
        EXPECT_EQ(host.job.GetTemplateSet(1)->GetTemplateCount(), rotate ? 8 : 1);
        for (long f = 1; f < 5; ++f) {
            double x = 0;
            double row = 0;
            if (rotate) {
                ASSERT_TRUE(host.Position(f, 0, &x, &row)) << f;
                EXPECT_NEAR(x, 40, 1.0) << f;
                EXPECT_NEAR(row, 35, 1.0) << f;
            } else if (f % 4 != 0) {
                EXPECT_EQ(host.State(f, 0), PointEntry::kLost) << f;
            }
        }
    }
}

TEST_F(TrackingJobTest, HandSetFramesDecideWhatIsTracked) {
    TrackingHost host(kWidth, kHeight);
    const Motion m{20.0, 30.0, 1.0, 0.0};
    const Motion second{60.0, 50.0, 0.0, -1.0};
    host.MakeFrames(10, [&](int f, Picture& p) {
        p.AddBlob(m.X(f), m.Y(f));
        p.AddBlob(second.X(f), second.Y(f));
    });
    host.SetPoints(2, Param(3));
    host.SetByHand(0, 0, m.X(0), m.Y(0));
    // Lost by hand on frame 3, set again (slightly off the centre) on frame 6.
    host.SetByHand(3, 0, 0, 0, false);
    host.SetByHand(6, 0, m.X(6) + 1, m.Y(6));
    // The second point is set by hand only after the start frame: it is never tracked.
    host.SetByHand(2, 1, second.X(2), second.Y(2));
    ASSERT_EQ(host.Run(0, 9), 1);

    double x = 0;
    double row = 0;
    for (long f : {1, 2}) {
        ASSERT_TRUE(host.Position(f, 0, &x, &row)) << f;
        EXPECT_NEAR(x, m.X(f), 0.25);
    }
    EXPECT_EQ(host.State(3, 0), PointEntry::kLost);
    EXPECT_EQ(host.Entry(3, 0)->flag, 1);
    for (long f : {4, 5}) {
        EXPECT_EQ(host.State(f, 0), PointEntry::kLost) << f;
        EXPECT_EQ(host.Entry(f, 0)->flag, 0) << f;
    }
    // From frame 6 on the template cut at the new hand-set position is followed.
    for (long f = 7; f < 10; ++f) {
        ASSERT_TRUE(host.Position(f, 0, &x, &row)) << f;
        EXPECT_NEAR(x, m.X(f) + 1, 0.25) << f;
        EXPECT_NEAR(row, m.Y(f), 0.25) << f;
    }
    for (long f = 0; f < 10; ++f) {
        if (f != 2) {
            EXPECT_NE(host.State(f, 1), PointEntry::kFound) << f;
        }
    }
    EXPECT_EQ(host.job.GetTemplateSet(2), nullptr);
    EXPECT_EQ(host.jobs.inputFrames, (std::vector<std::int32_t>{0, 2, 3, 6}));
}

TEST_F(TrackingJobTest, TemplatesAtThePicturesEdgeAreCentredOnThePoint) {
    // The base image of radius 5 reaches 7 pixels out; the blob starts 6 pixels from the left edge and
    // from the bottom, and drifts inward. A base image moved inside the picture would put the template's
    // centre a pixel off the point.
    TrackingHost host(kWidth, kHeight);
    MatchingParam mp = Param(0);
    mp.templateRadiusX = 5;
    mp.templateRadiusY = 5;
    mp.searchMarginX = 3;
    mp.searchMarginY = 3;
    const Motion m{6.0, kHeight - 1 - 6.0, 0.5, -0.25};
    EXPECT_LT(TrackBlob(host, m, 6, mp), 0.25);
}

TEST_F(TrackingJobTest, AStillPointAtAnyDistanceFromAnEdgeOrCornerStaysWhereItIs) {
    // Searched the way its template was cut (the border repeated), a point can be found right at the
    // edge; an area kept inside the picture would push it a template's half-size inward.
    struct Place {
        const char* name;
        bool left, right, top, bottom;
    };
    const Place places[] = {
        {"left", true, false, false, false},     {"right", false, true, false, false},
        {"top", false, false, true, false},      {"bottom", false, false, false, true},
        {"top left", true, false, true, false},  {"bottom right", false, true, false, true},
        {"top right", false, true, true, false}, {"bottom left", true, false, false, true}};
    for (const Place& place : places) {
        for (int d : {0, 1, 2, 3, 5, 8, 12}) {
            const double x = place.left ? d : place.right ? kWidth - 1 - d : kWidth / 2.0;
            const double y = place.top ? d : place.bottom ? kHeight - 1 - d : kHeight / 2.0;
            for (int method : {3, 0}) {
                TrackingHost host(kWidth, kHeight);
                EXPECT_LT(TrackBlob(host, {x, y, 0.0, 0.0}, 6, Param(method)), 0.5)
                    << place.name << " " << d << " method " << method;
            }
        }
    }
}

TEST_F(TrackingJobTest, ABlobMovingOutOfThePictureIsFollowedToTheEdge) {
    // Found to the tenth of a pixel while the whole spot is seen; cut off by the edge, the spot no longer
    // looks like its template and the position may be off by a pixel or so, but it never runs away and
    // stays at the edge once the spot has left.
    const Motion motions[] = {{9.0, 40.0, -1.5, 0.0},
                              {kWidth - 9.0, 40.0, 1.25, 0.0},
                              {48.0, 8.0, 0.0, -1.0},
                              {9.0, kHeight - 9.0, -1.0, 1.0}};
    for (const Motion& m : motions) {
        TrackingHost host(kWidth, kHeight);
        SetUpBlob(host, m, 12, Param(3));
        ASSERT_EQ(host.Run(0, 11), 1);
        for (long f = 1; f < 12; ++f) {
            const double inside = std::min({m.X(f), kWidth - 1 - m.X(f), m.Y(f), kHeight - 1 - m.Y(f)});
            const double tolerance = inside >= 4.0 ? 0.5 : 2.0;
            double x = 0;
            double row = 0;
            ASSERT_TRUE(host.Position(f, 0, &x, &row)) << "frame " << f;
            EXPECT_NEAR(x, std::clamp(m.X(f), 0.0, kWidth - 1.0), tolerance)
                << "frame " << f << " dx " << m.dx;
            EXPECT_NEAR(row, std::clamp(m.Y(f), 0.0, kHeight - 1.0), tolerance)
                << "frame " << f << " dy " << m.dy;
        }
    }
}

TEST_F(TrackingJobTest, ARunThatWouldStoreNothingIsRefusedWithItsReason) {
    TrackingHost host(20, 20);
    host.MakeFrames(3, [](int, Picture& p) { p.AddBlob(10, 10); });
    host.SetPoints(2, Param(0)); // radius 10: a base image of 29 x 29
    host.job.SetTables(&host.jobs, host.table.get());
    EXPECT_EQ(host.job.StartRefusal(0, 20, 20),
              CString("No point has a position set by hand on frame 0. Set the points to track on this frame "
                      "first."));
    host.SetByHand(1, 0, 10, 10);
    host.SetByHand(0, 1, 10, 10, false); // lost by hand: no position
    EXPECT_EQ(host.Run(0, 2), 0);
    EXPECT_EQ(host.job.StartRefusal(1, 20, 20),
              CString("The template of point 1 does not fit into the picture: radius 10 x 10 needs 29 x 29 "
                      "pixels with room to turn, the picture has 20 x 20."));
    EXPECT_EQ(host.Run(1, 2), 0);
    EXPECT_TRUE(host.shownFrames.empty());
    EXPECT_EQ(host.job.GetTemplateSet(1), nullptr);
    EXPECT_EQ(host.Entry(2, 0), nullptr);
    // Small enough, point 1 is tracked.
    host.jobs.params.Get(0)->Get(0)->templateRadiusX = 4;
    host.jobs.params.Get(0)->Get(0)->templateRadiusY = 4;
    EXPECT_EQ(host.job.StartRefusal(1, 20, 20), CString());
    EXPECT_EQ(host.Run(1, 2), 1);
    EXPECT_EQ(host.State(2, 0), PointEntry::kFound);
}

TEST_F(TrackingJobTest, EverySetOfAPointStoresTheCentreOfItsMatchedTemplate) {
    TrackingHost host(kWidth, kHeight);
    MatchingParam small = Param(0);
    small.templateRadiusX = 4;
    small.templateRadiusY = 4;
    const Motion m{40.0, 40.0, 1.5, -0.5};
    SetUpBlob(host, m, 5, Param(0));
    host.jobs.params.Get(0)->Add(new MatchingParam(small)); // matched second, with the first set's templates
    ASSERT_EQ(host.Run(0, 4), 1);
    ExpectTracked(host, m, 1, 4);
}

TEST_F(TrackingJobTest, PredictionsGoToTheRecordOfTheirOwnFrame) {
    TrackingHost host(kWidth, kHeight);
    const Motion m{20.0, 40.0, 2.0, 0.0};
    SetUpBlob(host, m, 9, Param(3));
    ASSERT_EQ(host.Run(0, 8, 2), 1);
    PointFrame& predictions = *host.log->GetPredictions();
    ASSERT_EQ(predictions.Count(), 5);
    for (int k = 0; k < 5; ++k) {
        const FrameRecord* r = predictions.Get(k);
        EXPECT_EQ(r->frameNumber, 2 * k);
        const PointEntry* e = r->GetEntry(0);
        ASSERT_NE(e, nullptr);
        if (k == 0) {
            EXPECT_EQ(e->state, PointEntry::kNoPosition);
            continue;
        }
        // The last position two frames back (no velocity yet at frame 2), bottom-up like the table.
        EXPECT_EQ(e->state, PointEntry::kFound) << k;
        EXPECT_NEAR(e->x, m.X(2 * k - 2) + (k > 1 ? 2 : 0), 1.01) << k;
        EXPECT_NEAR(e->y, kHeight - m.Y(0), 1.01) << k;
    }
    double x = 0;
    double row = 0;
    ASSERT_TRUE(host.Position(8, 0, &x, &row));
    EXPECT_NEAR(x, m.X(8), 0.25);
}

TEST_F(TrackingJobTest, RunsBackwardFromTheStartToTheEnd) {
    TrackingHost host(kWidth, kHeight);
    const Motion m{30.0, 30.0, 1.5, 0.5};
    host.MakeFrames(6, [&](int f, Picture& p) { p.AddBlob(m.X(f), m.Y(f)); });
    host.SetPoints(1, Param(0));
    host.SetByHand(5, 0, m.X(5), m.Y(5));
    EXPECT_EQ(host.Run(2, 5, 1, 1), 0); // start before the end
    ASSERT_EQ(host.Run(5, 1, 1, 1), 1);
    EXPECT_EQ(host.shownFrames, (std::vector<long>{5, 4, 3, 2, 1}));
    ExpectTracked(host, m, 1, 4);
}

TEST_F(TrackingJobTest, StopEndsTheRunAfterTheCurrentFrameKeepingItsResults) {
    TrackingHost host(kWidth, kHeight);
    const Motion m{30.0, 30.0, 1.0, 1.0};
    SetUpBlob(host, m, 8, Param(3));
    // Stop is pressed while frame 3 is shown; the job sees it when it lets messages through.
    host.onShow = [&](long f) {
        if (f == 3)
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [&] { host.job.RequestStop(); }, Qt::QueuedConnection);
    };
    EXPECT_EQ(host.Run(0, 7), 1);
    EXPECT_TRUE(host.job.IsStopRequested());
    EXPECT_EQ(host.shownFrames.back(), 3);
    double x = 0;
    double row = 0;
    EXPECT_TRUE(host.Position(3, 0, &x, &row));
    EXPECT_EQ(host.Entry(4, 0), nullptr);
    EXPECT_EQ(host.log->GetTimers()->Get(0)->count, 4);
    // The next run starts afresh.
    host.onShow = nullptr;
    EXPECT_EQ(host.Run(0, 7), 1);
    EXPECT_EQ(host.shownFrames.back(), 7);
}

TEST_F(TrackingJobTest, AStartFromAMessageLetThroughIsRefused) {
    TrackingHost host(kWidth, kHeight);
    host.MakeFrames(4, [](int f, Picture& p) { p.AddBlob(30 + f, 30); });
    host.SetPoints(1, Param(3));
    host.SetByHand(0, 0, 30, 30);
    int nested = -1;
    bool running = false;
    host.onShow = [&](long f) {
        if (f == 1)
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [&] {
                    running = host.job.IsRunning();
                    nested = host.job.RunTrackingJob(0, 3, 1, kWidth, kHeight, 0);
                },
                Qt::QueuedConnection);
    };
    EXPECT_EQ(host.Run(0, 3), 1);
    EXPECT_TRUE(running);
    EXPECT_EQ(nested, 0);
    EXPECT_FALSE(host.job.IsRunning());
    EXPECT_EQ(host.shownFrames, (std::vector<long>{0, 1, 2, 3}));
}

TEST_F(TrackingJobTest, AFrameWithoutItsGrayPictureEndsTheRun) {
    TrackingHost host(kWidth, kHeight);
    const Motion m{30.0, 30.0, 1.0, 1.0};
    SetUpBlob(host, m, 6, Param(3));
    host.failGrayAt = 3;
    EXPECT_EQ(host.Run(0, 5), 0);
    EXPECT_EQ(host.State(2, 0), PointEntry::kFound);
    EXPECT_EQ(host.Entry(3, 0), nullptr);
    host.failGrayAt = -1;
    host.failCaptureAt = 4;
    EXPECT_EQ(host.Run(0, 5), 0);
    EXPECT_EQ(host.State(3, 0), PointEntry::kFound);
    EXPECT_EQ(host.Entry(4, 0), nullptr);
}

TEST_F(TrackingJobTest, RefusesToStartWithoutTablesPictureOrParameters) {
    TrackingHost host(kWidth, kHeight);
    host.MakeFrames(3, [](int, Picture& p) { p.AddBlob(30, 30); });
    host.SetPoints(1, Param(3));
    host.SetByHand(0, 0, 30, 30);
    EXPECT_EQ(host.job.RunTrackingJob(0, 2, 1, kWidth, kHeight, 0), 0); // no tables yet
    host.job.SetTables(&host.jobs, host.table.get());
    // A document without a bitmap has no size.
    EXPECT_EQ(host.job.RunTrackingJob(0, 2, 1, 0, 0, 0), 0);
    EXPECT_EQ(host.job.RunTrackingJob(0, 2, 0, kWidth, kHeight, 0), 0);
    EXPECT_EQ(host.job.RunTrackingJob(3, 2, 1, kWidth, kHeight, 0), 0);
    host.jobs.pointCount = 2; // more points than parameter entries
    EXPECT_EQ(host.job.RunTrackingJob(0, 2, 1, kWidth, kHeight, 0), 0);
    EXPECT_TRUE(host.shownFrames.empty());
    EXPECT_EQ(host.table->Count(), 1);
}

TEST_F(TrackingJobTest, TheDebugSwitchDumpsAndKeepsRunning) {
    TrackingHost host(kWidth, kHeight);
    host.debug = true;
    const Motion m{30.0, 30.0, 1.0, 0.0};
    SetUpBlob(host, m, 4, Param(3));
    ASSERT_EQ(host.Run(0, 3), 1);
    EXPECT_EQ(host.shownFrames.size(), 4u);
    EXPECT_EQ(host.log->GetResultFrameCount(), 3);
    // The search area of frame 3: 31 x 31 around the prediction (29, 30), bottom row first.
    const std::string search = TempDir::ReadAll(temp.Path("Searchf0003p001w031h031.raw"));
    ASSERT_EQ(search.size(), 31u * 31u);
    const Picture& p = host.frames[3];
    const int left = 29 - 15;
    const int top = 30 - 15;
    EXPECT_EQ(static_cast<unsigned char>(search[0]), p.pixels[std::size_t(top + 30) * kWidth + left]);
    EXPECT_EQ(static_cast<unsigned char>(search[31u * 30u + 15u]),
              p.pixels[std::size_t(top) * kWidth + left + 15]);
    EXPECT_EQ(TempDir::ReadAll(temp.Path("Template_0_f0001p001w029h029.raw")).size(), 29u * 29u);
    EXPECT_EQ(TempDir::ReadAll(temp.Path("Template_1_f0003p001w021h021.raw")).size(), 21u * 21u);
    const ResultEntry* e = host.log->GetResults()->Get(0)->entries[0].get();
    ASSERT_NE(e->searchArea, nullptr);
    EXPECT_EQ(e->searchArea->GetFirst(), 30 - 15);
}

TEST_F(TrackingJobTest, NoDumpsWithoutTheDebugSwitch) {
    TrackingHost host(kWidth, kHeight);
    host.MakeFrames(3, [](int f, Picture& p) { p.AddBlob(30 + f, 30); });
    host.SetPoints(1, Param(3));
    host.SetByHand(0, 0, 30, 30);
    ASSERT_EQ(host.Run(0, 2), 1);
    EXPECT_TRUE(TempDir::ReadAll(temp.Path("Searchf0001p001w031h031.raw")).empty());
    EXPECT_EQ(host.log->GetResultFrameCount(), 0);
}

} // namespace
