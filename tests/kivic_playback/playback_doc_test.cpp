// The playback document: positions kept to the play range, time to frame, the bitmap size, the
// information text, the display bitmap of documents that own theirs, playing on its own thread, and
// closing while playing.
#include <gtest/gtest.h>

#include <chrono>

#include "KivIc/Bars/CtrlBar.h"
#include "KivIc/Play/PlayThread.h"
#include "tests/kivic_support/RecordingTestApp.h"

namespace {

// The playback layer alone: no frames of its own.
class BareDoc : public CVesloDoc {
public:
    BareDoc() { m_bAutoDelete = FALSE; }
    CString GetNoteText() override { return CString(); }
    int GetDocKind() override { return 3; }
    void LoadFrame(long frame) override { loaded.push_back(frame); }
    std::vector<long> loaded;
};

class PlaybackDocAlone : public ::testing::Test {
protected:
    void SetUp() override { AfxEnsureQtApp(); }
};

bool IsLiveBitmap(HBITMAP bitmap) {
    BITMAP info{};
    return bitmap != nullptr && GetObjectA(bitmap, sizeof info, &info) == static_cast<int>(sizeof info);
}

// A document that owns its display bitmaps, as the file documents do; it notes whether the picture it
// showed was still alive when the next one took its place.
class OwningDoc : public BareDoc {
public:
    using CVesloDoc::ReplaceFrameBitmap;
    void SetFrameBitmap(HBITMAP hBitmap) override {
        if (GetFrameBitmap() != nullptr && !IsLiveBitmap(GetFrameBitmap()))
            replacedAfterDeleting = true;
        CVesloDoc::SetFrameBitmap(hBitmap);
    }
    bool replacedAfterDeleting = false;
};

TEST_F(PlaybackDocAlone, StartsEmptyWithoutInformationOrPicture) {
    BareDoc doc;
    EXPECT_STREQ(doc.GetInformation(), "No Infomation");
    long width = -1;
    long height = -1;
    EXPECT_FALSE(doc.GetBitmapSize(&width, &height));
    EXPECT_EQ(width, -1);
    EXPECT_EQ(height, -1);
    EXPECT_EQ(doc.GetFrameRate(), 1000);
    EXPECT_EQ(doc.GetPlaySpeedWord(), 0x60001u);
    EXPECT_EQ(doc.GetPlayStep(), 1);
    EXPECT_FALSE(doc.IsPlaying());
    ASSERT_NE(doc.GetPlayThread(), nullptr);
    EXPECT_STREQ(doc.GetPlayThread()->Name(), "Player");
}

TEST_F(PlaybackDocAlone, PositionsKeepToThePlayRange) {
    BareDoc doc;
    doc.SetRecordBegin(0);
    doc.SetRecordEnd(2000);
    doc.SetPlayBegin(100);
    doc.SetPlayEnd(900);
    doc.SetCurrentFrame(1500, FALSE);
    EXPECT_EQ(doc.GetCurrentFrame(), 900);
    doc.SetCurrentFrame(-4, FALSE);
    EXPECT_EQ(doc.GetCurrentFrame(), 100);
    doc.SetCurrentTime(0.5, FALSE);
    EXPECT_EQ(doc.GetCurrentFrame(), 500);
    EXPECT_EQ(doc.loaded, (std::vector<long>{900, 100, 500}));
}

TEST_F(PlaybackDocAlone, TimeToFrameNeverFallsOneShort) {
    BareDoc doc;
    doc.SetPlayBegin(-100000);
    doc.SetPlayEnd(100000);
    for (int rate : {25, 50, 100, 1000}) {
        doc.SetFrameRate(rate);
        for (long k = -300; k <= 10000; k += 7) {
            doc.SetCurrentTime(static_cast<double>(k) / rate, FALSE);
            ASSERT_EQ(doc.GetCurrentFrame(), k) << "rate " << rate;
        }
    }
    // Just before 0 is frame -1, not 0.
    doc.SetFrameRate(1000);
    doc.SetCurrentTime(-0.0004, FALSE);
    EXPECT_EQ(doc.GetCurrentFrame(), -1);
}

TEST_F(PlaybackDocAlone, SequenceBaseNameComesFromTheSourcePath) {
    BareDoc doc;
    doc.SetSourcePath("/seq/img00000012.bmp", TRUE);
    EXPECT_STREQ(doc.GetBaseName(), "img");
    EXPECT_STREQ(doc.GetDir(), "/seq/");
    EXPECT_STREQ(doc.GetExt(), ".bmp");
    EXPECT_STREQ(doc.GetFullPath(), "/seq/img00000012.bmp");
    doc.SetSourcePath("/seq/img-12.bmp", TRUE);
    EXPECT_STREQ(doc.GetBaseName(), "img");
    doc.SetSourcePath("/seq/0042.bmp", TRUE);
    EXPECT_STREQ(doc.GetBaseName(), "0");
    doc.SetSourcePath("/seq/img00000012.bmp", FALSE);
    EXPECT_STREQ(doc.GetBaseName(), "img00000012");
}

TEST_F(PlaybackDocAlone, AnOwnedPictureIsDeletedOnlyOnceAnotherHasTakenItsPlace) {
    OwningDoc doc;
    HDC dc = GetDC(nullptr);
    HBITMAP first = CreateCompatibleBitmap(dc, 4, 3);
    HBITMAP second = CreateCompatibleBitmap(dc, 5, 2);
    ReleaseDC(nullptr, dc);
    ASSERT_TRUE(IsLiveBitmap(first) && IsLiveBitmap(second));
    doc.ReplaceFrameBitmap(first);
    doc.ReplaceFrameBitmap(first); // the same picture again stays
    EXPECT_EQ(doc.GetFrameBitmap(), first);
    EXPECT_TRUE(IsLiveBitmap(first));
    doc.ReplaceFrameBitmap(second);
    EXPECT_EQ(doc.GetFrameBitmap(), second);
    EXPECT_FALSE(IsLiveBitmap(first));
    doc.ReplaceFrameBitmap(nullptr); // as the documents' destructors do
    EXPECT_EQ(doc.GetFrameBitmap(), nullptr);
    EXPECT_FALSE(IsLiveBitmap(second));
    EXPECT_FALSE(doc.replacedAfterDeleting);
}

TEST_F(PlaybackDocAlone, StoppingTheThreadTwiceIsHarmless) {
    BareDoc doc;
    doc.StopPlayThread();
    EXPECT_EQ(doc.GetPlayThread(), nullptr);
    doc.Play();
    doc.Stop();
    doc.StopPlayThread();
    EXPECT_FALSE(doc.IsPlaying());
}

// --- In the program's main frame ---------------------------------------------------------------------

using PlaybackDocTest = RecordingAppTest;

TEST_F(PlaybackDocTest, OpeningShowsTheFirstFrameAndItsSize) {
    CGenRecordingDoc* doc = Open("begin=-5,end=40,rate=50,width=64,height=48");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetCurrentFrame(), -5);
    long width = 0;
    long height = 0;
    ASSERT_TRUE(doc->GetBitmapSize(&width, &height));
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);
    EXPECT_STREQ(doc->GetTypeText(), "gen");
    EXPECT_EQ(main->GetImgListBar()->GetItemCount(), 1);
    // The active document's ranges are on the control bar.
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "-00005");
    EXPECT_STREQ(Field(IDC_CTRL_PLAYBEGIN), "-00005");
    EXPECT_STREQ(Field(IDC_CTRL_PLAYEND), "+00040");
}

