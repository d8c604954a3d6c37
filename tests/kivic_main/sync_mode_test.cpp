// Synchronised playback: the axis from the open recordings, frames on the grid, renumbered commands,
// the mode's switching rules, playing and seeking on the common axis.
#include <gtest/gtest.h>

#include "KivIc/Play/SyncPlayThread.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "tests/kivic_support/RecordingTestApp.h"

namespace {

class SyncModeTest : public RecordingAppTest {
protected:
    // Waits until the seek posted to the play thread has reached the control bar.
    bool WaitForBarFrame(long frame) {
        return PumpUntil([&] { return Bar()->GetFrame() == frame; });
    }
    // Every item id of the menu and its popups.
    static void CollectIds(CMenu* menu, std::vector<UINT>* ids) {
        for (UINT i = 0; menu != nullptr && i < menu->GetMenuItemCount(); ++i) {
            if (CMenu* sub = menu->GetSubMenu(static_cast<int>(i)))
                CollectIds(sub, ids);
            else
                ids->push_back(menu->GetMenuItemID(static_cast<int>(i)));
        }
    }
    bool MenuHas(UINT id) const {
        std::vector<UINT> ids;
        CollectIds(main->GetMenu(), &ids);
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    }
};

TEST_F(SyncModeTest, TheAxisSpansBothRecordingsAtTheFasterRate) {
    CGenRecordingDoc* fast = Open("begin=0,end=999,rate=1000");
    CGenRecordingDoc* slow = Open("begin=100,end=599,rate=500");
    ASSERT_NE(fast, nullptr);
    ASSERT_NE(slow, nullptr);
    Command(ID_SYNC_MODE);
    ASSERT_TRUE(main->IsSyncMode());
    EXPECT_EQ(CheckOf(ID_SYNC_MODE), 1);
    EXPECT_EQ(main->GetSyncList().GetCount(), 2);
    EXPECT_DOUBLE_EQ(main->GetSyncBeginTime(), 0.0);
    EXPECT_DOUBLE_EQ(main->GetSyncEndTime(), 1.198);
    EXPECT_EQ(main->GetSyncFrameRate(), 1000);
    EXPECT_DOUBLE_EQ(main->GetSyncStepTime(), 0.001);
    EXPECT_EQ(Bar()->GetSlider().GetMin(), 0);
    EXPECT_EQ(Bar()->GetSlider().GetMax(), 1198);
    EXPECT_STREQ(Field(IDC_CTRL_PLAYBEGIN), "+00000");
    EXPECT_STREQ(Field(IDC_CTRL_PLAYEND), "+01198");
    // Every document went to the begin time: the slow one keeps to its own range.
    ASSERT_TRUE(
        PumpUntil([&] { return main->GetSyncPlayThread() != nullptr && fast->GetCurrentFrame() == 0; }));
    Command(ID_SYNC_SEEK_END);
    ASSERT_TRUE(WaitForBarFrame(1198));
    EXPECT_EQ(fast->GetCurrentFrame(), 999);
    EXPECT_EQ(slow->GetCurrentFrame(), 599);
    Command(ID_SYNC_STEP_BACK);
    ASSERT_TRUE(WaitForBarFrame(1197));
    EXPECT_EQ(slow->GetCurrentFrame(), 598);
}

TEST_F(SyncModeTest, StepsNeverShowTheFrameBefore) {
    for (int rate : {25, 50, 100}) {
        CGenRecordingDoc* doc = Open("begin=0,end=10000,width=8,height=8,rate=" + std::to_string(rate));
        ASSERT_NE(doc, nullptr);
        Command(ID_SYNC_MODE);
        ASSERT_TRUE(main->IsSyncMode());
        // The play thread's steps one after another, as playing makes them.
        CSyncPlayThread* thread = main->GetSyncPlayThread();
        for (long k = 1; k <= 10000; ++k) {
            int stop = 0;
            const PlayEvent tick = thread->OnTick(stop);
            ASSERT_EQ(stop, 0);
            main->SetSyncTime(tick.time);
            doc->SetCurrentTime(tick.time, FALSE);
            ASSERT_EQ(Bar()->GetFrame(), k) << "rate " << rate;
            ASSERT_EQ(doc->GetCurrentFrame(), k) << "rate " << rate;
        }
        int stop = 0;
        thread->OnTick(stop);
        EXPECT_EQ(stop, 1);
        Command(ID_SYNC_MODE);
        doc->OnCloseDocument();
        Pump();
    }
}

TEST_F(SyncModeTest, FramesBeforeTriggerAreNegative) {
    CGenRecordingDoc* doc = Open("begin=-100,end=100,rate=1000");
    ASSERT_NE(doc, nullptr);
    Command(ID_SYNC_MODE);
    EXPECT_DOUBLE_EQ(main->GetSyncBeginTime(), -0.1);
    EXPECT_STREQ(Field(IDC_CTRL_PLAYBEGIN), "-00100");
    ASSERT_TRUE(WaitForBarFrame(-100));
    EXPECT_TRUE(IsEnabled(ID_SYNC_SEEK_T0));
    Command(ID_SYNC_SEEK_T0);
    ASSERT_TRUE(WaitForBarFrame(0));
    EXPECT_EQ(doc->GetCurrentFrame(), 0);
    EXPECT_FALSE(IsEnabled(ID_SYNC_SEEK_T0));
    // Just before the trigger is frame -1, not 0.
    Command(ID_SYNC_STEP_BACK);
    ASSERT_TRUE(WaitForBarFrame(-1));
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "-00001");
    EXPECT_EQ(doc->GetCurrentFrame(), -1);
    EXPECT_LT(main->GetSyncCurrentTime(), 0.0);
}

