// The main frame: its bars, toolbar and menus, the position list, and closing.
#include <gtest/gtest.h>

#include <chrono>

#include <QAbstractButton>
#include <QAction>
#include <QToolBar>

#include "KivIc/Documents/RecordingMenu.h"
#include "KivIc/Play/SyncPlayThread.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "tests/kivic_support/RecordingTestApp.h"

namespace {

// The popup of a menu bar whose text is the given one, or null.
CMenu* FindPopup(CMenu* menu, const char* text) {
    for (UINT i = 0; menu != nullptr && i < menu->GetMenuItemCount(); ++i) {
        CString name;
        menu->GetMenuString(i, name, MF_BYPOSITION);
        if (name == text)
            return menu->GetSubMenu(static_cast<int>(i));
    }
    return nullptr;
}

std::vector<UINT> ItemIds(CMenu* popup) {
    std::vector<UINT> ids;
    for (UINT i = 0; popup != nullptr && i < popup->GetMenuItemCount(); ++i) {
        const UINT id = popup->GetMenuItemID(static_cast<int>(i));
        if (id != 0)
            ids.push_back(id);
    }
    return ids;
}

using MainFrameTest = RecordingAppTest;

TEST_F(MainFrameTest, CreatesEveryBar) {
    EXPECT_NE(main->GetStatusBar()->GetSafeHwnd(), nullptr);
    EXPECT_EQ(main->GetStatusBar()->GetCount(), 4);
    EXPECT_NE(Bar()->GetSafeHwnd(), nullptr);
    EXPECT_NE(main->GetImgListBar()->GetSafeHwnd(), nullptr);
    EXPECT_NE(main->GetPosBar()->GetSafeHwnd(), nullptr);
    CToolBar* toolBar = main->GetToolBar();
    ASSERT_NE(toolBar->GetSafeHwnd(), nullptr);
    EXPECT_GE(toolBar->CommandToIndex(ID_SYNC_MODE), 0);
    EXPECT_GE(toolBar->CommandToIndex(ID_FILE_OPEN), 0);
    // The bar's fields and buttons that the recording windows use.
    for (int id : {IDC_CTRL_POINTINPUT, IDC_CTRL_2001, IDC_CTRL_ZOOM, IDC_CTRL_FRAMERATE, IDC_CTRL_BRIGHTNESS,
                   IDC_CTRL_CONTRAST, IDC_CTRL_CHROMA})
        EXPECT_NE(Bar()->GetDlgItem(id), nullptr) << id;
    // Before any window opens the bar speaks for none, as after the last one closes: its fields are
    // empty and take no input, nor does the speed, which a window brings along.
    for (int id : {IDC_CTRL_FRAME, IDC_CTRL_PLAYBEGIN, IDC_CTRL_PLAYEND, IDC_CTRL_ZOOM, IDC_CTRL_BRIGHTNESS,
                   IDC_CTRL_CONTRAST, IDC_CTRL_CHROMA}) {
        CString text;
        Bar()->GetDlgItemText(id, text);
        EXPECT_TRUE(text.IsEmpty()) << id << ": " << text.GetString();
        EXPECT_FALSE(Bar()->GetDlgItem(id)->IsWindowEnabled()) << id;
    }
    EXPECT_FALSE(Bar()->GetDlgItem(IDC_CTRL_SPEED)->IsWindowEnabled());
    // The control bar along the bottom, the two lists along the left side.
    EXPECT_EQ(main->GetControlBarSide(Bar()), CBRS_ALIGN_BOTTOM);
    EXPECT_EQ(main->GetControlBarSide(main->GetImgListBar()), CBRS_ALIGN_LEFT);
    EXPECT_EQ(main->GetControlBarSide(main->GetPosBar()), CBRS_ALIGN_LEFT);
    EXPECT_STREQ(main->GetSyncPlayThread()->Name(), "SyncPlayer");
    EXPECT_EQ(main->GetSyncPlaySpeedWord(), 0xC0001u);
}

TEST_F(MainFrameTest, ButtonsShowFacesNotTexts) {
    for (int id : {ID_PLAY_START_FRAME, ID_PLAY_REVERSE_STEP, ID_PLAY_REWIND, ID_PLAY_STOP, ID_PLAY_PLAY,
                   ID_PLAY_FORWARD_STEP, ID_PLAY_END_FRAME, ID_PLAY_T0, ID_PLAY_LOOP, ID_PLAY_SET_BEGIN,
                   ID_PLAY_SET_END, ID_RETICLE_INPUT, ID_FRAME_RATE}) {
        auto* button = qobject_cast<QAbstractButton*>(Bar()->GetDlgItem(id)->GetWidget());
        ASSERT_NE(button, nullptr) << id;
        EXPECT_TRUE(button->text().isEmpty()) << id;
        EXPECT_FALSE(button->icon().isNull()) << id;
        // The tip comes from the command's prompt when the pointer is over the button.
        EXPECT_FALSE(AfxCommandToolTip(static_cast<UINT>(id)).IsEmpty()) << id;
    }
    auto* toolBar = qobject_cast<QToolBar*>(main->GetToolBar()->GetWidget());
    ASSERT_NE(toolBar, nullptr);
    int buttons = 0;
    for (QAction* action : toolBar->actions()) {
        if (action->isSeparator())
            continue;
        ++buttons;
        EXPECT_FALSE(action->icon().isNull()) << action->text().toStdString();
        EXPECT_FALSE(action->toolTip().isEmpty());
    }
    EXPECT_GE(buttons, 4);
    // The faces stay when synchronised mode renumbers the buttons; the tips follow the new commands.
    Open("begin=0,end=9");
    Command(ID_SYNC_MODE);
    auto* play = qobject_cast<QAbstractButton*>(Bar()->GetDlgItem(ID_SYNC_PLAY)->GetWidget());
    ASSERT_NE(play, nullptr);
    EXPECT_FALSE(play->icon().isNull());
    EXPECT_STREQ(AfxCommandToolTip(ID_SYNC_PLAY), "Play");
    EXPECT_STREQ(AfxCommandStatusText(ID_SYNC_PLAY), "Play all recordings forward");
}

TEST_F(MainFrameTest, TheViewCommandsShowAndHideTheBars) {
    const struct {
        UINT id;
        CControlBar* bar;
    } bars[] = {{ID_VIEW_IMGLISTBAR, main->GetImgListBar()},
                {ID_VIEW_POSBAR, main->GetPosBar()},
                {ID_VIEW_CTRLBAR, Bar()}};
    for (const auto& entry : bars) {
        EXPECT_TRUE(entry.bar->IsVisible()) << entry.id;
        EXPECT_EQ(CheckOf(entry.id), 1);
        Command(entry.id);
        EXPECT_FALSE(entry.bar->IsVisible()) << entry.id;
        EXPECT_EQ(CheckOf(entry.id), 0);
        Command(entry.id);
        EXPECT_TRUE(entry.bar->IsVisible()) << entry.id;
    }
}

TEST_F(MainFrameTest, MenusHoldTheFileOpenAndThePlaybackPopup) {
    CMenu* menu = main->GetMenu();
    ASSERT_NE(menu, nullptr);
    const std::vector<UINT> file = ItemIds(FindPopup(menu, "&File"));
    EXPECT_NE(std::find(file.begin(), file.end(), static_cast<UINT>(ID_FILE_OPEN)), file.end());
    const std::vector<UINT> playback = ItemIds(FindPopup(menu, "&Playback"));
    EXPECT_EQ(playback, (std::vector<UINT>{1032, 1112, 1031, 1033, 1030, 1028, 1034, 1039, 1165, 1000}));
    CMenu* popup = FindPopup(menu, "&Playback");
    CString text;
    popup->GetMenuString(ID_PLAY_START_FRAME, text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "Jump to S&tart frame");
    popup->GetMenuString(ID_PLAY_FORWARD_STEP, text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Foward Step");
    // A recording window's menu reuses the same popup.
    CGenRecordingDoc* doc = Open("begin=0,end=9");
    ASSERT_NE(doc, nullptr);
    EXPECT_NE(main->GetMenu(), menu);
    EXPECT_EQ(ItemIds(FindPopup(main->GetMenu(), "&Playback")), playback);
    EXPECT_NE(FindPopup(main->GetMenu(), "Pi&cture"), nullptr);
}

TEST_F(MainFrameTest, ThePositionListShowsOneRowPerPoint) {
    PositionRow rows[3];
    rows[0].x = 1.5;
    rows[0].y = 2.0;
    rows[0].state = 0;
    rows[1].state = 1;
    rows[2].state = -1;
    EXPECT_EQ(main->SetPositionList(rows, 3), 2);
    EXPECT_EQ(main->GetPosBar()->GetRowCount(), 3);
    EXPECT_STREQ(main->GetPosBar()->GetRowText(0, 1), "1.5");
    EXPECT_STREQ(main->GetPosBar()->GetRowText(1, 2), "Vanish");
    EXPECT_STREQ(main->GetPosBar()->GetRowText(2, 1), " ");
    EXPECT_EQ(main->SetPositionList(nullptr, 0), -1);
    EXPECT_EQ(main->GetPosBar()->GetRowCount(), 0);
}

TEST_F(MainFrameTest, ClosingWhilePlayingReturnsPromptly) {
    CGenRecordingDoc* first = Open("begin=0,end=1000000,rate=1000");
    CGenRecordingDoc* second = Open("begin=0,end=1000000,rate=500");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    Bar()->SetPlaySpeed(24);
    Command(ID_PLAY_PLAY);
    Command(ID_SYNC_MODE);
    Command(ID_SYNC_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return main->IsSyncPlaying() && main->GetSyncCurrentTime() > 0.0; }));
    const auto start = std::chrono::steady_clock::now();
    main->SendMessage(WM_CLOSE);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    Pump();
}

} // namespace
