// The tracking document: the 2-D setup and set-up again, points set by hand and lost, the position
// list with its selection, and the export of the positions.
#include <gtest/gtest.h>

#include <string>

#include "afx/afx_test_app.h"
#include "afx_core/temp_dir.h"
#include "tests/kivic_tracking_layer/tracking_fixture.h"

namespace {

using TrackingDocTest = TrackingLayerTest;

TEST_F(TrackingDocTest, TheSetupDialogProposesOnePointAndTheRateAndCancelChangesNothing) {
    CGenRecordingDoc* doc = Open("rate=250");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPointFrameTable(), nullptr);
    EXPECT_EQ(doc->GetJobTable(), nullptr);
    EXPECT_EQ(doc->GetPointInputMode(), 0);
    EXPECT_FALSE(IsEnabled(ID_TRACK_MATCHING_PARAM)) << "no parameters before the setup";
    EXPECT_FALSE(IsEnabled(ID_TRACK_START));
    EXPECT_FALSE(IsEnabled(ID_TRACK_POINT_INPUT));
    EXPECT_TRUE(IsEnabled(ID_TRACK_SETUP_2D));

    AnswerSetup(4, 500, false);
    Command(ID_TRACK_SETUP_2D);
    EXPECT_EQ(proposedPoints, 1);
    EXPECT_EQ(proposedRate, 250);
    EXPECT_EQ(doc->GetPointFrameTable(), nullptr);
    EXPECT_EQ(doc->GetFrameRate(), 250);
    EXPECT_EQ(PosBar()->GetRowCount(), 0);

    AnswerSetup(3, 500);
    Command(ID_TRACK_SETUP_2D);
    ASSERT_NE(doc->GetPointFrameTable(), nullptr);
    ASSERT_NE(doc->GetJobTable(), nullptr);
    // Thousandths of a pixel, so that sub-pixel positions survive.
    EXPECT_DOUBLE_EQ(doc->GetPointFrameTable()->GetScale(), 0.001);
    EXPECT_EQ(doc->GetPointCount(), 3);
    EXPECT_EQ(doc->GetJobTable()->pointCount, 3);
    EXPECT_EQ(doc->GetJobTable()->params.Count(), 3);
    EXPECT_EQ(doc->GetFrameRate(), 500);
    EXPECT_EQ(doc->GetPointInputMode(), 1);
    EXPECT_EQ(PosBar()->GetRowCount(), 3);
    EXPECT_EQ(PosBar()->GetSelectedRow(), 0) << "the first point is ready for a click";
    EXPECT_TRUE(IsEnabled(ID_TRACK_MATCHING_PARAM));
    EXPECT_TRUE(IsEnabled(ID_TRACK_START));
    EXPECT_EQ(CheckOf(ID_TRACK_POINT_INPUT), 1);

    AnswerSetup(3, 500);
    Command(ID_TRACK_SETUP_2D);
    EXPECT_EQ(proposedPoints, 3) << "the next setup proposes the count in force";
    ASSERT_EQ(doc->GetJobTable()->points.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(doc->GetJobTable()->points[i].number, i + 1);
        EXPECT_EQ(doc->GetJobTable()->points[i].name, "P" + std::to_string(i + 1));
        EXPECT_EQ(doc->GetJobTable()->points[i].flag, 1);
    }
}

