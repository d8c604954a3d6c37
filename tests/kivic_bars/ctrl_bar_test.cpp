// The playback control bar: its fields, the speed and its spin, the relay of slider moves to the main
// frame without loops, the command renumbering of synchronised mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "KivIc/Bars/CtrlBar.h"
#include "bars_test_support.h"

namespace {

// Answers as the main frame does for a document: keeps the frame to the play range and shows the
// result in the bar again.
class FakeFrame : public ICtrlBarOwner {
public:
    void SyncSetCurrentFrame(long frame) override {
        currentCalls.push_back(frame);
        const long kept = std::clamp(frame, playBegin, playEnd);
        if (bar != nullptr)
            bar->SetFrame(kept);
    }
    void SyncSetPlayBegin(long frame) override {
        beginCalls.push_back(frame);
        playBegin = frame;
    }
    void SyncSetPlayEnd(long frame) override {
        endCalls.push_back(frame);
        playEnd = frame;
    }
    // The bars as a recording reaches them: here only the control bar.
    CCtrlBar* GetCtrlBar() override { return bar; }
    CDlgBarImgList* GetImgListBar() override { return nullptr; }
    CPosDlgBar* GetPosBar() override { return nullptr; }
    void SetCtrlBarFrame(long frame) override { bar->SetFrame(frame); }
    void SetCtrlBarRecordRange(long begin, long end) override { bar->SetRecordRange(begin, end); }
    void SetCtrlBarPlayRange(long begin, long end) override { bar->SetPlayRange(begin, end); }
    int SetPositionList(const PositionRow*, int) override { return -1; }
    IImgListDocument* GetActiveListDocument() const override { return nullptr; }

    CCtrlBar* bar = nullptr;
    long playBegin = 10;
    long playEnd = 90;
    std::vector<long> currentCalls, beginCalls, endCalls;
};

class CtrlBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureBarsApp();
        ASSERT_EQ(bar.CreateBar(nullptr), 0);
        frame.bar = &bar;
        bar.SetOwnerFrame(&frame);
        bar.SetRecordRange(0, 100);
        bar.SetPlayRange(10, 90);
        bar.SetBarStyleBits(0, 0x00800000u);
    }
    CString Field(int id) {
        CString text;
        bar.GetDlgItemText(id, text);
        return text;
    }
    CCtrlBar bar;
    FakeFrame frame;
};

TEST(CtrlBarFormat, SignAndFiveDigits) {
    EXPECT_STREQ(CCtrlBar::FormatFrame(-12), "-00012");
    EXPECT_STREQ(CCtrlBar::FormatFrame(7), "+00007");
    EXPECT_STREQ(CCtrlBar::FormatFrame(0), "+00000");
    EXPECT_STREQ(CCtrlBar::FormatFrame(1234567), "+1234567");
}

TEST_F(CtrlBarTest, CreationState) {
    CCtrlBar fresh;
    ASSERT_EQ(fresh.CreateBar(nullptr), 0);
    CString text;
    fresh.GetDlgItemText(IDC_CTRL_FRAME, text);
    EXPECT_STREQ(text, "+00000");
    fresh.GetDlgItemText(IDC_CTRL_SPEED, text);
    EXPECT_STREQ(text, "6");
    EXPECT_EQ(fresh.GetPlaySpeed(), 6);
    int lower = -1, upper = -1;
    fresh.GetSpeedSpin().GetRange(lower, upper);
    EXPECT_EQ(lower, 1);
    EXPECT_EQ(upper, 24);
    CExSliderCtrl* slider = fresh.GetSlider().GetControl();
    EXPECT_EQ(slider->Extra(EXSLIDER_LARGECHANGE), 200);
    EXPECT_EQ(slider->Extra(EXSLIDER_TICKFREQUENCY), 200);
    EXPECT_NE(slider->Extra(EXSLIDER_SHOWSELECTION), 0);
    // The style bits start cleared, which leaves the slider disabled until a document shows.
    EXPECT_EQ(fresh.GetCtrlStyle(), 0u);
    EXPECT_FALSE(fresh.GetSlider().GetEnabled());
    EXPECT_TRUE(fresh.CanEdit());
    for (int id : std::initializer_list<int>{
             ID_PLAY_START_FRAME, ID_PLAY_REVERSE_STEP, ID_PLAY_REWIND, ID_PLAY_STOP, ID_PLAY_PLAY,
             ID_PLAY_FORWARD_STEP, ID_PLAY_END_FRAME, ID_PLAY_T0, ID_PLAY_LOOP, ID_PLAY_SET_BEGIN,
             ID_PLAY_SET_END, IDC_CTRL_1037, IDC_CTRL_PLAYBEGIN, IDC_CTRL_PLAYEND, IDC_CTRL_SLIDER})
        EXPECT_NE(fresh.GetDlgItem(id), nullptr) << id;
}

