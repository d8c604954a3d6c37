// The raw camera document through the application's open: frames as the colour pipeline makes them,
// the display size, playing, the information text, Reload, and what the user is told when a file,
// a frame or the server is missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "KivIc/Playback/PlaybackIds.h"
#include "tests/kivic_kiv_doc/kiv_fixture.h"

namespace {

using KivOpenTest = KivDocTest;

TEST_F(KivOpenTest, OpensThroughTheServerWithTheRecordingsRangeRateAndFrames) {
    const std::string path = Write("run12.cm8", SmallRecording());
    CKivDoc* doc = OpenKiv(path);
    ASSERT_NE(doc, nullptr) << Boxes();
    EXPECT_TRUE(boxes.empty()) << Boxes();
    EXPECT_STREQ(doc->GetTitle(), "run12");
    EXPECT_STREQ(doc->GetTypeText(), "cm8");
    const auto* listed = static_cast<IImgListDocument*>(doc);
    EXPECT_GE(main->GetImgListBar()->GetList().FindItemData(reinterpret_cast<DWORD_PTR>(listed)), 0);
    EXPECT_EQ(doc->GetRecordBegin(), -3);
    EXPECT_EQ(doc->GetRecordEnd(), 8);
    EXPECT_EQ(doc->GetPlayBegin(), -3);
    EXPECT_EQ(doc->GetPlayEnd(), 8);
    EXPECT_EQ(doc->GetFrameRate(), 500);
    EXPECT_EQ(doc->GetCurrentFrame(), -3);
    EXPECT_EQ(doc->GetFrameWidth(), 96);
    EXPECT_EQ(doc->GetFrameHeight(), 64);
    EXPECT_EQ(doc->GetBitmapBytes(), 96 * 64 * 3 + 40);

    ReferencePipeline reference(path);
    EXPECT_TRUE(Shown(doc) == reference.Convert(-3));
    Command(ID_PLAY_FORWARD_STEP);
    EXPECT_EQ(doc->GetCurrentFrame(), -2);
    EXPECT_TRUE(Shown(doc) == reference.Convert(-2));
    Command(ID_PLAY_END_FRAME);
    EXPECT_TRUE(Shown(doc) == reference.Convert(8));
    // The view shows what the document made.
    EXPECT_EQ(KivViewOf(doc)->GetBitmap(), doc->GetFrameBitmap());
    // Only the GUI thread calls the server: a frame asked for elsewhere is not fetched.
    HBITMAP shown = doc->GetFrameBitmap();
    std::thread([doc] { doc->LoadFrame(0); }).join();
    EXPECT_EQ(doc->GetFrameBitmap(), shown);
    EXPECT_TRUE(boxes.empty()) << Boxes();
}

TEST_F(KivOpenTest, PictureSizeIsTheDisplaySizeWhileTheInformationNamesTheFrameSize) {
    cm8::Recording rec = SmallRecording();
    rec.width = 128;
    rec.height = 64;
    // 3 x 98 is no multiple of 4: the display's rows need padding the server's rows do not have.
    rec.dispWidth = 98;
    rec.dispHeight = 50;
    rec.fileVer = 102;
    rec.cameraVer = 205;
    rec.shutter = 100;
    rec.cameraSN = 4711;
    rec.scene = 12;
    rec.segment = 3;
    rec.recGain = -6;
    const std::string path = Write("cropped.cm8", rec);
    CKivDoc* doc = OpenKiv(path);
    ASSERT_NE(doc, nullptr) << Boxes();
    EXPECT_EQ(doc->GetFrameWidth(), 98);
    EXPECT_EQ(doc->GetFrameHeight(), 50);
    SIZE size{};
    doc->GetImageSize(&size);
    EXPECT_EQ(size.cx, 98);
    EXPECT_EQ(size.cy, 50);
    ReferencePipeline reference(path);
    const Picture expected = reference.Convert(-3);
    ASSERT_EQ(expected.width, 98);
    EXPECT_TRUE(Shown(doc) == expected);
    Command(ID_PLAY_FORWARD_STEP);
    EXPECT_TRUE(Shown(doc) == reference.Convert(-2));

    // Another recording into the same document: the buffer is made anew for its size.
    const std::string small = Write("small.cm8", SmallRecording());
    ASSERT_TRUE(doc->OpenSourceStr(small.c_str()));
    EXPECT_EQ(doc->GetBitmapBytes(), 96 * 64 * 3 + 40);
    doc->SetCurrentFrame(0, TRUE);
    EXPECT_TRUE(Shown(doc) == ReferencePipeline(small).Convert(0));
    ASSERT_TRUE(doc->OpenSourceStr(path.c_str()));
    doc->SetCurrentFrame(-3, TRUE);

    const CString info = doc->GetInformation();
    EXPECT_NE(info.Find("Image Version=  1.02\n"), -1) << info.GetString();
    EXPECT_NE(info.Find("Camera Version= 2.05\n"), -1) << info.GetString();
    EXPECT_NE(info.Find("Picture Size = 128x64\n"), -1) << info.GetString();
    EXPECT_NE(info.Find("Image Range First= -3\nImage Range Last=  8\nRec Rate=  500\n"), -1)
        << info.GetString();
    EXPECT_NE(info.Find("Trigger Time= 2026.12.08 19:45:00.123\n"), -1) << info.GetString();
    const long speed = BREMF(path.c_str(), 1).GetShutterSpeed();
    ASSERT_NE(speed, 0);
    CString shutter;
    shutter.Format("\nRec Shutter= 1/%-8d\n", static_cast<int>(1000000 / speed));
    EXPECT_NE(info.Find(shutter), -1) << info.GetString();
    EXPECT_NE(info.Find("Camera S/N=4711\nScene No=12\n"), -1) << info.GetString();
    // The text ends with the segment and the recording gain, sign and all.
    const char tail[] = "\nCamera Memory Segment= 3\nRec Gain=-6";
    EXPECT_STREQ(info.Right(static_cast<int>(sizeof tail) - 1), tail);
}

TEST_F(KivOpenTest, PlaysThroughTheRecording) {
    const std::string path = Write("play.cm8", SmallRecording());
    CKivDoc* doc = OpenKiv(path);
    ASSERT_NE(doc, nullptr) << Boxes();
    Bar()->SetPlaySpeed(24);
    Command(ID_PLAY_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return doc->GetCurrentFrame() >= 2; }));
    Command(ID_PLAY_STOP);
    ASSERT_TRUE(PumpUntil([&] { return !doc->IsPlaying(); }));
    Pump();
    EXPECT_TRUE(boxes.empty()) << Boxes();
    ReferencePipeline reference(path);
    EXPECT_TRUE(Shown(doc) == reference.Convert(doc->GetCurrentFrame()));
}

