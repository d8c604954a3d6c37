// The recording window: its playback commands and their enabling, the control bar kept in step, the
// zoom field, picture information, activation and closing by the close box.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>

#include <QMdiSubWindow>

#include "KivIc/Bars/CtrlBar.h"
#include "KivIc/Helpers/PropertyDlg.h"
#include "KivIc/Play/PlayThread.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "platform/win32/system.h"
#include "tests/kivic_support/RecordingTestApp.h"

namespace {

constexpr UINT kPlaybackCommands[] = {
    ID_PLAY_START_FRAME, ID_PLAY_REVERSE_STEP, ID_PLAY_REWIND, ID_PLAY_PLAY,      ID_PLAY_FORWARD_STEP,
    ID_PLAY_END_FRAME,   ID_PLAY_T0,           ID_PLAY_LOOP,   ID_PLAY_SET_BEGIN, ID_PLAY_SET_END};

using ChildFrameTest = RecordingAppTest;

TEST_F(ChildFrameTest, StepsAndJumpsMoveTheDocument) {
    CGenRecordingDoc* doc = Open("begin=-10,end=99");
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(IsEnabled(ID_PLAY_REVERSE_STEP));
    EXPECT_FALSE(IsEnabled(ID_PLAY_START_FRAME));
    EXPECT_FALSE(IsEnabled(ID_PLAY_STOP));
    EXPECT_TRUE(IsEnabled(ID_PLAY_PLAY));
    Command(ID_PLAY_FORWARD_STEP);
    EXPECT_EQ(doc->GetCurrentFrame(), -9);
    EXPECT_TRUE(IsEnabled(ID_PLAY_REVERSE_STEP));
    Command(ID_PLAY_END_FRAME);
    EXPECT_EQ(doc->GetCurrentFrame(), 99);
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "+00099");
    EXPECT_FALSE(IsEnabled(ID_PLAY_FORWARD_STEP));
    EXPECT_FALSE(IsEnabled(ID_PLAY_PLAY));
    EXPECT_TRUE(IsEnabled(ID_PLAY_REWIND));
    // A disabled command sent anyway changes nothing.
    Command(ID_PLAY_FORWARD_STEP);
    EXPECT_EQ(doc->GetCurrentFrame(), 99);
    Command(ID_PLAY_REVERSE_STEP);
    EXPECT_EQ(doc->GetCurrentFrame(), 98);
    Command(ID_PLAY_T0);
    EXPECT_EQ(doc->GetCurrentFrame(), 0);
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "+00000");
    Command(ID_PLAY_START_FRAME);
    EXPECT_EQ(doc->GetCurrentFrame(), -10);
}

TEST_F(ChildFrameTest, T0NeedsARecordRangeAroundZero) {
    CGenRecordingDoc* doc = Open("begin=5,end=99");
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(IsEnabled(ID_PLAY_T0));
    CGenRecordingDoc* other = Open("begin=-20,end=-1");
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(IsEnabled(ID_PLAY_T0));
    CGenRecordingDoc* around = Open("begin=0,end=10");
    ASSERT_NE(around, nullptr);
    Command(ID_PLAY_FORWARD_STEP);
    EXPECT_TRUE(IsEnabled(ID_PLAY_T0));
}

TEST_F(ChildFrameTest, JumpToStartLandsOnAnInnerPlayBegin) {
    CGenRecordingDoc* doc = Open("begin=0,end=99");
    ASSERT_NE(doc, nullptr);
    Command(ID_PLAY_FORWARD_STEP);
    Command(ID_PLAY_FORWARD_STEP);
    Command(ID_PLAY_FORWARD_STEP);
    Command(ID_PLAY_SET_BEGIN);
    EXPECT_EQ(doc->GetPlayBegin(), 3);
    EXPECT_STREQ(Field(IDC_CTRL_PLAYBEGIN), "+00003");
    Command(ID_PLAY_END_FRAME);
    Command(ID_PLAY_REVERSE_STEP);
    Command(ID_PLAY_SET_END);
    EXPECT_EQ(doc->GetPlayEnd(), 98);
    EXPECT_STREQ(Field(IDC_CTRL_PLAYEND), "+00098");
    Command(ID_PLAY_START_FRAME);
    EXPECT_EQ(doc->GetCurrentFrame(), 3);
    Command(ID_PLAY_END_FRAME);
    EXPECT_EQ(doc->GetCurrentFrame(), 98);
}