// 1000 fps from frame -200 with 300 fps from frame -100: the axis begins at -1/3 s, off its own grid.
TEST_F(SyncModeTest, SeeksOnAnAxisBeginningOffItsGridShowTheFrameAskedFor) {
    CGenRecordingDoc* fast = Open("begin=-200,end=999,rate=1000");
    CGenRecordingDoc* slow = Open("begin=-100,end=299,rate=300");
    ASSERT_NE(fast, nullptr);
    ASSERT_NE(slow, nullptr);
    Command(ID_SYNC_MODE);
    ASSERT_TRUE(WaitForBarFrame(-334));
    Command(ID_SYNC_SEEK_T0);
    ASSERT_TRUE(PumpUntil([&] { return fast->GetCurrentFrame() == 0 && slow->GetCurrentFrame() == 0; }));
    EXPECT_DOUBLE_EQ(main->GetSyncCurrentTime(), 0.0);
    EXPECT_EQ(Bar()->GetFrame(), 0);
    EXPECT_FALSE(IsEnabled(ID_SYNC_SEEK_T0));
    // The slider's frame is a time of the axis's rate, taken as it is.
    main->SyncSetCurrentFrame(-10);
    ASSERT_TRUE(PumpUntil([&] { return fast->GetCurrentFrame() == -10 && slow->GetCurrentFrame() == -3; }));
    EXPECT_EQ(Bar()->GetFrame(), -10);
    // Stepping goes back onto the grid, one frame of the fast recording at a time.
    Command(ID_SYNC_STEP_BACK);
    ASSERT_TRUE(WaitForBarFrame(-11));
    EXPECT_EQ(fast->GetCurrentFrame(), -11);
    Command(ID_SYNC_STEP_FORWARD);
    ASSERT_TRUE(WaitForBarFrame(-10));
    Command(ID_SYNC_STEP_FORWARD);
    ASSERT_TRUE(WaitForBarFrame(-9));
    EXPECT_EQ(fast->GetCurrentFrame(), -9);
}

