// The tracking window: the capture of the shown picture (rows of any width), a whole run over moving
// spots stored in the table's convention, what a run refuses while it works and how it is stopped, and
// the commands around it (Matching Param, the redraw message, the setup's effect on the job).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include <QKeyEvent>
#include <QWidget>

#include "KivIc/Bars/CtrlBar.h"
#include "KivIc/Main/MainFrame.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "KivIc/Tracking/MatParDlg.h"
#include "Matching/TemplateInfo.h"
#include "afx/afx_test_app.h"
#include "tests/kivic_tracking_layer/tracking_fixture.h"

namespace {

class TrackingFrameTest : public TrackingLayerTest {
protected:
    // A 320 x 240 recording of frames 0..29 with two spots, both set by hand on frame 0 at their
    // centres.
    CGenRecordingDoc* OpenSpots(const std::string& extra = "") {
        CGenRecordingDoc* doc = OpenTracked("begin=0,end=29,width=320,height=240,spots=2" + extra, 2);
        if (doc == nullptr)
            return nullptr;
        for (int k = 0; k < 2; ++k) {
            const POINT c = GenSpotCentre(doc->GetSettings(), k, 0);
            SetByHand(doc, k, c.x, c.y);
        }
        return doc;
    }
    // The stored position of a found point as picture pixels (column, row from the top).
    static bool PixelOf(CGenRecordingDoc* doc, long frame, int index, double* x, double* row) {
        const PointEntry* entry = EntryOf(doc, frame, index);
        if (entry == nullptr || entry->state != PointEntry::kFound)
            return false;
        const PositionRow p = doc->GetPointFrameTable()->GetPosition(*entry);
        *x = p.x;
        *row = doc->GetSettings().height - p.y;
        return true;
    }
};

TEST_F(TrackingFrameTest, TheCaptureCopiesEveryRowOfAPictureWhoseRowsArePadded) {
    // 37 x 3 = 111 bytes per row: the bitmap's rows are padded to 112.
    CGenRecordingDoc* doc = OpenTracked("width=37,height=21,spots=1", 1);
    ASSERT_NE(doc, nullptr);
    CGenRecordingFrame* frame = TrackingFrameOf(doc);
    int width = 0;
    int height = 0;
    int bits = 0;
    int extra = 0;
    const BYTE* rgb = frame->GetFrameRgb(0, &width, &height, &bits, &extra);
    ASSERT_NE(rgb, nullptr);
    EXPECT_EQ(width, 37);
    EXPECT_EQ(height, 21);
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(extra, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, doc->GetFrameBitmap());
    int wrong = 0;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const COLORREF pixel = GetPixel(dc, column, row);
            const BYTE* p = rgb + (static_cast<std::size_t>(row) * width + column) * 3;
            if (p[0] != GetBValue(pixel) || p[1] != GetGValue(pixel) || p[2] != GetRValue(pixel))
                ++wrong;
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(wrong, 0) << "pixels that differ from the picture";
    const POINT spot = GenSpotCentre(doc->GetSettings(), 0, 0);
    const BYTE* centre = rgb + (static_cast<std::size_t>(spot.y) * width + spot.x) * 3;
    EXPECT_EQ(centre[0] + centre[1] + centre[2], 3 * 255) << "the spot's bright core, top-down";

    const BYTE* gray = frame->GetFrameGray(0, &width, &height);
    ASSERT_NE(gray, nullptr);
    EXPECT_EQ(gray[static_cast<std::size_t>(spot.y) * width + spot.x], 255);
    EXPECT_EQ(gray[static_cast<std::size_t>(spot.y) * width + spot.x - 5], 0) << "the dark ring";

    // A table position and a picture row, both ways.
    double x = 0.0;
    double y = 0.0;
    frame->ConvertPoint(21, 3.5, 4.0, &x, &y);
    EXPECT_DOUBLE_EQ(x, 3.5);
    EXPECT_DOUBLE_EQ(y, 17.0);
}

TEST_F(TrackingFrameTest, ARunTracksTheSpotsToTheEndOfThePlayRange) {
    CGenRecordingDoc* doc = OpenSpots();
    ASSERT_NE(doc, nullptr);
    CGenRecordingFrame* frame = TrackingFrameOf(doc);
    ASSERT_TRUE(IsEnabled(ID_TRACK_START));
    Command(ID_TRACK_START);
    EXPECT_FALSE(frame->IsRunning());
    EXPECT_FALSE(doc->IsTrackingRun());
    EXPECT_EQ(doc->GetCurrentFrame(), 29) << "the run ends on the last frame";
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    for (long f = 1; f <= 29; ++f) {
        for (int k = 0; k < 2; ++k) {
            const POINT c = GenSpotCentre(doc->GetSettings(), k, f);
            double x = 0.0;
            double row = 0.0;
            ASSERT_TRUE(PixelOf(doc, f, k, &x, &row)) << "frame " << f << " point " << k;
            EXPECT_NEAR(x, c.x, 0.5) << "frame " << f << " point " << k;
            EXPECT_NEAR(row, c.y, 0.5) << "frame " << f << " point " << k;
            EXPECT_EQ(EntryOf(doc, f, k)->flag, 0) << "tracked, not by hand";
        }
    }
    EXPECT_EQ(doc->GetJobTable()->inputFrames, (std::vector<std::int32_t>{0}));
    ASSERT_EQ(PosBar()->GetRowCount(), 2);
    const POINT last = GenSpotCentre(doc->GetSettings(), 0, 29);
    EXPECT_NEAR(std::atof(PosBar()->GetRowText(0, 1)), last.x, 0.5) << "the list shows the last frame";
    EXPECT_NEAR(std::atof(PosBar()->GetRowText(0, 2)), 240 - last.y, 0.5);
    EXPECT_GT(frame->GetMatchingLog()->GetTimers()->Count(), 0);

    // Set up again with one point (its positions removed too): the job forgets the second point's
    // templates.
    EXPECT_EQ(frame->GetTrackingJob()->GetTemplateSetCount(), 2);
    MessageBoxRecorder remove(IDYES);
    AnswerSetup(1, 100);
    Command(ID_TRACK_SETUP_2D);
    EXPECT_EQ(frame->GetTrackingJob()->GetTemplateSetCount(), 1);
}

TEST_F(TrackingFrameTest, DuringARunTheDocumentIsLockedAndStopEndsItAfterTheFrame) {
    CGenRecordingDoc* other = OpenTracked("begin=0,end=30", 1);
    CGenRecordingDoc* doc = OpenSpots();
    ASSERT_TRUE(doc != nullptr && other != nullptr && doc != other);
    CGenRecordingFrame* frame = TrackingFrameOf(doc);
    CGenRecordingView* view = ViewOf(doc);
    long stoppedAt = -1;
    int checks = 0;
    WhenPumped([&]() {
        if (!frame->IsRunning() || doc->GetCurrentFrame() < 3)
            return false;
        ++checks;
        EXPECT_TRUE(doc->IsBusy());
        for (UINT id : std::initializer_list<UINT>{
                 ID_TRACK_START, ID_TRACK_SETUP_2D, ID_TRACK_MATCHING_PARAM, ID_TRACK_VANISH,
                 ID_TRACK_POINT_INPUT, ID_TRACK_EXPORT, ID_PLAY_PLAY, ID_PLAY_FORWARD_STEP,
                 ID_PLAY_START_FRAME, ID_PLAY_LOOP, ID_PLAY_SET_END, ID_RETICLE_INPUT, ID_SYNC_MODE,
                 ID_IMAGE_RELOAD, ID_FILE_CONVERT_SAVE, ID_FILE_CLOSE})
            EXPECT_FALSE(IsEnabled(id)) << id;
        EXPECT_TRUE(IsEnabled(ID_PLAY_STOP)) << "Stop ends the run";
        EXPECT_FALSE(Bar()->GetDlgItem(ID_PLAY_PLAY) == nullptr);

        // Nothing moves the document but the run; a disabled command sent anyway changes nothing.
        const long at = doc->GetCurrentFrame();
        Command(ID_PLAY_START_FRAME);
        doc->SetCurrentFrame(0, TRUE);
        main->SyncSetCurrentFrame(0);
        EXPECT_EQ(doc->GetCurrentFrame(), at);
        doc->Play();
        EXPECT_FALSE(doc->IsPlaying());
        // A click sets nothing.
        PosBar()->SelectRow(0);
        const CPoint click = view->TablePointToClient(5.0, 5.0);
        view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(click.x, click.y));
        const PointEntry* entry = EntryOf(doc, at, 0);
        EXPECT_TRUE(entry == nullptr || entry->flag == 0);

        // Neither the window nor the program closes.
        boxes.clear();
        frame->SendMessage(WM_CLOSE);
        EXPECT_EQ(boxes.size(), 1u) << "the user is told why";
        main->SendMessage(WM_CLOSE);
        EXPECT_EQ(boxes.size(), 2u);
        EXPECT_NE(frame->GetSafeHwnd(), nullptr);
        EXPECT_NE(main->GetSafeHwnd(), nullptr);
        EXPECT_EQ(app->m_pMainWnd, main);

        // Another window active: synchronised mode still waits for the run, the other recording plays.
        other->ActivateFirstView();
        EXPECT_EQ(main->MDIGetActive(), TrackingFrameOf(other));
        EXPECT_FALSE(IsEnabled(ID_SYNC_MODE));
        EXPECT_TRUE(IsEnabled(ID_PLAY_FORWARD_STEP));
        Command(ID_SYNC_MODE);
        EXPECT_FALSE(main->IsSyncMode());

        stoppedAt = doc->GetCurrentFrame();
        frame->SendMessage(WM_COMMAND, ID_PLAY_STOP, 0);
        return true;
    });
    Command(ID_TRACK_START);
    ASSERT_EQ(checks, 1) << "the run did not let messages through";
    EXPECT_FALSE(frame->IsRunning());
    EXPECT_FALSE(doc->IsBusy());
    EXPECT_EQ(doc->GetCurrentFrame(), stoppedAt) << "the run ended with the frame it was on";
    EXPECT_EQ(doc->GetPointFrameTable()->FindFrame(stoppedAt + 1), nullptr);
    double x = 0.0;
    double row = 0.0;
    EXPECT_TRUE(PixelOf(doc, stoppedAt - 1, 0, &x, &row)) << "what was stored stays";
    EXPECT_TRUE(PixelOf(doc, stoppedAt, 1, &x, &row)) << "the frame's points were all tracked";