TEST_F(ChildFrameTest, WhilePlayingOnlyStopIsEnabled) {
    CGenRecordingDoc* doc = Open("begin=0,end=100000");
    ASSERT_NE(doc, nullptr);
    Command(ID_PLAY_FORWARD_STEP);
    Bar()->SetPlaySpeed(24);
    Command(ID_PLAY_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return doc->IsPlaying(); }));
    EXPECT_EQ(doc->GetPlayStep(), 1);
    EXPECT_EQ(doc->GetPlaySpeedWord(), MakePlaySpeedWord(24));
    for (UINT id : kPlaybackCommands)
        EXPECT_FALSE(IsEnabled(id)) << id;
    EXPECT_TRUE(IsEnabled(ID_PLAY_STOP));
    // The bar's buttons follow at idle time.
    main->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_FALSE(Bar()->GetDlgItem(ID_PLAY_PLAY)->IsWindowEnabled());
    EXPECT_TRUE(Bar()->GetDlgItem(ID_PLAY_STOP)->IsWindowEnabled());
    Command(ID_PLAY_STOP);
    ASSERT_TRUE(PumpUntil([&] { return !doc->IsPlaying(); }));
    EXPECT_TRUE(IsEnabled(ID_PLAY_PLAY));
    EXPECT_FALSE(IsEnabled(ID_PLAY_STOP));
}

TEST_F(ChildFrameTest, RewindPlaysBackwardAndPlayWhilePlayingOnlyAsksForLooping) {
    CGenRecordingDoc* doc = Open("begin=0,end=100000");
    ASSERT_NE(doc, nullptr);
    doc->SetCurrentFrame(50000, TRUE);
    Bar()->SetPlaySpeed(24);
    Command(ID_PLAY_REWIND);
    ASSERT_TRUE(PumpUntil([&] { return doc->GetCurrentFrame() <= 49998; }));
    EXPECT_EQ(doc->GetPlayStep(), -1);
    // The window's handler, reached directly (the disabled command never gets there).
    EXPECT_FALSE(doc->IsLoopPlay());
    static_cast<CCmdTarget*>(FrameOf(doc))->OnCmdMsg(ID_PLAY_PLAY, 0, nullptr, nullptr);
    EXPECT_TRUE(doc->IsLoopPlay());
    EXPECT_TRUE(doc->IsPlaying());
    EXPECT_EQ(doc->GetPlayStep(), -1);
    doc->Stop();
    ASSERT_TRUE(PumpUntil([&] { return !doc->IsPlaying(); }));
}

TEST_F(ChildFrameTest, LoopIsCheckedAndWrapsPlaying) {
    CGenRecordingDoc* doc = Open("begin=0,end=3");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(CheckOf(ID_PLAY_LOOP), 0);
    Command(ID_PLAY_LOOP);
    EXPECT_TRUE(doc->IsLoopPlay());
    EXPECT_EQ(CheckOf(ID_PLAY_LOOP), 1);
    Bar()->SetPlaySpeed(24);
    Command(ID_PLAY_PLAY);
    std::vector<long> seen;
    ASSERT_TRUE(PumpUntil([&] {
        if (seen.empty() || seen.back() != doc->GetCurrentFrame())
            seen.push_back(doc->GetCurrentFrame());
        return seen.size() >= 6;
    }));
    Command(ID_PLAY_STOP);
    ASSERT_TRUE(PumpUntil([&] { return !doc->IsPlaying(); }));
    EXPECT_EQ(std::vector<long>(seen.begin(), seen.begin() + 6), (std::vector<long>{0, 1, 2, 3, 0, 1}));
}

TEST_F(ChildFrameTest, ZoomFieldGoesThroughTheViewsLimits) {
    CGenRecordingDoc* doc = Open("begin=0,end=9,width=200,height=100");
    ASSERT_NE(doc, nullptr);
    CVesloChildFrame* frame = FrameOf(doc);
    CGenRecordingView* view = ViewOf(doc);
    ASSERT_NE(frame, nullptr);
    EXPECT_STREQ(Field(IDC_CTRL_ZOOM), "100");
    frame->OnCtrlBarValue(IDC_CTRL_ZOOM, 250);
    EXPECT_EQ(view->GetZoomPercentShown(), 250);
    EXPECT_STREQ(Field(IDC_CTRL_ZOOM), "250");
    // Refused: the zoom stays and the field shows it again.
    frame->OnCtrlBarValue(IDC_CTRL_ZOOM, 0);
    EXPECT_EQ(view->GetZoomPercentShown(), 250);
    EXPECT_STREQ(Field(IDC_CTRL_ZOOM), "250");
    // 65636 is not 100 per cent in 16 bits: refused as well.
    frame->OnCtrlBarValue(IDC_CTRL_ZOOM, 65636);
    EXPECT_EQ(view->GetZoomPercentShown(), 250);
    EXPECT_STREQ(Field(IDC_CTRL_ZOOM), "250");
    // Typed into the field and entered.
    Bar()->SetDlgItemText(IDC_CTRL_ZOOM, "400");
    Bar()->GetDlgItem(IDC_CTRL_ZOOM)->SetFocus();
    frame->OnCtrlBarEnter();
    EXPECT_EQ(view->GetZoomPercentShown(), 400);
    // Leaving the field applies it too.
    Bar()->SetDlgItemText(IDC_CTRL_ZOOM, "150");
    Bar()->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CTRL_ZOOM, EN_KILLFOCUS),
                       reinterpret_cast<LPARAM>(Bar()->GetDlgItem(IDC_CTRL_ZOOM)->GetSafeHwnd()));
    EXPECT_EQ(view->GetZoomPercentShown(), 150);
    Command(ID_ZOOM_ORIGINAL);
    EXPECT_EQ(view->GetZoomPercentShown(), 100);
    EXPECT_STREQ(Field(IDC_CTRL_ZOOM), "100");
    Command(ID_ZOOM_IN);
    EXPECT_EQ(view->GetZoomPercentShown(), 200);
    EXPECT_STREQ(Field(IDC_CTRL_ZOOM), "200");
}