// The play-begin and play-end buttons set the common range; the recording's own one stays.
TEST_F(SyncModeTest, PlayRangeButtonsSetTheAxisRangeOnly) {
    CGenRecordingDoc* fast = Open("begin=0,end=999,rate=1000");
    CGenRecordingDoc* slow = Open("begin=0,end=299,rate=300");
    ASSERT_NE(fast, nullptr);
    ASSERT_NE(slow, nullptr);
    Command(ID_SYNC_MODE);
    main->SyncSetCurrentFrame(10);
    ASSERT_TRUE(WaitForBarFrame(10));
    Command(ID_PLAY_SET_BEGIN);
    main->SyncSetCurrentFrame(500);
    ASSERT_TRUE(WaitForBarFrame(500));
    Command(ID_PLAY_SET_END);
    EXPECT_DOUBLE_EQ(main->GetSyncBeginTime(), 0.010);
    EXPECT_DOUBLE_EQ(main->GetSyncEndTime(), 0.500);
    EXPECT_STREQ(Field(IDC_CTRL_PLAYBEGIN), "+00010");
    EXPECT_STREQ(Field(IDC_CTRL_PLAYEND), "+00500");
    for (CGenRecordingDoc* doc : {fast, slow}) {
        EXPECT_EQ(doc->GetPlayBegin(), doc->GetRecordBegin());
        EXPECT_EQ(doc->GetPlayEnd(), doc->GetRecordEnd());
    }
}

TEST_F(SyncModeTest, TheModeRenumbersMenusAndBarAndBack) {
    CGenRecordingDoc* doc = Open("begin=0,end=99");
    ASSERT_NE(doc, nullptr);
    for (const auto& pair : kPlaybackCommandPairs) {
        EXPECT_TRUE(MenuHas(pair[0])) << pair[0];
        EXPECT_NE(Bar()->GetDlgItem(static_cast<int>(pair[0])), nullptr) << pair[0];
    }
    Command(ID_SYNC_MODE);
    for (const auto& pair : kPlaybackCommandPairs) {
        EXPECT_FALSE(MenuHas(pair[0])) << pair[0];
        EXPECT_TRUE(MenuHas(pair[1])) << pair[1];
        EXPECT_EQ(Bar()->GetDlgItem(static_cast<int>(pair[0])), nullptr) << pair[0];
        EXPECT_NE(Bar()->GetDlgItem(static_cast<int>(pair[1])), nullptr) << pair[1];
    }
    // The last window closing ends the mode: the frame's own menu, shown once the window has gone, and
    // the bar carry the recordings' ids again.
    doc->OnCloseDocument();
    Pump();
    EXPECT_FALSE(main->IsSyncMode());
    for (const auto& pair : kPlaybackCommandPairs) {
        EXPECT_FALSE(MenuHas(pair[1])) << pair[1];
        EXPECT_NE(Bar()->GetDlgItem(static_cast<int>(pair[0])), nullptr) << pair[0];
    }
    EXPECT_TRUE(MenuHas(ID_PLAY_PLAY));
    EXPECT_TRUE(MenuHas(ID_SYNC_MODE));
}

TEST_F(SyncModeTest, WithoutARatedRecordingTheModeIsRefused) {
    Command(ID_SYNC_MODE);
    EXPECT_FALSE(main->IsSyncMode());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("frame rate"), std::string::npos);
    CGenRecordingDoc* doc = Open("begin=0,end=99");
    ASSERT_NE(doc, nullptr);
    doc->SetFrameRate(0);
    Command(ID_SYNC_MODE);
    EXPECT_FALSE(main->IsSyncMode());
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(main->GetSyncList().GetCount(), 0);
    EXPECT_NE(Bar()->GetDlgItem(ID_PLAY_PLAY), nullptr);
    EXPECT_FALSE(IsEnabled(ID_SYNC_PLAY));
}

TEST_F(SyncModeTest, SwitchingOnStopsTheRecordingsOwnPlayback) {
    CGenRecordingDoc* doc = Open("begin=0,end=1000000");
    ASSERT_NE(doc, nullptr);
    Bar()->SetPlaySpeed(24);
    Command(ID_PLAY_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return doc->IsPlaying() && doc->GetCurrentFrame() >= 2; }));
    Command(ID_SYNC_MODE);
    EXPECT_FALSE(doc->IsPlaying());
    ASSERT_TRUE(PumpUntil([&] { return !doc->GetPlayThread()->IsInPlayState(); }));
    ASSERT_TRUE(WaitForBarFrame(0));
    PumpFor(150);
    // Nothing moves the document on its own any more.
    EXPECT_EQ(doc->GetCurrentFrame(), 0);
    EXPECT_FALSE(doc->IsPlaying());
}

