// The job's single steps: prediction, search-area placement, template choice; the point table, the
// job table and the parameter names.
#include <gtest/gtest.h>

#include "KivIc/Tracking/StrMatchingParam.h"
#include "Matching/MakeMatchingClass.h"
#include "Matching/TemplateInfo.h"
#include "kivic_tracking/tracking_host.h"

namespace {

constexpr int kHeight = 100;

// A point found (or lost) at table coordinates, not by hand.
void Found(TrackingHost& host, long frame, double x, double y, bool found = true) {
    SetPointInTable(*host.table, nullptr, frame, 1, 0, x, y, found ? TRUE : FALSE, FALSE);
}

TEST(PredictPositionTest, VelocityFromTheTwoLastFoundPositions) {
    TrackingHost host(120, kHeight);
    host.SetPoints(1);
    host.job.SetTables(&host.jobs, host.table.get());
    Found(host, 8, 96, 50);
    Found(host, 9, 0, 0, false); // lost records are passed over
    Found(host, 10, 100, 50);
    int x = 0;
    int y = 0;
    ASSERT_TRUE(host.job.PredictPosition(1, 1, 10, 0, kHeight, &x, &y));
    // Picture rows count from the top: the table's y of 50 is row 50 of 100.
    EXPECT_EQ(x, 102);
    EXPECT_EQ(y, kHeight - 50);
    ASSERT_TRUE(host.job.PredictPosition(0, 1, 10, 0, kHeight, &x, &y));
    EXPECT_EQ(x, 100);
    // Looked up from frame 9: only frame 8 lies at or before it.
    ASSERT_TRUE(host.job.PredictPosition(1, 1, 9, 0, kHeight, &x, &y));
    EXPECT_EQ(x, 96);
    // A hand-set last position after positions that were not set by hand starts a new motion.
    host.jobs.AddInputFrame(10);
    ASSERT_TRUE(host.job.PredictPosition(1, 1, 10, 0, kHeight, &x, &y));
    EXPECT_EQ(x, 100);
    // Backward, the motion runs the other way: from 10 and 8 toward 7.
    host.jobs.inputFrames.clear();
    ASSERT_TRUE(host.job.PredictPosition(1, 1, 7, 1, kHeight, &x, &y));
    EXPECT_EQ(x, 94);
    host.jobs.AddInputFrame(8);
    ASSERT_TRUE(host.job.PredictPosition(1, 1, 7, 1, kHeight, &x, &y));
    EXPECT_EQ(x, 96);
}

TEST(PredictPositionTest, FailsWithoutAFoundEntry) {
    TrackingHost host(120, kHeight);
    host.SetPoints(1);
    host.job.SetTables(&host.jobs, host.table.get());
    Found(host, 3, 0, 0, false);
    Found(host, 4, 0, 0, false);
    int x = 7;
    int y = 7;
    EXPECT_FALSE(host.job.PredictPosition(0, 1, 5, 0, kHeight, &x, &y));
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
    EXPECT_FALSE(host.job.PredictPosition(1, 1, 5, 0, kHeight, &x, &y));
    // A found position only after the frame does not count running forward.
    Found(host, 6, 10, 10);
    EXPECT_FALSE(host.job.PredictPosition(1, 1, 5, 0, kHeight, &x, &y));
    EXPECT_TRUE(host.job.PredictPosition(1, 1, 5, 1, kHeight, &x, &y));
}

TEST(ClampSearchAreaTest, MovesTheAreaInsideThePictureWidenedByTheReach) {
    int left = 0;
    int top = 0;
    ASSERT_TRUE(CTracking::ClampSearchArea(100, 80, 0, 0, 50, 40, 31, 21, &left, &top));
    EXPECT_EQ(left, 35);
    EXPECT_EQ(top, 30);
    ASSERT_TRUE(CTracking::ClampSearchArea(100, 80, 0, 0, 3, 78, 31, 21, &left, &top));
    EXPECT_EQ(left, 0);
    EXPECT_EQ(top, 59);
    // Past the edge by at most the reach, on every side.
    ASSERT_TRUE(CTracking::ClampSearchArea(100, 80, 5, 4, 3, 78, 31, 21, &left, &top));
    EXPECT_EQ(left, -5);
    EXPECT_EQ(top, 63);
    ASSERT_TRUE(CTracking::ClampSearchArea(100, 80, 5, 4, 98, 1, 31, 21, &left, &top));
    EXPECT_EQ(left, 74);
    EXPECT_EQ(top, -4);
    ASSERT_TRUE(CTracking::ClampSearchArea(100, 80, 5, 4, 50, 40, 110, 88, &left, &top));
    EXPECT_EQ(left, -5);
    EXPECT_EQ(top, -4);
    EXPECT_FALSE(CTracking::ClampSearchArea(100, 80, 0, 0, 50, 40, 101, 21, &left, &top));
    EXPECT_FALSE(CTracking::ClampSearchArea(100, 80, 0, 0, 50, 40, 31, 81, &left, &top));
    EXPECT_FALSE(CTracking::ClampSearchArea(100, 80, 5, 4, 50, 40, 111, 21, &left, &top));
    EXPECT_FALSE(CTracking::ClampSearchArea(100, 80, 5, 4, 50, 40, 31, 89, &left, &top));
}

TEST(MatchTemplatesTest, TheFirstOfEqualScoresWinsAndEveryMapIsKept) {
    // A disc turned by 90 degrees is the same disc: four equal templates.
    Picture base(29, 29, 20);
    base.AddBlob(14, 14, 3.0, 200.0);
    CTemplateInfo set;
    set.GetBaseImage()->Set(base.pixels.data(), 29, 29, 1);
    MatchingParam mp;
    mp.rotate = 1;
    mp.rotationStep = 0;
    set.BuildRotatedTemplates(mp, 21, 21);
    ASSERT_EQ(set.GetTemplateCount(), 4);

    Picture frame(60, 50, 20);
    frame.AddBlob(31, 22, 3.0, 200.0);
    MakeMatchingClass factory(0);
    factory.GetMatcher()->SetImage(frame.pixels.data(), 60, 50);
    std::vector<std::vector<float>> maps;
    int bx = 0, by = 0, mw = 0, mh = 0, best = -1;
    const double score =
        CTracking::MatchTemplates(set, *factory.GetMatcher(), 15, 7, 31, 31, &bx, &by, &mw, &mh, maps, &best);
    EXPECT_NEAR(score, 1.0, 1e-6);
    EXPECT_EQ(best, 0);
    EXPECT_EQ(bx, 21);
    EXPECT_EQ(by, 12);
    EXPECT_EQ(mw, 11);
    EXPECT_EQ(mh, 11);
    ASSERT_EQ(maps.size(), 4u);
    EXPECT_EQ(maps[3].size(), 121u);

    CTemplateInfo empty;
    maps.clear();
    EXPECT_EQ(CTracking::MatchTemplates(empty, *factory.GetMatcher(), 15, 7, 31, 31, &bx, &by, &mw, &mh, maps,
                                        &best),
              -1.0);
    EXPECT_TRUE(maps.empty());
}

TEST(TemplateSetsTest, SetsOfRemovedPointsAreDropped) {
    TrackingHost host(80, 60);
    host.MakeFrames(1, [](int, Picture& p) {
        p.AddBlob(20, 20);
        p.AddBlob(50, 30);
        p.AddBlob(60, 40);
    });
    host.SetPoints(3);
    host.job.SetTables(&host.jobs, host.table.get());
    host.shown = 0;
    int w = 0, h = 0;
    const BYTE* gray = host.GetFrameGray(0, &w, &h);
    ASSERT_TRUE(host.job.UpdateTemplate(3, gray, 60, 40, w, h));
    ASSERT_TRUE(host.job.UpdateTemplate(1, gray, 20, 20, w, h));
    EXPECT_EQ(host.job.GetTemplateSetCount(), 3);
    EXPECT_EQ(host.job.GetTemplateSet(2), nullptr);
    // Outside the picture there is nothing to cut.
    EXPECT_FALSE(host.job.UpdateTemplate(2, gray, -1, 20, w, h));
    EXPECT_FALSE(host.job.UpdateTemplate(2, gray, 20, 60, w, h));
    host.job.DropTemplateSets(1);
    EXPECT_EQ(host.job.GetTemplateSetCount(), 1);
    EXPECT_NE(host.job.GetTemplateSet(1), nullptr);
    EXPECT_EQ(host.job.GetTemplateSet(3), nullptr);
    host.job.DropTemplateSets(0);
    EXPECT_EQ(host.job.GetTemplateSet(1), nullptr);
}

TEST(PointTableTest, HandSetEntriesAndInputFrames) {
    JobTable jobs;
    jobs.pointCount = 2;
    auto table = NewPointTable();
    SetPointInTable(*table, &jobs, 7, 2, 1, 10.25, 20.5, TRUE, TRUE);
    SetPointInTable(*table, &jobs, 3, 2, 0, 1, 2, FALSE, TRUE);
    SetPointInTable(*table, &jobs, 7, 2, 0, 5, 6, TRUE, TRUE);
    SetPointInTable(*table, &jobs, 9, 2, 0, 5, 6, TRUE, FALSE);
    EXPECT_EQ(jobs.inputFrames, (std::vector<std::int32_t>{3, 7}));
    EXPECT_EQ(jobs.AddInputFrame(7), -1);
    EXPECT_EQ(jobs.AddInputFrame(5), 1);
    int state = 9;
    ASSERT_TRUE(GetInputState(jobs, *table, 7, 2, &state));
    EXPECT_EQ(state, 0);
    ASSERT_TRUE(GetInputState(jobs, *table, 3, 1, &state));
    EXPECT_EQ(state, 1);
    EXPECT_FALSE(GetInputState(jobs, *table, 3, 2, &state)); // that entry was not set by hand
    EXPECT_FALSE(GetInputState(jobs, *table, 9, 1, &state)); // not an input frame
    EXPECT_FALSE(GetInputState(jobs, *table, 5, 1, &state)); // listed, but without a record
    const PositionRow p = table->GetPosition(*table->FindFrame(7)->GetEntry(1));
    EXPECT_NEAR(p.x, 10.25, 0.0011);
    EXPECT_NEAR(p.y, 20.5, 0.0011);
    // A record made for fewer points grows to the point set.
    SetPointInTable(*table, nullptr, 9, 2, 3, 1, 1, TRUE, FALSE);
    EXPECT_EQ(table->FindFrame(9)->EntryCount(), 4);
    EXPECT_EQ(table->FindFrame(9)->GetEntry(2)->state, PointEntry::kNoPosition);
}

TEST(StrMatchingParamTest, NamesOfTheCodes) {
    for (int method = -1; method <= 7; ++method)
        EXPECT_EQ(CStrMatchingParam::GetMethodName(method), MakeMatchingClass::MethodName(method));
    EXPECT_STREQ(CStrMatchingParam::GetMethodName(7), "不明な方法");
    EXPECT_STREQ(CStrMatchingParam::GetPredictionName(1), "直線予測（速度考慮）");
    EXPECT_STREQ(CStrMatchingParam::GetPredictionName(3), "不明な予測法");
    EXPECT_STREQ(CStrMatchingParam::GetRotationName(0, 5), "回転無し");
    EXPECT_STREQ(CStrMatchingParam::GetRotationName(1, 7), "5度毎回転");
    EXPECT_STREQ(CStrMatchingParam::GetRotationName(1, 8), "不明なタイプ");
    EXPECT_STREQ(CStrMatchingParam::GetRotationName(2, 0), "不明なタイプ");
    EXPECT_STREQ(CStrMatchingParam::GetTemplateTypeName(1), "矩形拡張型");
    EXPECT_STREQ(CStrMatchingParam::GetTemplateTypeName(2), "不明なタイプ");
}

} // namespace
