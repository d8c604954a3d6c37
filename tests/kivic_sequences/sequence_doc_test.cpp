// Image sequences opened through the application: which files become which frames, the information
// file, failures, and playing over gaps.
#include <chrono>
#include <thread>

#include "kivic_sequences/sequence_fixture.h"

namespace {

void WriteText(const std::string& path, const std::string& text) {
    imagetest::WriteAll(path, imagetest::Bytes(text.begin(), text.end()));
}

} // namespace

using SequenceDoc = SequenceAppTest;

TEST_F(SequenceDoc, AnyFileOpensTheWholeSequenceAtItsFirstFrame) {
    const std::string seq = Folder("seq");
    for (int i = 0; i < 10; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/run%08d.bmp", i);
        WriteMarked(seq + name, 10 + i);
    }
    CBmpDoc* doc = Open(seq + "/run00000004.bmp");
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(doc->GetTitle(), "run");
    EXPECT_STREQ(doc->GetTypeText(), "bmp");
    EXPECT_EQ(doc->GetRecordBegin(), 0);
    EXPECT_EQ(doc->GetRecordEnd(), 9);
    EXPECT_EQ(doc->GetPlayBegin(), 0);
    EXPECT_EQ(doc->GetPlayEnd(), 9);
    EXPECT_EQ(doc->GetCurrentFrame(), 0);
    EXPECT_EQ(ShownMark(doc), 10);
    // The view shows the document's picture.
    ASSERT_NE(ViewOf(doc), nullptr);
    EXPECT_EQ(ViewOf(doc)->GetBitmap(), doc->GetFrameBitmap());
    EXPECT_EQ(MarkAt(doc, 7), 17);
    EXPECT_EQ(ViewOf(doc)->GetBitmap(), doc->GetFrameBitmap());
    // No information file: the default rate, the size of a frame.
    EXPECT_EQ(doc->GetFrameRate(), 1000);
    EXPECT_EQ(doc->GetInformation(), "Picture Size = 9x5");
    EXPECT_EQ(doc->GetDocKind(), 3);
    EXPECT_EQ(doc->GetPathName(), CString((seq + "/run00000004.bmp").c_str()));
    // Another file of the open sequence, by any name, brings its window forward: the same recording
    // is not opened twice.
    const std::string other = Folder("other");
    WriteMarked(other + "/run00000001.bmp", 1);
    CBmpDoc* elsewhere = Open(other + "/run00000001.bmp");
    ASSERT_NE(elsewhere, nullptr);
    EXPECT_NE(elsewhere, doc) << "a sequence of the same name in another folder is another recording";
    EXPECT_EQ(Open(seq + "/run00000007.bmp"), doc);
    EXPECT_EQ(Open(dir.Path("other") + "/../seq/run00000000.bmp"), doc);
    EXPECT_EQ(OpenSequences(), 2);
    EXPECT_EQ(Main()->GetImgListBar()->GetList().GetItemCount(), 2);
    EXPECT_EQ(Main()->MDIGetActive()->GetActiveDocument(), doc);
    // "-SetRate" finds the sequence by any of its files too.
    EXPECT_EQ(app->FindDocument((seq + "/run00000009.bmp").c_str()), doc);
    EXPECT_EQ(app->FindDocument((other + "/run00000009.bmp").c_str()), elsewhere);
    EXPECT_EQ(app->FindDocument((seq + "/walk00000001.bmp").c_str()), nullptr);
}

TEST_F(SequenceDoc, GapsDuplicatesSignsAndForeignBasesNumberTheFrames) {
    const std::string seq = Folder("seq");
    WriteMarked(seq + "/run1.bmp", 1);
    WriteMarked(seq + "/run01.bmp", 2);
    WriteMarked(seq + "/run7.bmp", 3);
    WriteMarked(seq + "/run-3.bmp", 4);
    WriteMarked(seq + "/run+2.bmp", 5);
    WriteMarked(seq + "/run.bmp", 6);
    WriteMarked(seq + "/runner5.bmp", 7);
    WriteMarked(seq + "/run5.BMP", 8);
    WriteMarked(seq + "/run6.bmp.bak", 9);
    std::filesystem::create_directories(seq + "/run4.bmp");
    CBmpDoc* doc = Open(seq + "/run7.bmp");
    ASSERT_NE(doc, nullptr);

    std::vector<long> numbers;
    for (const auto& entry : doc->GetFrameMap())
        numbers.push_back(entry.first);
    EXPECT_EQ(numbers, (std::vector<long>{-3, 0, 1, 2, 7}));
    EXPECT_EQ(doc->GetRecordBegin(), -3);
    EXPECT_EQ(doc->GetRecordEnd(), 7);
    EXPECT_EQ(ShownMark(doc), 4);
    const int one = MarkAt(doc, 1);
    EXPECT_TRUE(one == 1 || one == 2) << one;
    // A gap shows nothing, the view included, and tells nobody.
    EXPECT_EQ(MarkAt(doc, 5), -1);
    EXPECT_EQ(ViewOf(doc)->GetBitmap(), nullptr);
    EXPECT_EQ(MarkAt(doc, 4), -1);
    EXPECT_EQ(MarkAt(doc, 2), 5);
    EXPECT_EQ(MarkAt(doc, 0), 6);
    EXPECT_EQ(MarkAt(doc, 7), 3);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Traces().find("Error CBmpDoc::ReadFrame"), std::string::npos);
}