TEST_F(CtrlBarTest, StyleBits) {
    EXPECT_EQ(bar.GetCtrlStyle(), 0x00800000u);
    EXPECT_TRUE(bar.GetSlider().GetEnabled());
    bar.SetBarStyleBits(0, 0x01000004u); // bit 24 is not the caller's to set, low bits bring it
    EXPECT_EQ(bar.GetCtrlStyle(), 0x01800004u);
    bar.SetBarStyleBits(0x00800004u, 0);
    EXPECT_EQ(bar.GetCtrlStyle(), 0u);
    EXPECT_FALSE(bar.GetSlider().GetEnabled());
}

TEST_F(CtrlBarTest, ProgramSettingsAreSilent) {
    bar.SetFrame(-12);
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "-00012");
    bar.SetFrame(7);
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "+00007");
    EXPECT_EQ(bar.GetFrame(), 7);
    EXPECT_STREQ(Field(IDC_CTRL_PLAYBEGIN), "+00010");
    EXPECT_STREQ(Field(IDC_CTRL_PLAYEND), "+00090");
    EXPECT_EQ(bar.GetSlider().GetSelStart(), 10);
    EXPECT_EQ(bar.GetSlider().GetSelEnd(), 90);
    EXPECT_EQ(bar.GetSlider().GetMax(), 100);
    EXPECT_TRUE(frame.currentCalls.empty());
    EXPECT_TRUE(frame.beginCalls.empty());
    EXPECT_TRUE(frame.endCalls.empty());
}

TEST_F(CtrlBarTest, SliderMovesReachTheOwnerOnce) {
    bar.GoToFrame(42);
    EXPECT_EQ(frame.currentCalls, (std::vector<long>{42}));
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "+00042");

    // The user drags past the play end; the owner keeps the frame to it and shows it in the bar,
    // which moves the slider back without another event.
    bar.GetSlider().GetControl()->UserMoveValue(97);
    EXPECT_EQ(frame.currentCalls, (std::vector<long>{42, 97}));
    EXPECT_EQ(bar.GetFrame(), 90);
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "+00090");

    bar.GetSlider().GetControl()->UserMoveSelStart(20);
    bar.GetSlider().GetControl()->UserMoveSelEnd(80);
    EXPECT_EQ(frame.beginCalls, (std::vector<long>{20}));
    EXPECT_EQ(frame.endCalls, (std::vector<long>{80}));
    EXPECT_STREQ(Field(IDC_CTRL_PLAYBEGIN), "+00020");
    EXPECT_STREQ(Field(IDC_CTRL_PLAYEND), "+00080");
    // The owner shows the new range again: nothing comes back.
    bar.SetPlayRange(frame.playBegin, frame.playEnd);
    EXPECT_EQ(frame.beginCalls.size(), 1u);
    EXPECT_EQ(frame.endCalls.size(), 1u);
}

TEST_F(CtrlBarTest, PlayBeginAndEndAtRelayOnlyChanges) {
    bar.SetPlayBeginAt(30);
    bar.SetPlayBeginAt(30);
    bar.SetPlayEndAt(60);
    EXPECT_EQ(frame.beginCalls, (std::vector<long>{30}));
    EXPECT_EQ(frame.endCalls, (std::vector<long>{60}));
    EXPECT_STREQ(Field(IDC_CTRL_PLAYBEGIN), "+00030");
    EXPECT_STREQ(Field(IDC_CTRL_PLAYEND), "+00060");
    EXPECT_EQ(bar.GetSlider().GetSelStart(), 30);
    EXPECT_EQ(bar.GetSlider().GetSelEnd(), 60);
}