TEST_F(TrackingDocTest, AClickSelectsTheNextPointOnlyWhenThatOneHasNoPositionYet) {
    CGenRecordingDoc* doc = OpenTracked("begin=0,end=20", 3);
    ASSERT_NE(doc, nullptr);
    doc->SetPointPosition(1, 10.0, 20.0);
    EXPECT_EQ(PosBar()->GetSelectedRow(), 2);
    doc->SetPointPosition(2, 30.0, 40.0);
    EXPECT_EQ(PosBar()->GetSelectedRow(), 2) << "the last point keeps its row";
    doc->SetPointPosition(1, 11.5, 21.25);
    EXPECT_EQ(PosBar()->GetSelectedRow(), 1) << "point 3 has its position already";
    EXPECT_STREQ(PosBar()->GetRowText(1, 1), "11.5");
    EXPECT_STREQ(PosBar()->GetRowText(1, 2), "21.25");
    EXPECT_STREQ(PosBar()->GetRowText(0, 1), " ") << "a point without position shows blank";

    const std::vector<PositionRow> rows = doc->GetPositionRows(0);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].state, -1);
    EXPECT_EQ(rows[1].state, 0);
    EXPECT_DOUBLE_EQ(rows[1].x, 11.5);
    EXPECT_DOUBLE_EQ(rows[1].y, 21.25);
    EXPECT_EQ(rows[1].flag, 0);
    // The next point's entry as the click handler asks for it.
    PointEntry next;
    EXPECT_TRUE(doc->GetNextPointEntry(0, 1, &next));
    EXPECT_EQ(next.state, 0);
    EXPECT_FALSE(doc->GetNextPointEntry(0, 2, &next)) << "no point after the last";
    EXPECT_FALSE(doc->GetNextPointEntry(5, 0, &next)) << "no record on frame 5";
}

TEST_F(TrackingDocTest, HandSetFramesAreListedOnceInAscendingOrder) {
    CGenRecordingDoc* doc = OpenTracked("begin=0,end=20", 2);
    ASSERT_NE(doc, nullptr);
    for (long frame : {7L, 3L, 7L, 12L, 3L}) {
        doc->SetCurrentFrame(frame, TRUE);
        doc->SetPointPosition(0, 5.0, 5.0);
    }
    EXPECT_EQ(doc->GetJobTable()->inputFrames, (std::vector<std::int32_t>{3, 7, 12}));
    EXPECT_EQ(CTrackingDoc::AddInputFrame(doc->GetJobTable(), 7), -1);
    EXPECT_EQ(CTrackingDoc::AddInputFrame(doc->GetJobTable(), 5), 1);
}

TEST_F(TrackingDocTest, VanishKeepsTheStoredPositionAndListsThePointLost) {
    CGenRecordingDoc* doc = OpenTracked("begin=0,end=20", 2);
    ASSERT_NE(doc, nullptr);
    doc->SetPointPosition(0, 12.0, 34.0);
    PosBar()->SelectRow(0);
    EXPECT_TRUE(IsEnabled(ID_TRACK_VANISH));
    Command(ID_TRACK_VANISH);
    const PointEntry* entry = EntryOf(doc, 0, 0);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->state, PointEntry::kLost);
    EXPECT_EQ(entry->flag, 1);
    EXPECT_EQ(entry->x, 12000) << "the position set before stays stored";
    EXPECT_EQ(entry->y, 34000);
    const std::vector<PositionRow> rows = doc->GetPositionRows(0);
    EXPECT_EQ(rows[0].state, 1);
    EXPECT_EQ(rows[0].x, 0.0);
    EXPECT_STREQ(PosBar()->GetRowText(0, 1), "Vanish");

    PosBar()->SelectRow(-1);
    EXPECT_FALSE(IsEnabled(ID_TRACK_VANISH)) << "no row, nothing to mark";
}

TEST_F(TrackingDocTest, ThePositionListShowsTheActiveRecordingAndFollowsItsFrame) {
    CGenRecordingDoc* first = OpenTracked("begin=0,end=20", 2);
    ASSERT_NE(first, nullptr);
    first->SetPointPosition(0, 1.0, 2.0);
    first->SetCurrentFrame(4, TRUE);
    first->SetPointPosition(0, 3.0, 4.0);
    CGenRecordingDoc* second = OpenTracked("begin=0,end=21", 3);
    ASSERT_TRUE(second != nullptr && second != first);
    EXPECT_EQ(PosBar()->GetRowCount(), 3) << "the active recording's points";
    // A point of the recording behind changes nothing in the list.
    first->SetPoint(4, 1, 9.0, 9.0, TRUE, TRUE);
    first->RefreshPositionList(4);
    EXPECT_EQ(PosBar()->GetRowCount(), 3);
    EXPECT_EQ(first->GetSelectedPositionRow(), -1);

    first->ActivateFirstView();
    Pump();
    EXPECT_EQ(PosBar()->GetRowCount(), 2);
    EXPECT_STREQ(PosBar()->GetRowText(0, 1), "3");
    Command(ID_PLAY_START_FRAME);
    EXPECT_STREQ(PosBar()->GetRowText(0, 1), "1") << "the list follows the frame shown";
    Command(ID_PLAY_FORWARD_STEP);
    EXPECT_STREQ(PosBar()->GetRowText(0, 1), " ");
}