TEST_F(SequenceDoc, NameOfDigitsKeepsItsFirstDigitAsTheBase) {
    const std::string seq = Folder("seq");
    WriteMarked(seq + "/12.bmp", 12);
    WriteMarked(seq + "/13.bmp", 13);
    WriteMarked(seq + "/123.bmp", 123);
    WriteMarked(seq + "/1.bmp", 1);
    WriteMarked(seq + "/2.bmp", 2);
    CBmpDoc* doc = Open(seq + "/12.bmp");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetTitle(), "1");
    EXPECT_EQ(doc->GetFrameMap().size(), 4u);
    EXPECT_EQ(doc->GetRecordBegin(), 0);
    EXPECT_EQ(doc->GetRecordEnd(), 23);
    EXPECT_EQ(ShownMark(doc), 1);
    EXPECT_EQ(MarkAt(doc, 2), 12);
    EXPECT_EQ(MarkAt(doc, 3), 13);
    EXPECT_EQ(MarkAt(doc, 23), 123);
}

TEST_F(SequenceDoc, NumbersBeyondThirtyTwoBitsAreLeftOut) {
    const std::string seq = Folder("seq");
    WriteMarked(seq + "/run2147483646.bmp", 1);
    WriteMarked(seq + "/run2147483647.bmp", 2);
    WriteMarked(seq + "/run2147483648.bmp", 3);
    WriteMarked(seq + "/run4294967297.bmp", 4); // 2^32 + 1
    CBmpDoc* doc = Open(seq + "/run2147483646.bmp");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetFrameMap().size(), 2u);
    EXPECT_EQ(doc->GetRecordBegin(), 2147483646);
    EXPECT_EQ(doc->GetRecordEnd(), 2147483647);
    EXPECT_EQ(MarkAt(doc, 2147483647), 2);
    EXPECT_EQ(MarkAt(doc, 1), 1); // kept to the play range
}

TEST_F(SequenceDoc, ASequenceWithoutNumberedFilesFailsWithAMessage) {
    const std::string seq = Folder("seq");
    WriteMarked(seq + "/run99999999999.bmp", 1);
    EXPECT_EQ(Open(seq + "/run99999999999.bmp"), nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("run99999999999.bmp"), std::string::npos) << boxes[0];
    // Hidden files are no frames, not even the one opened.
    WriteMarked(seq + "/.hidden5.bmp", 2);
    EXPECT_EQ(Open(seq + "/.hidden5.bmp"), nullptr);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1].find(".hidden5.bmp"), std::string::npos) << boxes[1];
    EXPECT_EQ(OpenSequences(), 0);
    EXPECT_EQ(CurrentFolder(), start);
}

TEST_F(SequenceDoc, InformationFileComesFromTheSequenceFolderWhichNeverBecomesCurrent) {
    const std::string seq = Folder("seq");
    for (int i = 0; i < 3; ++i)
        WriteMarked(seq + "/shot" + std::to_string(i) + ".bmp", i);
    WriteText(seq + "/shot.txt", "Rec Rate=500\r\nFrame_Rate: 250\r\n");
    // The current folder has its own information file of that name.
    WriteText(start + "/shot.txt", "Frame_Rate: 60\n");
    CBmpDoc* doc = Open(seq + "/shot1.bmp");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetFrameRate(), 250);
    EXPECT_EQ(doc->GetInformation(), "Rec Rate=500\nFrame_Rate: 250\n");
    EXPECT_EQ(CurrentFolder(), start);
    // Playing and moving read every file from the sequence's folder too.
    EXPECT_EQ(MarkAt(doc, 2), 2);
    EXPECT_EQ(CurrentFolder(), start);

    // A rate outside 1..100000 leaves the default.
    const std::string other = Folder("other");
    WriteMarked(other + "/clip0.bmp", 0);
    WriteText(other + "/clip.txt", "Frame_Rate: 100001\n");
    CBmpDoc* clip = Open(other + "/clip0.bmp");
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->GetFrameRate(), 1000);
    EXPECT_EQ(clip->GetInformation(), "Frame_Rate: 100001\n");
}