TEST_F(PlaybackDocTest, TheBarShowsTheStoredFrame) {
    CGenRecordingDoc* doc = Open("begin=0,end=99");
    ASSERT_NE(doc, nullptr);
    doc->SetPlayEnd(50);
    doc->SetCurrentFrame(80, TRUE);
    EXPECT_EQ(doc->GetCurrentFrame(), 50);
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "+00050");
    EXPECT_EQ(Bar()->GetFrame(), 50);
}

TEST_F(PlaybackDocTest, PlaysToThePlayEndAndStops) {
    CGenRecordingDoc* doc = Open("begin=0,end=99");
    ASSERT_NE(doc, nullptr);
    doc->SetPlayBegin(10);
    doc->SetPlayEnd(14);
    doc->SetCurrentFrame(10, FALSE);
    doc->SetPlaySpeedWord(MakePlaySpeedWord(24));
    doc->Play();
    ASSERT_TRUE(PumpUntil([&] { return doc->IsPlaying(); }));
    ASSERT_TRUE(PumpUntil([&] { return !doc->IsPlaying(); }));
    EXPECT_EQ(doc->GetCurrentFrame(), 14);
    EXPECT_STREQ(Field(IDC_CTRL_FRAME), "+00014");
    EXPECT_GE(ViewOf(doc)->GetFrameChangeCount(), 4);
}