TEST_F(TrackingDocTest, SettingUpAgainKeepsWhatRemainsAndDropsWhatIsGone) {
    CGenRecordingDoc* doc = OpenTracked("begin=0,end=20", 3);
    ASSERT_NE(doc, nullptr);
    JobTable* jobs = doc->GetJobTable();
    jobs->params.Get(0)->Get(0)->templateRadiusX = 4;
    jobs->params.Get(2)->Get(0)->templateRadiusX = 6;
    jobs->points[0].name = "left heel";
    doc->SetPointPosition(0, 10.0, 10.0);
    doc->SetPointPosition(2, 30.0, 30.0);
    doc->SetCurrentFrame(5, TRUE);
    doc->SetPointPosition(2, 35.0, 35.0); // frame 5 holds only point 3 by hand
    doc->SetCurrentFrame(8, TRUE);
    doc->SetPoint(8, 1, 20.0, 20.0, FALSE, TRUE); // tracked, not by hand
    ASSERT_EQ(jobs->inputFrames, (std::vector<std::int32_t>{0, 5}));

    doc->ApplySetup2d(2, 100);
    EXPECT_EQ(doc->GetPointCount(), 2);
    EXPECT_EQ(jobs->pointCount, 2);
    ASSERT_EQ(jobs->params.Count(), 2);
    EXPECT_EQ(jobs->params.Get(0)->Get(0)->templateRadiusX, 4) << "a remaining point keeps its parameters";
    ASSERT_EQ(jobs->points.size(), 2u);
    EXPECT_EQ(jobs->points[0].name, "left heel");
    for (int r = 0; r < doc->GetPointFrameTable()->Count(); ++r)
        EXPECT_EQ(doc->GetPointFrameTable()->Get(r)->EntryCount(), 2);
    EXPECT_EQ(EntryOf(doc, 0, 0)->x, 10000);
    EXPECT_EQ(EntryOf(doc, 8, 1)->state, 0);
    EXPECT_EQ(jobs->inputFrames, (std::vector<std::int32_t>{0})) << "frame 5 had only the removed point";

    doc->ApplySetup2d(4, 100);
    ASSERT_EQ(jobs->params.Count(), 4);
    EXPECT_EQ(jobs->params.Get(0)->Get(0)->templateRadiusX, 4);
    EXPECT_EQ(jobs->params.Get(2)->Get(0)->templateRadiusX, MatchingParam().templateRadiusX)
        << "a point added anew starts with the defaults";
    ASSERT_EQ(jobs->points.size(), 4u) << "one description per point, none twice";
    EXPECT_EQ(jobs->points[3].number, 4);
    EXPECT_EQ(jobs->points[3].name, "P4");
    ASSERT_EQ(EntryOf(doc, 0, 3) != nullptr, true);
    EXPECT_EQ(EntryOf(doc, 0, 2)->state, -1) << "the removed point's old entry did not come back";
    EXPECT_EQ(EntryOf(doc, 0, 3)->state, -1);
    EXPECT_EQ(EntryOf(doc, 0, 0)->x, 10000);
    EXPECT_EQ(PosBar()->GetRowCount(), 4);
}