TEST_F(SequenceDoc, RelativePathIsTakenFromTheCurrentFolder) {
    const std::string seq = start + "/seq";
    std::filesystem::create_directories(seq);
    WriteMarked(seq + "/run3.bmp", 3);
    WriteMarked(seq + "/run4.bmp", 4);
    WriteText(seq + "/run.txt", "Frame_Rate:30\n");
    CBmpDoc* doc = Open("seq/run4.bmp");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetFullPath(), CString((seq + "/run4.bmp").c_str()));
    EXPECT_EQ(doc->GetPathName(), CString((seq + "/run4.bmp").c_str()));
    EXPECT_EQ(doc->GetFrameRate(), 30);
    EXPECT_EQ(ShownMark(doc), 3);
    // Another current folder later changes nothing for the open sequence.
    std::filesystem::current_path(dir.Path(""));
    EXPECT_EQ(MarkAt(doc, 4), 4);
}

TEST_F(SequenceDoc, PictureSizeComesFromAFrameThatCanBeRead) {
    const std::string seq = Folder("seq");
    // The first frame's file is damaged: it shows nothing and says so to the debugger only.
    WriteText(seq + "/run0.bmp", "BM this is no bitmap");
    WriteMarked(seq + "/run1.bmp", 1, 11, 3);
    CBmpDoc* doc = Open(seq + "/run0.bmp");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetInformation(), "Picture Size = 11x3");
    EXPECT_EQ(ShownMark(doc), -1);
    EXPECT_NE(Traces().find("Error CBmpDoc::ReadFrame\n"), std::string::npos);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(MarkAt(doc, 1), 1);
}

TEST_F(SequenceDoc, DamagedJpegAndTiffFramesShowNothing) {
    const std::string seq = Folder("seq");
    // Not JPEG at all, and a JPEG start that ends at once.
    WriteText(seq + "/a0.jpg", "no jpeg here");
    imagetest::WriteAll(seq + "/a1.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0x00});
    CBmpDoc* jpeg = Open(seq + "/a0.jpg");
    ASSERT_NE(jpeg, nullptr);
    EXPECT_TRUE(jpeg->IsKindOf(RUNTIME_CLASS(CJpegDoc)));
    EXPECT_EQ(ShownMark(jpeg), -1);
    EXPECT_EQ(MarkAt(jpeg, 1), -1);
    EXPECT_NE(Traces().find("Error CJpegDoc::Decomp\n"), std::string::npos);

    // A TIFF header whose directory lies outside the file, and one of an unknown byte order.
    imagetest::WriteAll(seq + "/b0.tif", {'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0});
    imagetest::WriteAll(seq + "/b1.tif", {'X', 'X', 42, 0, 8, 0, 0, 0, 0, 0});
    CBmpDoc* tiff = Open(seq + "/b1.tif");
    ASSERT_NE(tiff, nullptr);
    EXPECT_TRUE(tiff->IsKindOf(RUNTIME_CLASS(CTiffDoc)));
    EXPECT_STREQ(tiff->GetTypeText(), "tif");
    EXPECT_EQ(ShownMark(tiff), -1);
    EXPECT_EQ(MarkAt(tiff, 1), -1);
    EXPECT_NE(Traces().find("Error CBmpDoc::ReadFrame\n"), std::string::npos);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SequenceDoc, PlaysOverGapsAndStops) {
    const std::string seq = Folder("seq");
    for (int i : {0, 1, 3, 6})
        WriteMarked(seq + "/run" + std::to_string(i) + ".bmp", 50 + i);
    CBmpDoc* doc = Open(seq + "/run0.bmp");
    ASSERT_NE(doc, nullptr);
    // 100 frames a second, one frame a step.
    doc->SetPlaySpeedWord(0x00640001);
    doc->SetLoopPlay(TRUE);
    doc->Play();
    std::vector<long> seen;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (seen.size() < 12 && std::chrono::steady_clock::now() < end) {
        AfxPumpMessages();
        const long frame = doc->GetCurrentFrame();
        if (seen.empty() || seen.back() != frame)
            seen.push_back(frame);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    doc->Stop();
    for (int i = 0; i < 50 && doc->IsPlaying(); ++i) {
        AfxPumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    Pump();
    EXPECT_FALSE(doc->IsPlaying());
    EXPECT_GE(seen.size(), 12u);
    // Every frame of the range came by, the gaps too.
    for (long frame = 0; frame <= 6; ++frame)
        EXPECT_NE(std::find(seen.begin(), seen.end(), frame), seen.end()) << frame;
    const long shown = doc->GetCurrentFrame();
    const auto& frames = doc->GetFrameMap();
    EXPECT_EQ(ShownMark(doc), frames.count(shown) != 0 ? 50 + shown : -1);
    EXPECT_EQ(ViewOf(doc)->GetBitmap(), doc->GetFrameBitmap());
}