TEST_F(KivOpenTest, AMissingFrameIsReportedAndTheProgramGoesOn) {
    cm8::Recording rec = SmallRecording();
    // Frames -3..2 are whole; the header promises six more.
    rec.truncate = cm8::kHeaderBytes + 6ull * rec.FrameBytes() + 100;
    const std::string path = Write("cut.cm8", rec);
    CKivDoc* doc = OpenKiv(path);
    ASSERT_NE(doc, nullptr) << Boxes();
    ReferencePipeline reference(path);
    const Picture first = reference.Convert(-3);
    EXPECT_TRUE(Shown(doc) == first);

    Command(ID_PLAY_END_FRAME);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Can't read frame 8 of " + path + "\n", 0), 0u) << boxes[0];
    EXPECT_NE(boxes[0].find("missing"), std::string::npos) << boxes[0];
    // The picture stays as it was, and the document works on.
    EXPECT_TRUE(Shown(doc) == first);
    Command(ID_PLAY_START_FRAME);
    Command(ID_PLAY_FORWARD_STEP);
    EXPECT_TRUE(Shown(doc) == reference.Convert(-2));
    EXPECT_EQ(boxes.size(), 1u);

    // Playing into the missing frames stops at the first one, told once.
    boxes.clear();
    Bar()->SetPlaySpeed(24);
    Command(ID_PLAY_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return !boxes.empty(); }));
    ASSERT_TRUE(PumpUntil([&] { return !doc->IsPlaying(); }));
    PumpFor(200);
    EXPECT_EQ(boxes.size(), 1u) << Boxes();
    EXPECT_EQ(boxes[0].rfind("Can't read frame 3 of " + path + "\n", 0), 0u) << boxes[0];
    EXPECT_TRUE(Shown(doc) == reference.Convert(2));
}

// A name in another encoding than UTF-8 (Latin-1 here, as files copied from other systems keep it)
// reaches the server as it is.
TEST_F(KivOpenTest, ARecordingNamedInAnotherEncodingOpens) {
    const std::string path = Write("\xE9t\xE9.cm8", SmallRecording());
    CKivDoc* doc = OpenKiv(path);
    ASSERT_NE(doc, nullptr) << Boxes();
    EXPECT_TRUE(boxes.empty()) << Boxes();
    EXPECT_TRUE(Shown(doc) == ReferencePipeline(path).Convert(-3));
}

