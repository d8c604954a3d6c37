// Frames of an open AVI document: moving through them, frames outside the range, a frame the server
// cannot read (while stepping and while playing), and the server kept to the GUI thread.
#include "avi_doc_fixture.h"

#include <thread>

#include "KivIc/Play/PlayThread.h"

namespace {

const std::string kReadFrame = "フレームが読めません。";

} // namespace

class AviFramesTest : public AviDocTest {
protected:
    // A Motion-JPEG movie of three frames whose second frame holds no JPEG image.
    std::string BrokenMovie() {
        const std::string path = dir.Path("broken.avi");
        WriteMovie(path, 16, 8, 3, "", mmioFOURCC('M', 'J', 'P', 'G'));
        std::string bytes = TempDir::ReadAll(path);
        std::size_t soi = 0;
        for (int found = 0; soi + 1 < bytes.size(); ++soi)
            if (bytes[soi] == '\xFF' && bytes[soi + 1] == '\xD8' && ++found == 2)
                break;
        EXPECT_LT(soi + 1, bytes.size());
        bytes[soi] = bytes[soi + 1] = '\0';
        TempDir::WriteAll(path, bytes);
        return path;
    }
};

TEST_F(AviFramesTest, FramesInsideTheRangeAreShownOthersLeaveThePicture) {
    const std::string path = dir.Path("steps.avi");
    WriteMovie(path, 24, 16, 5, "");
    CAviDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    for (long frame : {3L, 1L, 4L}) {
        doc->SetCurrentFrame(frame, TRUE);
        EXPECT_EQ(Shown(doc), ovisktest::Picture(24, 16, static_cast<int>(frame))) << "frame " << frame;
        EXPECT_EQ(ViewOf(doc)->GetBitmap(), doc->GetFrameBitmap());
    }
    const HBITMAP shown = doc->GetFrameBitmap();
    doc->LoadFrame(-1);
    EXPECT_EQ(doc->GetFrameBitmap(), shown);
    doc->LoadFrame(5);
    EXPECT_EQ(doc->GetFrameBitmap(), shown);
    EXPECT_EQ(Shown(doc), ovisktest::Picture(24, 16, 4));
    EXPECT_TRUE(boxes.empty());

    // Closing leaves nothing open.
    doc->OnCloseDocument();
    Pump();
    EXPECT_EQ(OpenDocumentCount(), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(AviFramesTest, AFrameTheServerCannotReadIsReportedAndTheProgramGoesOn) {
    const std::string path = BrokenMovie();
    CAviDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr) << (boxes.empty() ? "" : boxes.front());
    const HBITMAP first = doc->GetFrameBitmap();
    const std::vector<BYTE> firstPixels = Shown(doc);
    ASSERT_FALSE(firstPixels.empty());

    doc->SetCurrentFrame(1, TRUE);
    EXPECT_EQ(boxes, std::vector<std::string>{"Can't read frame 1 of " + path + "\n" + kReadFrame});
    EXPECT_EQ(doc->GetFrameBitmap(), first);
    EXPECT_EQ(Shown(doc), firstPixels);

    doc->SetCurrentFrame(2, TRUE);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_NE(doc->GetFrameBitmap(), first);
    const ovisktest::Difference d =
        ovisktest::Compare(Shown(doc).data(), ovisktest::Picture(16, 8, 2).data(), firstPixels.size());
    EXPECT_LE(d.mean, 6.0);
}

TEST_F(AviFramesTest, AFrameTheServerCannotReadWhilePlayingStopsPlaying) {
    const std::string path = BrokenMovie();
    CAviDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    doc->SetPlaySpeedWord(MakePlaySpeedWord(30));
    // Looping, a document that played on would meet the frame again and again.
    doc->SetLoopPlay(TRUE);
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        doc->SetCurrentFrame(0, TRUE);
        doc->Play();
        ASSERT_TRUE(PumpUntil([&] { return boxes.size() == static_cast<std::size_t>(round); }));
        ASSERT_TRUE(PumpUntil([&] { return !doc->IsPlaying() && !doc->GetPlayThread()->IsInPlayState(); }));
        // Stopped at the failing frame: no further reports.
        PumpFor(200);
        EXPECT_EQ(boxes.size(), static_cast<std::size_t>(round));
        EXPECT_EQ(boxes.back(), "Can't read frame 1 of " + path + "\n" + kReadFrame);
    }
}

TEST_F(AviFramesTest, TheServerIsCalledOnlyOnTheGuiThread) {
    const std::string path = dir.Path("thread.avi");
    WriteMovie(path, 16, 8, 3, "");
    CAviDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    const HBITMAP shown = doc->GetFrameBitmap();
    long first = 7;
    long last = 7;
    std::thread worker([&] {
        doc->LoadFrame(2);
        doc->GetFrameRange(&first, &last);
    });
    worker.join();
    EXPECT_EQ(doc->GetFrameBitmap(), shown);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, -1);
    doc->LoadFrame(2);
    EXPECT_EQ(Shown(doc), ovisktest::Picture(16, 8, 2));
}