TEST_F(ChildFrameTest, APictureOfAnotherSizeResetsTheZoom) {
    CGenRecordingDoc* doc = Open("begin=0,end=9,width=200,height=100");
    ASSERT_NE(doc, nullptr);
    CGenRecordingView* view = ViewOf(doc);
    FrameOf(doc)->OnCtrlBarValue(IDC_CTRL_ZOOM, 300);
    ASSERT_EQ(view->GetZoomPercentShown(), 300);
    // The same size keeps the zoom.
    Command(ID_PLAY_FORWARD_STEP);
    EXPECT_EQ(view->GetZoomPercentShown(), 300);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP other = CreateCompatibleBitmap(dc, 50, 40);
    view->SetBitmap(other);
    EXPECT_EQ(view->GetZoomPercentShown(), 100);
    EXPECT_STREQ(Field(IDC_CTRL_ZOOM), "100");
    EXPECT_EQ(view->GetShownWidth(), 50);
    view->SetBitmap(doc->GetFrameBitmap());
    DeleteObject(other);
    DeleteDC(dc);
}

TEST_F(ChildFrameTest, MouseModesToggle) {
    CGenRecordingDoc* doc = Open("begin=0,end=9");
    ASSERT_NE(doc, nullptr);
    CGenRecordingView* view = ViewOf(doc);
    Command(ID_MOUSE_MOVE);
    EXPECT_EQ(view->GetMouseMode(), CPosInView::ModeMoveArmed);
    EXPECT_EQ(CheckOf(ID_MOUSE_MOVE), 1);
    Command(ID_MOUSE_ZOOM);
    EXPECT_EQ(view->GetMouseMode(), CPosInView::ModeZoom);
    EXPECT_TRUE(view->m_painter.m_bCrosshair);
    Command(ID_MOUSE_ZOOM);
    EXPECT_EQ(view->GetMouseMode(), CPosInView::ModeNone);
    EXPECT_FALSE(view->m_painter.m_bCrosshair);
    view->SetMouseMode(CPosInView::ModeRubberBand);
    EXPECT_EQ(CheckOf(ID_MOUSE_ZOOM_RECT), 1);
    Command(ID_MOUSE_ZOOM_RECT);
    EXPECT_EQ(view->GetMouseMode(), CPosInView::ModeNone);
}

TEST_F(ChildFrameTest, PictureInformationNamesTheRecording) {
    CGenRecordingDoc* doc = Open("begin=0,end=9,rate=250");
    ASSERT_NE(doc, nullptr);
    CVesloChildFrame* frame = FrameOf(doc);
    EXPECT_STREQ(frame->GetPictureInformation(),
                 "Title=gen:begin=0,end=9,rate=250\nType=gen\nFilePath=gen:begin=0,end=9,rate=250\n\n"
                 "Generated recording\r\nFrames=0..9\r\nRate=250\r\nSize=160x120\r\n");
    Command(ID_PICTURE_INFO);
    ASSERT_NE(frame->GetPropertyDlg(), nullptr);
    EXPECT_TRUE(frame->GetPropertyDlg()->IsWindowVisible());
    CString shown;
    frame->GetPropertyDlg()->GetDlgItemText(CPropertyDlg::IDC_PROPERTY_TEXT, shown);
    EXPECT_NE(shown.Find("Rate=250\r\n"), -1);
    EXPECT_NE(shown.Find("Type=gen\r\n"), -1);
    // The dialog goes with its window.
    doc->OnCloseDocument();
    Pump();
    EXPECT_EQ(main->MDIGetActive(), nullptr);
}