TEST_F(TrackingDocTest, SettingUpFewerPointsAsksBeforeRemovingTheirPositions) {
    CGenRecordingDoc* doc = OpenTracked("begin=0,end=20,rate=250", 4);
    ASSERT_NE(doc, nullptr);
    doc->SetPointPosition(0, 10.0, 10.0);
    doc->SetPointPosition(2, 30.0, 30.0);         // point 3 by hand on frame 0
    doc->SetPoint(5, 1, 20.0, 20.0, FALSE, TRUE); // point 2 tracked on frame 5
    doc->SetPoint(6, 2, 0.0, 0.0, FALSE, FALSE);  // point 3 lost while tracking: no position
    doc->SetPoint(7, 2, 35.0, 35.0, FALSE, TRUE); // point 3 tracked on frame 7
    // Point 4 holds nothing: removing it alone asks nothing.
    AnswerSetup(3, 250);
    Command(ID_TRACK_SETUP_2D);
    EXPECT_TRUE(boxes.empty());
    ASSERT_EQ(doc->GetPointCount(), 3);

    const std::string question = "The new setup removes 2 of the 3 points, and with them 3 tracked or "
                                 "hand-set positions.\nRemove them?";
    for (int answer : {IDNO, IDCANCEL}) {
        MessageBoxRecorder asked(answer);
        AnswerSetup(1, 500);
        Command(ID_TRACK_SETUP_2D);
        EXPECT_EQ(asked.texts, std::vector<std::string>{question});
        EXPECT_EQ(doc->GetPointCount(), 3) << "answer " << answer;
        EXPECT_EQ(doc->GetFrameRate(), 250);
        EXPECT_EQ(EntryOf(doc, 7, 2)->state, PointEntry::kFound);
        EXPECT_EQ(EntryOf(doc, 0, 2)->flag, 1);
        EXPECT_EQ(doc->GetJobTable()->params.Count(), 3);
        EXPECT_EQ(PosBar()->GetRowCount(), 3);
    }
    MessageBoxRecorder asked(IDYES);
    AnswerSetup(1, 500);
    Command(ID_TRACK_SETUP_2D);
    EXPECT_EQ(asked.texts, std::vector<std::string>{question});
    EXPECT_EQ(doc->GetPointCount(), 1);
    EXPECT_EQ(doc->GetFrameRate(), 500);
    EXPECT_EQ(EntryOf(doc, 7, 2), nullptr);
    EXPECT_EQ(EntryOf(doc, 0, 0)->x, 10000);
}

TEST_F(TrackingDocTest, PointInputSwitchesBetweenTrackedPointsAndTheReticle) {
    CGenRecordingDoc* doc = OpenTracked("begin=0,end=20", 1);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->IsTrackingInput());
    Command(ID_TRACK_POINT_INPUT);
    EXPECT_EQ(doc->GetPointInputMode(), 0);
    EXPECT_EQ(CheckOf(ID_TRACK_POINT_INPUT), 0);
    EXPECT_TRUE(IsEnabled(ID_RETICLE_INPUT)) << "the reticle's point input stays reachable";
    Command(ID_TRACK_POINT_INPUT);
    EXPECT_EQ(doc->GetPointInputMode(), 1);
    EXPECT_EQ(CheckOf(ID_TRACK_POINT_INPUT), 1);
}

TEST_F(TrackingDocTest, ExportWritesEveryFrameWithTheNamedPoints) {
    CGenRecordingDoc* doc = OpenTracked("begin=0,end=20", 2);
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(IsEnabled(ID_TRACK_EXPORT)) << "nothing to export yet";
    doc->SetPointPosition(0, 1.5, 2.25);
    doc->SetPointPosition(1, 3.0, 4.0);
    doc->SetCurrentFrame(1, TRUE);
    doc->SetPointPosition(0, 5.0, 6.0);
    ASSERT_TRUE(IsEnabled(ID_TRACK_EXPORT));
    TempDir dir;
    const std::string path = dir.Path("points.csv");
    AfxSetFileDialogHook([&path](CFileDialog* dialog) {
        dialog->SetPathName(path.c_str());
        return static_cast<INT_PTR>(IDOK);
    });
    Command(ID_TRACK_EXPORT);
    AfxSetFileDialogHook(nullptr);
    EXPECT_EQ(TempDir::ReadAll(path), "Frame No.,P1-X,P1-Y,P2-X,P2-Y\n"
                                      "0,1.500,2.250,3.000,4.000\n"
                                      "1,5.000,6.000,,\n");
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(doc->ExportPositions((dir.Path("missing") + "/points.csv").c_str()));
}

} // namespace