TEST_F(SyncModeTest, PlaysSeeksAndStopsOnTheAxis) {
    CGenRecordingDoc* fast = Open("begin=0,end=100000,rate=100");
    CGenRecordingDoc* slow = Open("begin=0,end=100000,rate=50");
    ASSERT_NE(fast, nullptr);
    ASSERT_NE(slow, nullptr);
    Bar()->SetPlaySpeed(24);
    Command(ID_SYNC_MODE);
    ASSERT_TRUE(WaitForBarFrame(0));
    EXPECT_FALSE(IsEnabled(ID_SYNC_STEP_BACK));
    EXPECT_FALSE(IsEnabled(ID_SYNC_SEEK_BEGIN));
    EXPECT_FALSE(IsEnabled(ID_SYNC_PLAY_BACK));
    EXPECT_FALSE(IsEnabled(ID_SYNC_STOP));
    EXPECT_TRUE(IsEnabled(ID_SYNC_PLAY));
    EXPECT_TRUE(IsEnabled(ID_SYNC_STEP_FORWARD));
    Command(ID_SYNC_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return main->IsSyncPlaying() && fast->GetCurrentFrame() >= 4; }));
    EXPECT_TRUE(fast->IsPlaying());
    EXPECT_TRUE(slow->IsPlaying());
    EXPECT_EQ(main->GetSyncPlaySpeedWord(), MakePlaySpeedWord(24));
    EXPECT_FALSE(IsEnabled(ID_SYNC_PLAY));
    EXPECT_TRUE(IsEnabled(ID_SYNC_STOP));
    // Play again while playing only asks for looping; playing goes on.
    static_cast<CCmdTarget*>(main)->OnCmdMsg(ID_SYNC_PLAY, 0, nullptr, nullptr);
    EXPECT_TRUE(main->IsSyncLoop());
    EXPECT_TRUE(main->IsSyncPlaying());
    Command(ID_SYNC_STOP);
    EXPECT_FALSE(main->IsSyncLoop());
    ASSERT_TRUE(PumpUntil([&] { return !main->IsSyncPlaying() && !fast->IsPlaying(); }));
    // The documents stand together on the frame the bar shows.
    PumpFor(50);
    const long shown = Bar()->GetFrame();
    EXPECT_EQ(fast->GetCurrentFrame(), shown);
    EXPECT_EQ(slow->GetCurrentFrame(), shown / 2);
    // A seek past the end is kept to the axis, which ends with the slow recording at 2000 s.
    main->SyncSetCurrentFrame(500000);
    ASSERT_TRUE(WaitForBarFrame(200000));
    EXPECT_DOUBLE_EQ(main->GetSyncCurrentTime(), 2000.0);
    EXPECT_EQ(fast->GetCurrentFrame(), 100000);
    EXPECT_EQ(slow->GetCurrentFrame(), 100000);
    EXPECT_FALSE(IsEnabled(ID_SYNC_SEEK_END));
    EXPECT_TRUE(IsEnabled(ID_SYNC_PLAY_BACK));
}