TEST_F(PlaybackDocTest, LoopPlayBackwardWrapsToThePlayEnd) {
    CGenRecordingDoc* doc = Open("begin=0,end=99");
    ASSERT_NE(doc, nullptr);
    doc->SetPlayBegin(20);
    doc->SetPlayEnd(30);
    doc->SetCurrentFrame(21, FALSE);
    doc->SetLoopPlay(TRUE);
    doc->SetPlayStep(-1);
    doc->SetPlaySpeedWord(MakePlaySpeedWord(24));
    std::vector<long> seen;
    doc->Play();
    ASSERT_TRUE(PumpUntil([&] {
        if (seen.empty() || seen.back() != doc->GetCurrentFrame())
            seen.push_back(doc->GetCurrentFrame());
        return seen.size() >= 4;
    }));
    doc->Stop();
    ASSERT_TRUE(PumpUntil([&] { return !doc->IsPlaying(); }));
    // 21, 20, then past the begin: the end.
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen[1], 20);
    EXPECT_EQ(seen[2], 30);
    EXPECT_EQ(seen[3], 29);
}

TEST_F(PlaybackDocTest, EveryViewRedraws) {
    CGenRecordingDoc* doc = Open("begin=0,end=99,rate=24");
    ASSERT_NE(doc, nullptr);
    // A second window on the same recording.
    CDocTemplate* docTemplate = doc->GetDocTemplate();
    CFrameWnd* second = docTemplate->CreateNewFrame(doc, nullptr);
    ASSERT_NE(second, nullptr);
    docTemplate->InitialUpdateFrame(second, doc, TRUE);
    Pump();
    std::vector<CGenRecordingView*> views;
    POSITION pos = doc->GetFirstViewPosition();
    while (pos != nullptr)
        views.push_back(static_cast<CGenRecordingView*>(doc->GetNextView(pos)));
    ASSERT_EQ(views.size(), 2u);
    const int before0 = views[0]->GetFrameChangeCount();
    const int before1 = views[1]->GetFrameChangeCount();
    doc->SetPlayEnd(3);
    doc->SetPlaySpeedWord(MakePlaySpeedWord(24));
    doc->Play();
    ASSERT_TRUE(PumpUntil([&] { return doc->GetCurrentFrame() == 3 && !doc->IsPlaying(); }));
    // Frames 1, 2, 3, and the step past the end that shows 3 again before stopping.
    EXPECT_EQ(views[0]->GetFrameChangeCount() - before0, 4);
    EXPECT_EQ(views[1]->GetFrameChangeCount() - before1, 4);
    // Both show the document's picture of frame 3.
    EXPECT_EQ(views[0]->GetBitmap(), doc->GetFrameBitmap());
    EXPECT_EQ(views[1]->GetBitmap(), doc->GetFrameBitmap());
}

TEST_F(PlaybackDocTest, ClosingWhilePlayingReturnsPromptly) {
    CGenRecordingDoc* doc = Open("begin=0,end=1000000,rate=1000");
    ASSERT_NE(doc, nullptr);
    doc->SetPlaySpeedWord(MakePlaySpeedWord(24));
    doc->Play();
    ASSERT_TRUE(PumpUntil([&] { return doc->GetCurrentFrame() >= 2; }));
    const auto start = std::chrono::steady_clock::now();
    doc->OnCloseDocument();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    Pump();
    EXPECT_EQ(main->GetImgListBar()->GetItemCount(), 0);
    EXPECT_EQ(main->MDIGetActive(), nullptr);
}

} // namespace