// Enter in the frame and play-range fields, as the user types them: Enter takes the number, leaving
// the field shows again what holds.
TEST_F(CtrlBarTest, TypedFramesAndPlayRangeEdgesAreTakenOnEnter) {
    const auto enter = [this](int id, const char* text) {
        bar.SetDlgItemText(id, text);
        MSG key{};
        key.hwnd = bar.GetDlgItem(id)->GetSafeHwnd();
        key.message = WM_KEYDOWN;
        key.wParam = VK_RETURN;
        return CWnd::WalkPreTranslateTree(nullptr, &key);
    };
    EXPECT_TRUE(enter(IDC_CTRL_FRAME, "42"));
    EXPECT_EQ(frame.currentCalls, (std::vector<long>{42}));
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "+00042");
    EXPECT_EQ(bar.GetFrame(), 42);
    // The owner keeps it to the play range; the field shows the frame taken.
    EXPECT_TRUE(enter(IDC_CTRL_FRAME, " -7 "));
    EXPECT_EQ(frame.currentCalls.back(), 0) << "kept to the record range";
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "+00010");
    // No number: nothing moves and the field shows the frame again.
    EXPECT_TRUE(enter(IDC_CTRL_FRAME, "12x"));
    EXPECT_EQ(frame.currentCalls.size(), 2u);
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "+00010");

    EXPECT_TRUE(enter(IDC_CTRL_PLAYBEGIN, "+20"));
    EXPECT_TRUE(enter(IDC_CTRL_PLAYEND, "70"));
    EXPECT_EQ(frame.beginCalls, (std::vector<long>{20}));
    EXPECT_EQ(frame.endCalls, (std::vector<long>{70}));
    EXPECT_STREQ(Field(IDC_CTRL_PLAYBEGIN), "+00020");
    EXPECT_STREQ(Field(IDC_CTRL_PLAYEND), "+00070");
    EXPECT_EQ(bar.GetSlider().GetSelStart(), 20);
    EXPECT_EQ(bar.GetSlider().GetSelEnd(), 70);
    // An edge never passes the other one, nor the record range.
    EXPECT_TRUE(enter(IDC_CTRL_PLAYBEGIN, "80"));
    EXPECT_TRUE(enter(IDC_CTRL_PLAYEND, "500"));
    EXPECT_EQ(frame.beginCalls.back(), 70);
    EXPECT_EQ(frame.endCalls.back(), 100);
    EXPECT_STREQ(Field(IDC_CTRL_PLAYBEGIN), "+00070");
    EXPECT_STREQ(Field(IDC_CTRL_PLAYEND), "+00100");

    // Typed and left without Enter: nothing is taken, and the field does not keep the number.
    bar.SetDlgItemText(IDC_CTRL_PLAYBEGIN, "5");
    bar.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CTRL_PLAYBEGIN, EN_KILLFOCUS), 0);
    EXPECT_EQ(frame.beginCalls.size(), 2u);
    EXPECT_STREQ(Field(IDC_CTRL_PLAYBEGIN), "+00070");
    bar.SetDlgItemText(IDC_CTRL_FRAME, "55");
    bar.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CTRL_FRAME, EN_KILLFOCUS), 0);
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "+00010");

    // With no recording the emptied fields stay empty.
    bar.ShowNoRecording();
    EXPECT_TRUE(enter(IDC_CTRL_FRAME, ""));
    bar.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CTRL_FRAME, EN_KILLFOCUS), 0);
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "");
    EXPECT_EQ(frame.currentCalls.size(), 2u);
}