TEST_F(ChildFrameTest, ActivatingAnotherWindowStopsThePlayingOne) {
    CGenRecordingDoc* first = Open("begin=0,end=100000");
    CGenRecordingDoc* second = Open("begin=0,end=50");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    FrameOf(first)->MDIActivate();
    Pump();
    EXPECT_TRUE(first->IsActive());
    EXPECT_FALSE(second->IsActive());
    Bar()->SetPlaySpeed(24);
    Command(ID_PLAY_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return first->IsPlaying() && first->GetCurrentFrame() >= 2; }));
    FrameOf(second)->MDIActivate();
    ASSERT_TRUE(PumpUntil([&] { return !first->IsPlaying(); }));
    EXPECT_TRUE(second->IsActive());
    EXPECT_FALSE(first->IsActive());
    // The bar shows the now active recording.
    EXPECT_STREQ(Field(IDC_CTRL_PLAYEND), "+00050");
    EXPECT_EQ(main->GetImgListBar()->GetList().GetSelectedCount(), 1);
}

TEST_F(ChildFrameTest, TheCloseBoxClosesTheDocumentAndEndsItsThread) {
    CGenRecordingDoc* keep = Open("begin=0,end=100");
    CGenRecordingDoc* doc = Open("begin=0,end=100000");
    ASSERT_NE(keep, nullptr);
    ASSERT_NE(doc, nullptr);
    Command(ID_SYNC_MODE);
    ASSERT_TRUE(main->IsSyncMode());
    ASSERT_EQ(main->GetSyncList().GetCount(), 2);
    Command(ID_SYNC_MODE);
    Command(ID_PLAY_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return doc->IsPlaying(); }));
    ASSERT_EQ(main->GetImgListBar()->GetItemCount(), 2);
    Command(ID_SYNC_MODE);
    ASSERT_EQ(main->GetSyncList().GetCount(), 2);
    EXPECT_FALSE(doc->IsPlaying());
    Command(ID_SYNC_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return main->IsSyncPlaying() && doc->IsPlaying(); }));

    PositionRow row;
    row.state = 0;
    ASSERT_EQ(main->SetPositionList(&row, 1), 0);

    // The play threads say when they end.
    std::mutex lock;
    int playersDone = 0;
    const DebugOutputSink old = SetDebugOutputSink([&](const char* text) {
        if (std::string(text) == "Player Done !\n") {
            std::lock_guard<std::mutex> guard(lock);
            ++playersDone;
        }
    });
    CVesloChildFrame* frame = FrameOf(doc);
    const auto start = std::chrono::steady_clock::now();
    frame->SendMessage(WM_CLOSE);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    {
        // Joined before the close returned: its last words are already there.
        std::lock_guard<std::mutex> guard(lock);
        EXPECT_EQ(playersDone, 1);
    }
    SetDebugOutputSink(old);
    Pump();
    // The document is gone from the template, both list bars and the synchronised list.
    CDocTemplate* docTemplate = keep->GetDocTemplate();
    int open = 0;
    POSITION pos = docTemplate->GetFirstDocPosition();
    while (pos != nullptr) {
        EXPECT_EQ(docTemplate->GetNextDoc(pos), keep);
        ++open;
    }
    EXPECT_EQ(open, 1);
    EXPECT_EQ(main->GetImgListBar()->GetItemCount(), 1);
    EXPECT_EQ(main->GetPosBar()->GetRowCount(), 0);
    EXPECT_EQ(main->GetSyncList().GetCount(), 1);
    EXPECT_EQ(main->MDIGetActive(), FrameOf(keep));
}

TEST_F(ChildFrameTest, TheSubWindowsCloseBoxTakesTheSameWay) {
    CGenRecordingDoc* keep = Open("begin=0,end=100");
    CGenRecordingDoc* doc = Open("begin=0,end=100000");
    ASSERT_NE(keep, nullptr);
    ASSERT_NE(doc, nullptr);
    Bar()->SetPlaySpeed(24);
    Command(ID_PLAY_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return doc->IsPlaying(); }));
    QMdiSubWindow* sub = FrameOf(doc)->GetSubWindow();
    ASSERT_NE(sub, nullptr);
    sub->close();
    Pump();
    EXPECT_EQ(main->GetImgListBar()->GetItemCount(), 1);
    EXPECT_EQ(main->MDIGetActive(), FrameOf(keep));
    POSITION pos = keep->GetDocTemplate()->GetFirstDocPosition();
    EXPECT_EQ(keep->GetDocTemplate()->GetNextDoc(pos), keep);
    EXPECT_EQ(pos, nullptr);
}

} // namespace