    // Unlocked again.
    doc->ActivateFirstView();
    EXPECT_TRUE(IsEnabled(ID_PLAY_START_FRAME));
    EXPECT_TRUE(IsEnabled(ID_TRACK_START));
    EXPECT_TRUE(IsEnabled(ID_SYNC_MODE));
    Command(ID_PLAY_START_FRAME);
    EXPECT_EQ(doc->GetCurrentFrame(), 0);
}

TEST_F(TrackingFrameTest, EscapeEndsARun) {
    CGenRecordingDoc* doc = OpenSpots();
    ASSERT_NE(doc, nullptr);
    CGenRecordingFrame* frame = TrackingFrameOf(doc);
    CGenRecordingView* view = ViewOf(doc);
    long stoppedAt = -1;
    WhenPumped([&]() {
        if (!frame->IsRunning() || doc->GetCurrentFrame() < 2)
            return false;
        stoppedAt = doc->GetCurrentFrame();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(view->GetWidget(), &press);
        return true;
    });
    Command(ID_TRACK_START);
    ASSERT_GE(stoppedAt, 2);
    EXPECT_EQ(doc->GetCurrentFrame(), stoppedAt);
    EXPECT_LT(stoppedAt, 29);
    EXPECT_TRUE(boxes.empty());

    // Started again where it stopped, no point has a hand-set position there: the user is told, and
    // nothing runs.
    const int records = doc->GetPointFrameTable()->Count();
    Command(ID_TRACK_START);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "No point has a position set by hand on frame " + std::to_string(stoppedAt) +
                            ". Set the points to track on this frame first.");
    EXPECT_EQ(doc->GetCurrentFrame(), stoppedAt);
    EXPECT_EQ(doc->GetPointFrameTable()->Count(), records);
    EXPECT_EQ(frame->GetMatchingLog()->GetTimers()->Count(), 0) << "no run";
}

