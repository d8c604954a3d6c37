// The raw camera window: each Image-menu command and each colour field gives the pixels of a colour
// pipeline with the same setting, the check marks follow the document, the fields keep to their
// ranges, and the keys and enabling rules of the window.
#include <gtest/gtest.h>

#include <cstdio>
#include <span>

#include "KivIc/Bars/CtrlBar.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "tests/kivic_kiv_doc/kiv_fixture.h"

namespace {

using KivFrameTest = KivDocTest;

struct MenuGroup {
    const char* name;
    std::span<const KivSettingCommand> commands;
    void (BremIc::*set)(int);
};

const MenuGroup kMenuGroups[] = {
    {"gain", kGainCommands, &BremIc::SetGain},
    {"white balance", kWhiteBalanceCommands, &BremIc::SetWhiteBalance},
    {"enhance", kEnhanceCommands, &BremIc::SetEnhance},
    {"gamma", kGammaCommands, &BremIc::SetGamma},
    {"chroma", kChromaCommands, &BremIc::SetChroma},
};

TEST_F(KivFrameTest, EachImageCommandGivesThePipelinesPixelsAndItsCheckMark) {
    const std::string path = Write("menu.cm8", SmallRecording());
    CKivDoc* doc = OpenKiv(path);
    ASSERT_NE(doc, nullptr) << Boxes();
    doc->SetCurrentFrame(2, TRUE);
    ReferencePipeline reference(path);
    for (const MenuGroup& group : kMenuGroups) {
        for (const KivSettingCommand& command : group.commands) {
            SCOPED_TRACE(std::string(group.name) + " " + std::to_string(command.value));
            ASSERT_TRUE(IsEnabled(command.id));
            Command(command.id);
            (reference.Pipeline().*group.set)(command.value);
            EXPECT_TRUE(Shown(doc) == reference.Convert(2));
            for (const KivSettingCommand& other : group.commands)
                EXPECT_EQ(CheckOf(other.id), other.id == command.id ? 1 : 0) << other.id;
        }
    }
    // The chroma commands write their value into the chroma field; the last was 200 per cent.
    EXPECT_STREQ(Field(IDC_CTRL_CHROMA), "200");
    EXPECT_TRUE(boxes.empty()) << Boxes();
}

TEST_F(KivFrameTest, WhilePlayingACommandChangesTheNextFrames) {
    const std::string path = Write("playing.cm8", SmallRecording());
    CKivDoc* doc = OpenKiv(path);
    ASSERT_NE(doc, nullptr) << Boxes();
    doc->SetLoopPlay(TRUE);
    Bar()->SetPlaySpeed(24);
    Command(ID_PLAY_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return doc->IsPlaying(); }));
    EXPECT_FALSE(IsEnabled(ID_FILE_CONVERT_SAVE));
    Command(ID_IMAGE_GAMMA_HIGH);
    EXPECT_EQ(doc->GetGamma(), 4);
    const long shownAtChange = doc->GetCurrentFrame();
    ASSERT_TRUE(PumpUntil([&] { return doc->GetCurrentFrame() != shownAtChange; }));
    Command(ID_PLAY_STOP);
    ASSERT_TRUE(PumpUntil([&] { return !doc->IsPlaying(); }));
    EXPECT_TRUE(IsEnabled(ID_FILE_CONVERT_SAVE));
    ReferencePipeline reference(path);
    reference.Pipeline().SetGamma(4);
    EXPECT_TRUE(Shown(doc) == reference.Convert(doc->GetCurrentFrame()));
}

TEST_F(KivFrameTest, ColourFieldsApplyInRangeAndPutTheCurrentValueBackOtherwise) {
    const std::string path = Write("fields.cm8", SmallRecording());
    CKivDoc* doc = OpenKiv(path);
    ASSERT_NE(doc, nullptr) << Boxes();
    ReferencePipeline reference(path);
    // Activation shows the document's values.
    EXPECT_STREQ(Field(IDC_CTRL_BRIGHTNESS), "0");
    EXPECT_STREQ(Field(IDC_CTRL_CONTRAST), "100");
    const std::string recorded = std::to_string(reference.Pipeline().Chroma());
    EXPECT_EQ(doc->GetChroma(), reference.Pipeline().Chroma());
    EXPECT_STREQ(Field(IDC_CTRL_CHROMA), recorded.c_str());

    TypeIntoField(IDC_CTRL_CHROMA, "300");
    EXPECT_STREQ(Field(IDC_CTRL_CHROMA), recorded.c_str());
    EXPECT_EQ(doc->GetChroma(), reference.Pipeline().Chroma());
    HBITMAP before = doc->GetFrameBitmap();
    TypeIntoField(IDC_CTRL_CHROMA, "150");
    EXPECT_EQ(doc->GetChroma(), 150);
    EXPECT_NE(doc->GetFrameBitmap(), before);
    reference.Pipeline().SetChroma(150);
    EXPECT_TRUE(Shown(doc) == reference.Convert(-3));
    EXPECT_EQ(CheckOf(ID_IMAGE_CHROMA_150), 1);

    TypeIntoField(IDC_CTRL_BRIGHTNESS, "-250");
    EXPECT_STREQ(Field(IDC_CTRL_BRIGHTNESS), "0");
    TypeIntoField(IDC_CTRL_BRIGHTNESS, "-200");
    EXPECT_EQ(doc->GetBrightness(), -200);
    reference.Pipeline().SetBrightness(-200);
    EXPECT_TRUE(Shown(doc) == reference.Convert(-3));

    TypeIntoField(IDC_CTRL_CONTRAST, "6401");
    EXPECT_STREQ(Field(IDC_CTRL_CONTRAST), "100");
    TypeIntoField(IDC_CTRL_CONTRAST, "many");
    EXPECT_STREQ(Field(IDC_CTRL_CONTRAST), "100");
    EXPECT_EQ(doc->GetContrast(), 100);
    TypeIntoField(IDC_CTRL_CONTRAST, "6400");
    EXPECT_EQ(doc->GetContrast(), 6400);
    reference.Pipeline().SetContrast(6400);
    EXPECT_TRUE(Shown(doc) == reference.Convert(-3));
    EXPECT_TRUE(boxes.empty()) << Boxes();
}

