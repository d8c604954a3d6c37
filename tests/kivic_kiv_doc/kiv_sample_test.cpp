// The white-balance sample mode: "&Manual" switches it, a click on the picture balances white on the
// clicked spot of the frame on screen (whatever frame the server holds meanwhile) and ends the mode, a
// click off the picture changes nothing, and an activation change ends the mode.
#include <gtest/gtest.h>

#include <algorithm>

#include "KivIc/Bars/CtrlBar.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "fc/WqFc/FrameConverter.h"
#include "tests/kivic_kiv_doc/kiv_fixture.h"

namespace {

using KivSampleTest = KivDocTest;

// A spot inside the cyan bar of the test picture (96 wide: bars of 12 columns, cyan the third), above
// the grey gradient. The moving white bar of the picture with index 7 covers it; that of index 0 does
// not.
constexpr int kCyanX = 30;
constexpr int kCyanY = 20;
constexpr long kShownFrame = -3; // index 0
constexpr long kServerFrame = 4; // index 7

// How far apart the colour's channels lie over a small square around the spot: 0 for grey.
int ColourSpread(const Picture& picture, int cx, int cy) {
    int spread = 0;
    for (int y = cy - 2; y <= cy + 2; ++y) {
        for (int x = cx - 2; x <= cx + 2; ++x) {
            const BYTE* p = picture.At(x, y);
            spread = std::max(spread, std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}));
        }
    }
    return spread;
}

TEST_F(KivSampleTest, AClickOnAColouredPatchNeutralisesItOnTheFrameShown) {
    const std::string path = Write("sample.cm8", SmallRecording());
    CKivDoc* doc = OpenKiv(path);
    ASSERT_NE(doc, nullptr) << Boxes();
    CKivView* view = KivViewOf(doc);
    ASSERT_EQ(doc->GetCurrentFrame(), kShownFrame);
    const int before = ColourSpread(Shown(doc), kCyanX, kCyanY);
    EXPECT_GT(before, 60);

    Command(ID_IMAGE_WB_MANUAL);
    EXPECT_TRUE(doc->IsAwbSampleMode());
    EXPECT_EQ(CheckOf(ID_IMAGE_WB_MANUAL), 1);
    EXPECT_FALSE(IsEnabled(ID_FRAME_RATE));
    // The server has moved on (a conversion reads every frame); the user clicks what is shown.
    doc->PutCurrentFrame(kServerFrame);
    const CPoint at = view->ImageToClientF(kCyanX + 0.5, kCyanY + 0.5, TRUE);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));

    EXPECT_FALSE(doc->IsAwbSampleMode());
    EXPECT_EQ(CheckOf(ID_IMAGE_WB_MANUAL), 0);
    EXPECT_TRUE(IsEnabled(ID_FRAME_RATE));
    EXPECT_EQ(doc->GetWhiteBalance(), 0);
    EXPECT_EQ(doc->GetCurrentFrame(), kShownFrame);
    const Picture shown = Shown(doc);
    EXPECT_LT(ColourSpread(shown, kCyanX, kCyanY), 12) << "before " << before;
    ReferencePipeline reference(path);
    reference.Select(kShownFrame);
    reference.Pipeline().SetAwbSamplePos(kCyanX, kCyanY);
    reference.Pipeline().SetWhiteBalance(0);
    EXPECT_TRUE(shown == reference.Convert(kShownFrame));
    for (const KivSettingCommand& command : kWhiteBalanceCommands)
        EXPECT_EQ(CheckOf(command.id), 0);
    EXPECT_TRUE(boxes.empty()) << Boxes();
}

TEST_F(KivSampleTest, TheSettingsRecordConvertsAsTheWindowShows) {
    const std::string path = Write("record.cm8", SmallRecording());
    CKivDoc* doc = OpenKiv(path);
    ASSERT_NE(doc, nullptr) << Boxes();
    Command(ID_IMAGE_GAIN_6DB);
    Command(ID_IMAGE_ENHANCE_MID);
    TypeIntoField(IDC_CTRL_CONTRAST, "300");
    Command(ID_IMAGE_WB_MANUAL);
    ASSERT_TRUE(KivViewOf(doc)->PickSamplePoint(CPoint(kCyanX, kCyanY)));
    Command(ID_PLAY_FORWARD_STEP);

    const std::vector<BYTE> record = doc->GetPipelineSettings();
    FrameConverter converter;
    std::string error;
    ASSERT_TRUE(converter.Open(path, record.data(), record.size(), &error)) << error;
    std::vector<BYTE> block(converter.BitmapSize());
    ASSERT_TRUE(converter.Convert(doc->GetCurrentFrame(), block.data(), block.size(), &error)) << error;
    const Picture shown = Shown(doc);
    EXPECT_TRUE(std::equal(shown.pixels.begin(), shown.pixels.end(), block.begin() + 40, block.end()));
    EXPECT_TRUE(boxes.empty()) << Boxes();
}

TEST_F(KivSampleTest, APointOffThePictureLeavesTheModeOnAndChangesNothing) {
    cm8::Recording rec = SmallRecording();
    rec.width = 128;
    rec.dispWidth = 100;
    rec.dispHeight = 40;
    CKivDoc* doc = OpenKiv(Write("off.cm8", rec));
    ASSERT_NE(doc, nullptr) << Boxes();
    CKivView* view = KivViewOf(doc);
    const short balance = doc->GetWhiteBalance();
    const Picture before = Shown(doc);
    Command(ID_IMAGE_WB_MANUAL);
    EXPECT_FALSE(view->PickSamplePoint(CPoint(-1, 10)));
    // The bounds are the display's, not the raw frame's.
    EXPECT_FALSE(view->PickSamplePoint(CPoint(100, 10)));
    EXPECT_FALSE(view->PickSamplePoint(CPoint(10, 40)));
    EXPECT_TRUE(doc->IsAwbSampleMode());
    EXPECT_EQ(doc->GetWhiteBalance(), balance);
    EXPECT_TRUE(Shown(doc) == before);
    EXPECT_TRUE(view->PickSamplePoint(CPoint(99, 39)));
    EXPECT_FALSE(doc->IsAwbSampleMode());
    EXPECT_EQ(doc->GetWhiteBalance(), 0);
    // "&Manual" twice is off again; without the mode a click is the tracking view's and picks nothing.
    Command(ID_IMAGE_WB_MANUAL);
    Command(ID_IMAGE_WB_MANUAL);
    EXPECT_FALSE(doc->IsAwbSampleMode());
    EXPECT_FALSE(view->PickSamplePoint(CPoint(5, 5)));
    EXPECT_TRUE(boxes.empty()) << Boxes();
}

TEST_F(KivSampleTest, AnActivationChangeEndsTheMode) {
    CKivDoc* first = OpenKiv(Write("first.cm8", SmallRecording()));
    ASSERT_NE(first, nullptr) << Boxes();
    Command(ID_IMAGE_WB_MANUAL);
    ASSERT_TRUE(first->IsAwbSampleMode());
    CKivDoc* second = OpenKiv(Write("second.cm8", SmallRecording()));
    ASSERT_NE(second, nullptr) << Boxes();
    EXPECT_FALSE(first->IsAwbSampleMode());
    Command(ID_IMAGE_WB_MANUAL);
    EXPECT_TRUE(second->IsAwbSampleMode());
    KivFrameOf(first)->MDIActivate();
    Pump();
    EXPECT_FALSE(second->IsAwbSampleMode());
}

} // namespace