TEST_F(CtrlBarTest, SpeedIsValidatedWhenTheFieldIsLeft) {
    MessageBoxRecorder boxes;
    bar.SetPlaySpeed(12);
    EXPECT_EQ(bar.GetPlaySpeed(), 12);
    EXPECT_STREQ(Field(IDC_CTRL_SPEED), "12");

    for (const char* bad : {"0", "25", "abc", "", "-3"}) {
        bar.SetDlgItemText(IDC_CTRL_SPEED, bad);
        // Typing alone changes nothing and asks nothing.
        bar.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CTRL_SPEED, EN_CHANGE), 0);
        EXPECT_EQ(bar.GetPlaySpeed(), 12) << bad;
        EXPECT_TRUE(boxes.texts.empty()) << bad;
        // Leaving the field rejects it and keeps the last valid speed.
        bar.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CTRL_SPEED, EN_KILLFOCUS), 0);
        EXPECT_EQ(bar.GetPlaySpeed(), 12) << bad;
        EXPECT_EQ(boxes.texts.size(), 1u) << bad;
        boxes.texts.clear();
    }
    bar.SetDlgItemText(IDC_CTRL_SPEED, "24");
    EXPECT_TRUE(bar.UpdateSpeedFromField());
    EXPECT_EQ(bar.GetPlaySpeed(), 24);
    bar.SetDlgItemText(IDC_CTRL_SPEED, "1");
    bar.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CTRL_SPEED, EN_KILLFOCUS), 0);
    EXPECT_EQ(bar.GetPlaySpeed(), 1);
    EXPECT_TRUE(boxes.texts.empty());
    // A speed of 0 never gets in.
    bar.SetPlaySpeed(0);
    EXPECT_EQ(bar.GetPlaySpeed(), 1);
}

TEST_F(CtrlBarTest, TheRejectionAsksOnlyOnce) {
    bar.SetPlaySpeed(8);
    int boxes = 0;
    MessageBoxNotifier old = SetMessageBoxNotifier([&](HWND, const char*, const char*, UINT) {
        ++boxes;
        // The box takes the focus from the field while it shows.
        bar.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CTRL_SPEED, EN_KILLFOCUS), 0);
        return IDOK;
    });
    bar.SetDlgItemText(IDC_CTRL_SPEED, "99");
    bar.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CTRL_SPEED, EN_KILLFOCUS), 0);
    SetMessageBoxNotifier(old);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(bar.GetPlaySpeed(), 8);
}

TEST_F(CtrlBarTest, SpinStepsWithinOneToTwentyFour) {
    CBarSpin& spin = bar.GetSpeedSpin();
    bar.SetPlaySpeed(23);
    spin.Step(1);
    EXPECT_EQ(bar.GetPlaySpeed(), 24);
    spin.Step(1);
    EXPECT_EQ(bar.GetPlaySpeed(), 24);
    EXPECT_STREQ(Field(IDC_CTRL_SPEED), "24");
    bar.SetPlaySpeed(1);
    spin.Step(-1);
    EXPECT_EQ(bar.GetPlaySpeed(), 1);
    EXPECT_STREQ(Field(IDC_CTRL_SPEED), "1");
    // From a typed value out of range, the step starts at the nearest valid one.
    bar.SetDlgItemText(IDC_CTRL_SPEED, "0");
    spin.Step(1);
    EXPECT_EQ(bar.GetPlaySpeed(), 2);
}

TEST_F(CtrlBarTest, CommandModeRenumbersThePlaybackButtons) {
    std::vector<CWnd*> buttons;
    for (const auto& pair : kPlaybackCommandPairs)
        buttons.push_back(bar.GetDlgItem(static_cast<int>(pair[0])));
    bar.SetCommandMode(2);
    for (size_t i = 0; i < buttons.size(); ++i) {
        const auto& pair = kPlaybackCommandPairs[i];
        EXPECT_EQ(bar.GetDlgItem(static_cast<int>(pair[1])), buttons[i]) << pair[1];
        EXPECT_EQ(bar.GetDlgItem(static_cast<int>(pair[0])), nullptr) << pair[0];
    }
    bar.SetCommandMode(1);
    for (size_t i = 0; i < buttons.size(); ++i)
        EXPECT_EQ(bar.GetDlgItem(static_cast<int>(kPlaybackCommandPairs[i][0])), buttons[i]);
}

} // namespace