TEST_F(KivFrameTest, TheFieldsFollowTheActiveWindow) {
    CKivDoc* first = OpenKiv(Write("first.cm8", SmallRecording()));
    ASSERT_NE(first, nullptr) << Boxes();
    TypeIntoField(IDC_CTRL_CONTRAST, "250");
    ASSERT_EQ(first->GetContrast(), 250);
    const std::string secondPath = Write("second.cm8", SmallRecording());
    CKivDoc* second = OpenKiv(secondPath);
    ASSERT_NE(second, nullptr) << Boxes();
    EXPECT_STREQ(Field(IDC_CTRL_CONTRAST), "100");
    KivFrameOf(first)->MDIActivate();
    Pump();
    EXPECT_STREQ(Field(IDC_CTRL_CONTRAST), "250");
    EXPECT_EQ(second->GetContrast(), 100);
    // A recording that could not be read again has no settings: its window shows and takes none.
    KivFrameOf(second)->MDIActivate();
    Pump();
    std::remove(secondPath.c_str());
    KivFrameOf(second)->SendMessage(WM_COMMAND, ID_IMAGE_RELOAD);
    Pump();
    ASSERT_FALSE(second->IsSourceOpen());
    for (int id : {IDC_CTRL_BRIGHTNESS, IDC_CTRL_CONTRAST, IDC_CTRL_CHROMA}) {
        EXPECT_STREQ(Field(id), "") << id;
        EXPECT_FALSE(Bar()->GetDlgItem(id)->IsWindowEnabled()) << id;
    }
    KivFrameOf(first)->MDIActivate();
    Pump();
    KivFrameOf(second)->MDIActivate();
    Pump();
    EXPECT_STREQ(Field(IDC_CTRL_CONTRAST), "") << "the first window's contrast shows for the second";
    EXPECT_FALSE(Bar()->GetDlgItem(IDC_CTRL_CONTRAST)->IsWindowEnabled());
}

TEST_F(KivFrameTest, EnterIsConsumedAndEscapeIsTheFrameworks) {
    CKivDoc* doc = OpenKiv(Write("keys.cm8", SmallRecording()));
    ASSERT_NE(doc, nullptr) << Boxes();
    CKivChildFrame* frame = KivFrameOf(doc);
    ASSERT_NE(frame, nullptr);
    Bar()->SetDlgItemText(IDC_CTRL_ZOOM, "400");
    Bar()->GetDlgItem(IDC_CTRL_ZOOM)->SetFocus();
    MSG enter{};
    enter.hwnd = Bar()->GetDlgItem(IDC_CTRL_ZOOM)->GetSafeHwnd();
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    EXPECT_TRUE(frame->PreTranslateMessage(&enter));
    EXPECT_EQ(KivViewOf(doc)->GetZoomPercentShown(), 100);
    MSG escape = enter;
    escape.wParam = VK_ESCAPE;
    EXPECT_FALSE(frame->PreTranslateMessage(&escape));
}

TEST_F(KivFrameTest, TheWindowsCommandsAreEnabledForARawRecording) {
    CKivDoc* doc = OpenKiv(Write("enable.cm8", SmallRecording()));
    ASSERT_NE(doc, nullptr) << Boxes();
    EXPECT_TRUE(IsEnabled(ID_IMAGE_RELOAD));
    EXPECT_TRUE(IsEnabled(ID_FILE_CONVERT_SAVE));
    EXPECT_TRUE(IsEnabled(ID_IMAGE_WB_MANUAL));
    EXPECT_EQ(CheckOf(ID_IMAGE_WB_MANUAL), 0);
    EXPECT_TRUE(IsEnabled(ID_FRAME_RATE));
    // The menu carries the Image popup before Playback.
    const std::vector<AFX_MENU_ITEM>* menu = AfxFindMenu(IDR_KIVTYPE);
    ASSERT_NE(menu, nullptr);
    ASSERT_GE(menu->size(), 4u);
    EXPECT_STREQ((*menu)[2].text, "&Image");
    EXPECT_STREQ((*menu)[3].text, "&Playback");
}

} // namespace