TEST_F(TrackingFrameTest, ATemplateLargerThanThePictureIsRefusedBeforeTheRun) {
    CGenRecordingDoc* doc = OpenSpots();
    ASSERT_NE(doc, nullptr);
    CGenRecordingFrame* frame = TrackingFrameOf(doc);
    doc->GetJobTable()->params.Get(1)->Get(0)->templateRadiusY = 100;
    Command(ID_TRACK_START);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0],
              "The template of point 2 does not fit into the picture: radius 10 x 100 needs 29 x 283 "
              "pixels with room to turn, the picture has 320 x 240.");
    EXPECT_EQ(doc->GetCurrentFrame(), 0);
    EXPECT_EQ(doc->GetPointFrameTable()->Count(), 1) << "nothing stored";
    EXPECT_EQ(frame->GetMatchingLog()->GetTimers()->Count(), 0) << "no run";
}

TEST_F(TrackingFrameTest, ARunNeedsAPictureAndAStartBeforeThePlayEnd) {
    CGenRecordingDoc* doc = OpenSpots();
    ASSERT_NE(doc, nullptr);
    CGenRecordingFrame* frame = TrackingFrameOf(doc);
    const HBITMAP picture = doc->GetFrameBitmap();
    doc->SetFrameBitmap(nullptr);
    EXPECT_FALSE(IsEnabled(ID_TRACK_START));
    static_cast<CCmdTarget*>(frame)->OnCmdMsg(ID_TRACK_START, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(frame->GetMatchingLog()->GetTimers()->Count(), 0) << "no run without a picture";
    EXPECT_EQ(doc->GetPointFrameTable()->Count(), 1);
    EXPECT_EQ(frame->GetFrameRgb(0, nullptr, nullptr, nullptr, nullptr), nullptr);
    doc->SetFrameBitmap(picture);

    doc->SetCurrentFrame(10, TRUE);
    doc->SetPlayEnd(5);
    Command(ID_TRACK_START);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "再生終了フレームより前のフレームから始めてください。");
    EXPECT_EQ(doc->GetPointFrameTable()->Count(), 1);
}