TEST_F(KivOpenTest, AFileTheServerRefusesFailsTheOpenNamingIt) {
    cm8::Recording rec = SmallRecording();
    rec.magic = {'J', 'U', 'N', 'K'};
    const std::string path = Write("junk.cm8", rec);
    EXPECT_EQ(OpenKiv(path), nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Can't open" + path + "\n", 0), 0u) << boxes[0];
    // The program goes on: a good file opens.
    EXPECT_NE(OpenKiv(Write("good.cm8", SmallRecording())), nullptr);
}

TEST_F(KivOpenTest, WithoutTheServerTheOpenFailsWithAMessage) {
    const std::string path = Write("a.cm8", SmallRecording());
    // A registry that does not know the server.
    setenv("KIVIC_REGISTRY", m_dir.Path("empty.reg").c_str(), 1);
    EXPECT_EQ(OpenKiv(path), nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Can't create BREM_FC!!"), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[0].find(path), std::string::npos) << boxes[0];

    CKivDoc bare;
    EXPECT_FALSE(bare.HasBremFc());
    EXPECT_FALSE(bare.IsSourceOpen());
    // Nothing reaches the missing server.
    bare.LoadFrame(0);
    short value = 0;
    EXPECT_FALSE(bare.ReadSetting(&CFcDoc::GetGain, &value));
    EXPECT_FALSE(bare.ChangeSetting(&CFcDoc::PutGain, 6));
    EXPECT_STREQ(bare.GetInformation(), "No Infomation");
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(KivOpenTest, ReloadKeepsTheFrameAndAFailedOneLeavesTheServerAlone) {
    const std::string path = Write("reload.cm8", SmallRecording());
    CKivDoc* doc = OpenKiv(path);
    ASSERT_NE(doc, nullptr) << Boxes();
    ReferencePipeline reference(path);
    doc->SetCurrentFrame(4, TRUE);
    HBITMAP before = doc->GetFrameBitmap();
    Command(ID_IMAGE_RELOAD);
    EXPECT_TRUE(boxes.empty()) << Boxes();
    EXPECT_EQ(doc->GetCurrentFrame(), 4);
    EXPECT_TRUE(doc->IsSourceOpen());
    EXPECT_NE(doc->GetFrameBitmap(), before);
    EXPECT_TRUE(Shown(doc) == reference.Convert(4));

    // The file goes away: the reload fails, and nothing is fetched from the closed server any more.
    const std::string moved = path + ".away";
    ASSERT_EQ(std::rename(path.c_str(), moved.c_str()), 0);
    Command(ID_IMAGE_RELOAD);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Can't open" + path, 0), 0u) << boxes[0];
    EXPECT_FALSE(doc->IsSourceOpen());
    const Picture kept = Shown(doc);
    EXPECT_TRUE(kept == reference.Convert(4));
    Command(ID_PLAY_FORWARD_STEP);
    EXPECT_FALSE(IsEnabled(ID_IMAGE_GAIN_6DB));
    EXPECT_FALSE(IsEnabled(ID_FILE_CONVERT_SAVE));
    EXPECT_TRUE(IsEnabled(ID_IMAGE_RELOAD));
    Bar()->SetPlaySpeed(24);
    Command(ID_PLAY_PLAY);
    PumpFor(300);
    Command(ID_PLAY_STOP);
    ASSERT_TRUE(PumpUntil([&] { return !doc->IsPlaying(); }));
    EXPECT_EQ(boxes.size(), 1u) << Boxes();
    EXPECT_TRUE(Shown(doc) == kept);

    // Back again: the next Reload works.
    ASSERT_EQ(std::rename(moved.c_str(), path.c_str()), 0);
    doc->SetCurrentFrame(1, FALSE);
    Command(ID_IMAGE_RELOAD);
    EXPECT_TRUE(doc->IsSourceOpen());
    EXPECT_EQ(doc->GetCurrentFrame(), 1);
    EXPECT_TRUE(Shown(doc) == reference.Convert(1));

    // Written anew with other frames (10 to 13): the window takes their numbers, the frame shown is
    // the one its number names, and the bar shows the new range.
    cm8::Recording other = SmallRecording();
    other.begin = 10;
    other.frames = 4;
    Write("reload.cm8", other);
    ReferencePipeline rewritten(path);
    Command(ID_IMAGE_RELOAD);
    EXPECT_EQ(boxes.size(), 1u) << Boxes(); // only the failed reload's
    EXPECT_EQ(doc->GetRecordBegin(), 10);
    EXPECT_EQ(doc->GetRecordEnd(), 13);
    EXPECT_EQ(doc->GetPlayBegin(), 10);
    EXPECT_EQ(doc->GetPlayEnd(), 13);
    EXPECT_EQ(doc->GetCurrentFrame(), 10);
    EXPECT_TRUE(Shown(doc) == rewritten.Convert(10));
    EXPECT_EQ(Bar()->GetDlgItemInt(IDC_CTRL_PLAYBEGIN, nullptr, TRUE), 10u);
    EXPECT_EQ(Bar()->GetDlgItemInt(IDC_CTRL_PLAYEND, nullptr, TRUE), 13u);
    Command(ID_PLAY_END_FRAME);
    EXPECT_EQ(doc->GetCurrentFrame(), 13);
    EXPECT_TRUE(Shown(doc) == rewritten.Convert(13));
    EXPECT_EQ(boxes.size(), 1u) << Boxes();
}

TEST_F(KivOpenTest, ClosingTheWindowClosesTheRecording) {
    const std::string path = Write("close.cm8", SmallRecording());
    CKivDoc* doc = OpenKiv(path);
    ASSERT_NE(doc, nullptr) << Boxes();
    Bar()->SetPlaySpeed(24);
    Command(ID_PLAY_PLAY);
    PumpFor(50);
    KivFrameOf(doc)->SendMessage(WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(main->MDIGetActive(), nullptr);
    EXPECT_TRUE(boxes.empty()) << Boxes();
    // The same file opens again.
    EXPECT_NE(OpenKiv(path), nullptr);
}

} // namespace