TEST_F(SyncModeTest, SwitchingOffStopsSynchronisedPlaybackFirst) {
    CGenRecordingDoc* doc = Open("begin=0,end=100000,rate=100");
    ASSERT_NE(doc, nullptr);
    Bar()->SetPlaySpeed(24);
    Command(ID_SYNC_MODE);
    Command(ID_SYNC_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return main->IsSyncPlaying() && doc->GetCurrentFrame() >= 2; }));
    Command(ID_SYNC_MODE);
    EXPECT_FALSE(main->IsSyncMode());
    EXPECT_FALSE(main->IsSyncPlaying());
    EXPECT_FALSE(doc->IsPlaying());
    ASSERT_TRUE(PumpUntil([&] { return !main->GetSyncPlayThread()->IsInPlayState(); }));
    PumpFor(100);
    const long frame = doc->GetCurrentFrame();
    PumpFor(150);
    EXPECT_EQ(doc->GetCurrentFrame(), frame);
    EXPECT_FALSE(doc->IsPlaying());
    // The document is on its own again, and the bar shows it.
    EXPECT_TRUE(doc->IsActive());
    EXPECT_TRUE(IsEnabled(ID_PLAY_PLAY));
    EXPECT_EQ(Bar()->GetFrame(), frame);
}

TEST_F(SyncModeTest, ClosingTheLastRecordingThatPlaysTogetherEndsTheMode) {
    CGenRecordingDoc* first = Open("begin=0,end=100000,rate=100");
    CGenRecordingDoc* second = Open("begin=0,end=100000,rate=50");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    Bar()->SetPlaySpeed(24);
    Command(ID_SYNC_MODE);
    Command(ID_SYNC_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return main->IsSyncPlaying() && first->GetCurrentFrame() >= 2; }));
    // One of them closes: the other plays on.
    second->OnCloseDocument();
    Pump();
    EXPECT_TRUE(main->IsSyncMode());
    const long frame = first->GetCurrentFrame();
    ASSERT_TRUE(PumpUntil([&] { return first->GetCurrentFrame() > frame; }));
    // The last one closes: nothing plays on, and the bar speaks for no recording.
    first->OnCloseDocument();
    Pump();
    EXPECT_FALSE(main->IsSyncMode());
    EXPECT_EQ(CheckOf(ID_SYNC_MODE), 0);
    ASSERT_TRUE(PumpUntil([&] { return !main->GetSyncPlayThread()->IsInPlayState(); }));
    PumpFor(150);
    EXPECT_FALSE(main->IsSyncPlaying());
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "");
    EXPECT_TRUE(MenuHas(ID_PLAY_PLAY)) << "the playback commands are the recordings' own again";
}

TEST_F(SyncModeTest, BarMovesWithoutARecordingWindowDoNothing) {
    main->SyncSetCurrentFrame(5);
    main->SyncSetPlayBegin(1);
    main->SyncSetPlayEnd(9);
    CGenRecordingDoc* doc = Open("begin=0,end=99");
    ASSERT_NE(doc, nullptr);
    main->SyncSetPlayBegin(10);
    main->SyncSetPlayEnd(20);
    main->SyncSetCurrentFrame(50);
    EXPECT_EQ(doc->GetPlayBegin(), 10);
    EXPECT_EQ(doc->GetPlayEnd(), 20);
    EXPECT_EQ(doc->GetCurrentFrame(), 20);
    doc->OnCloseDocument();
    Pump();
    main->SyncSetCurrentFrame(5);
    main->SyncSetPlayBegin(1);
    main->SyncSetPlayEnd(9);
    EXPECT_EQ(main->MDIGetActive(), nullptr);
}

TEST_F(SyncModeTest, ThePlayRangeOfTheAxisFollowsTheBar) {
    CGenRecordingDoc* doc = Open("begin=0,end=999,rate=1000");
    ASSERT_NE(doc, nullptr);
    Command(ID_SYNC_MODE);
    main->SyncSetPlayBegin(10);
    main->SyncSetPlayEnd(200);
    EXPECT_DOUBLE_EQ(main->GetSyncBeginTime(), 0.010);
    EXPECT_DOUBLE_EQ(main->GetSyncEndTime(), 0.200);
    // The current time moved into the range.
    ASSERT_TRUE(PumpUntil([&] { return doc->GetCurrentFrame() == 10; }));
    EXPECT_EQ(Bar()->GetFrame(), 10);
    Command(ID_SYNC_SEEK_END);
    ASSERT_TRUE(WaitForBarFrame(200));
}

} // namespace