TEST_F(TrackingFrameTest, MatchingParamEditsTheDocumentsParametersAndEveryApplyRedraws) {
    CGenRecordingDoc* doc = OpenSpots();
    ASSERT_NE(doc, nullptr);
    CGenRecordingView* view = ViewOf(doc);
    int redrawsInDialog = -1;
    const int before = view->GetFrameChangeCount();
    AfxSetModalHook([&](CDialog* dialog) {
        dialog->SetDlgItemInt(CMatParDlg::IDC_MATPAR_TEMPLATE_WIDTH, 6, TRUE);
        static_cast<CButton*>(dialog->GetDlgItem(CMatParDlg::IDC_MATPAR_APPLY))->Click();
        redrawsInDialog = view->GetFrameChangeCount() - before;
        dialog->SendMessage(WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_TRUE(IsEnabled(ID_TRACK_MATCHING_PARAM));
    Command(ID_TRACK_MATCHING_PARAM);
    AfxSetModalHook(nullptr);
    EXPECT_EQ(doc->GetJobTable()->params.Get(0)->Get(0)->templateRadiusX, 6);
    EXPECT_EQ(redrawsInDialog, 1) << "the apply's message redrew the view at once";
    EXPECT_EQ(TrackingFrameOf(doc)->SendMessage(WM_MATPAR_APPLIED, 0, 0), 0);
}

} // namespace
