// "Save as" of a raw camera window through the program's command path, answered as the user would
// (the save dialog, the compression options, the JPEG quality): a tuned recording becomes an AVI movie
// or a BMP, JPEG or TIFF sequence that ffprobe, ffmpeg, ImageMagick and the TIFF tools read back with
// the tuned pipeline's pixels; Cancel, and the failures a user can meet.
#include <filesystem>

#include "KivIc/Documents/AviDoc.h"
#include "KivIc/Documents/BmpDoc.h"
#include "KivIc/Main/MainFrame.h"
#include "KivIc/Playback/PlaybackIds.h"
#include "kivic_conversion/convert_fixture.h"

namespace {

using namespace convtest;

TEST_F(ConvertProgramTest, ATunedRecordingBecomesMoviesThatFfmpegReadsBack) {
    if (!avitest::HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    std::unique_ptr<ReferencePipeline> reference;
    // Large enough that the sharp colour bars of the test picture are not all edges for the lossy
    // compressors.
    CKivDoc* doc = OpenTuned("tuned.cm8", 320, 240, 12, &reference);
    ASSERT_NE(doc, nullptr) << Boxes();
    // A play range narrower than the record range, starting at a negative frame.
    doc->SetPlayBegin(-2);
    doc->SetPlayEnd(5);
    doc->SetCurrentFrame(1, TRUE);
    const struct {
        FOURCC handler;
        const char* codec;
        const char* name;
        const char* fcc;
    } movies[] = {{kDib, "rawvideo", "dib", "DIB "},
                  {kMsvc, "msvideo1", "msvc", "msvc"},
                  {kMjpg, "mjpeg", "mjpg", "MJPG"}};
    for (const auto& m : movies) {
        SCOPED_TRACE(m.name);
        const std::string target = Out(std::string(m.name) + ".avi");
        ASSERT_TRUE(SaveAs(doc, {CConvFileSave::kTypeAvi, target, m.handler, 90}));
        EXPECT_TRUE(boxes.empty()) << Boxes();
        EXPECT_EQ(doc->m_fccHandler, m.handler);
        EXPECT_TRUE(main->IsWindowEnabled());
        // The window still shows frame 1, and the source is on it again.
        EXPECT_EQ(doc->GetCurrentFrame(), 1);

        auto probe = avitest::Probe(target);
        EXPECT_EQ(probe["codec_name"], m.codec);
        EXPECT_EQ(probe["width"], "320");
        EXPECT_EQ(probe["height"], "240");
        EXPECT_EQ(probe["r_frame_rate"], "30/1");
        EXPECT_EQ(probe["nb_read_packets"], "8");
        for (const auto& flags : avitest::PacketFlags(target))
            EXPECT_EQ(flags.substr(0, 1), "K");

        const auto decoded = avitest::FfmpegDecode(target, Out("decoded.bgr"));
        const std::size_t frameSize = 320u * 240u * 3u;
        ASSERT_EQ(decoded.size(), frameSize * 8);
        for (long n = -2; n <= 5; ++n) {
            const auto expected = TopDown(reference->Convert(n), false);
            const uint8_t* got = decoded.data() + frameSize * static_cast<std::size_t>(n + 2);
            if (m.handler == kDib) {
                EXPECT_TRUE(std::equal(expected.begin(), expected.end(), got)) << "frame " << n;
            } else {
                EXPECT_GE(avitest::Psnr(expected.data(), got, frameSize), 30.0) << "frame " << n;
            }
        }
        std::filesystem::remove(Out("decoded.bgr"));

        // The information text is the movie's 'txts' chunk, byte for byte, and its ".txt" in CR LF.
        char quality[32];
        std::snprintf(quality, sizeof quality, "Quality : %lu\n",
                      static_cast<unsigned long>(doc->m_dwQuality));
        const std::string info = InfoText(doc, ".avi", -2, 5,
                                          "Video codec : " + std::string(CompressorDescription(m.handler)) +
                                              "\nFCC HANDLER : " + m.fcc + "\n" + quality);
        EXPECT_EQ(ReadTxts(target), info);
        EXPECT_EQ(Text(avitest::ReadFile(Out(std::string(m.name) + ".txt"))), CrLf(info));

        // The movie is opened as a document.
        CDocument* movie = DocumentOf(target);
        ASSERT_NE(movie, nullptr);
        EXPECT_TRUE(movie->IsKindOf(RUNTIME_CLASS(CAviDoc)));
        EXPECT_EQ(
            static_cast<CAviDoc*>(movie)->GetRecordEnd() - static_cast<CAviDoc*>(movie)->GetRecordBegin(), 7);
    }
}

TEST_F(ConvertProgramTest, SequencesHoldTheTunedPicturesUnderNumberedNames) {
    std::unique_ptr<ReferencePipeline> reference;
    // 37 pixels: rows of 111 bytes, padded to 112 in a bitmap file.
    CKivDoc* doc = OpenTuned("odd.cm8", 37, 20, 6, &reference);
    ASSERT_NE(doc, nullptr) << Boxes();
    const long first = doc->GetPlayBegin(), last = doc->GetPlayEnd();
    ASSERT_EQ(first, -3);
    CConvertingDlg::SetWorkerCount(2);
    ASSERT_TRUE(SaveAs(doc, {CConvFileSave::kTypeBmp, Out("Clip007.BMP")}));
    ASSERT_TRUE(SaveAs(doc, {CConvFileSave::kTypeTiff, Out("scan.tif")}));

    // JPEG on a larger picture: in 37 x 20 pixels the test picture's colour bars are nearly all edges.
    std::unique_ptr<ReferencePipeline> wideReference;
    CKivDoc* wide = OpenTuned("wide.cm8", 320, 240, 4, &wideReference);
    ASSERT_NE(wide, nullptr) << Boxes();
    ASSERT_TRUE(SaveAs(wide, {CConvFileSave::kTypeJpeg, Out("shot.jpg"), 0, 80}));
    EXPECT_TRUE(boxes.empty()) << Boxes();
    EXPECT_EQ(wide->m_dwQuality, 8000u);

    std::vector<std::string> expected = {"Clip.txt", "scan.txt", "shot.txt"};
    for (long i = 0; i <= last - first; ++i) {
        expected.push_back(CSequenceOutput::FrameFileName("Clip", i, ".BMP"));
        expected.push_back(CSequenceOutput::FrameFileName("scan", i, ".tif"));
    }
    for (long i = 0; i < 4; ++i)
        expected.push_back(CSequenceOutput::FrameFileName("shot", i, ".jpg"));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Files(), expected);
    EXPECT_EQ(Text(avitest::ReadFile(Out("Clip.txt"))), CrLf(InfoText(doc, ".BMP", first, last)));
    EXPECT_EQ(Text(avitest::ReadFile(Out("scan.txt"))), CrLf(InfoText(doc, ".tif", first, last)));
    EXPECT_EQ(Text(avitest::ReadFile(Out("shot.txt"))),
              CrLf(InfoText(wide, ".jpg", -3, 0, "Quality : 8000\n")));

    if (HaveMagick()) {
        for (long n = first; n <= last; ++n) {
            const auto rgb = TopDown(reference->Convert(n), true);
            EXPECT_EQ(MagickRgb(Out(CSequenceOutput::FrameFileName("Clip", n - first, ".BMP"))), rgb) << n;
            EXPECT_EQ(MagickRgb(Out(CSequenceOutput::FrameFileName("scan", n - first, ".tif"))), rgb) << n;
        }
        for (long n = -3; n <= 0; ++n) {
            const auto rgb = TopDown(wideReference->Convert(n), true);
            const auto jpeg = MagickRgb(Out(CSequenceOutput::FrameFileName("shot", n + 3, ".jpg")));
            ASSERT_EQ(jpeg.size(), rgb.size());
            EXPECT_GE(avitest::Psnr(jpeg.data(), rgb.data(), rgb.size()), 30.0) << n;
        }
        const std::string info = avitest::Run("tiffinfo '" + Out("scan00000000.tif") + "' 2>&1");
        EXPECT_NE(info.find("Image Width: 37 Image Length: 20"), std::string::npos) << info;
        EXPECT_NE(info.find("RGB color"), std::string::npos) << info;
    }
    // The bitmap sequence is opened from its first file; JPEG and TIFF open nothing.
    CDocument* bmp = DocumentOf(Out("Clip00000000.BMP"));
    ASSERT_NE(bmp, nullptr);
    EXPECT_TRUE(bmp->IsKindOf(RUNTIME_CLASS(CBmpDoc)));
    EXPECT_EQ(DocumentOf(Out("scan00000000.tif")), nullptr);
    EXPECT_EQ(DocumentOf(Out("shot00000000.jpg")), nullptr);
}

// Frame files of an earlier sequence that do not start at 0 are asked about as any others: "No" keeps
// every one of them, "Yes" lets a shorter run replace and remove them.
TEST_F(ConvertProgramTest, FrameFilesInTheWayAreAskedAboutBeforeAnyIsRemoved) {
    CKivDoc* doc = OpenTuned("three.cm8", 32, 16, 3);
    ASSERT_NE(doc, nullptr) << Boxes();
    std::vector<std::string> earlier;
    for (long i = 5; i < 10; ++i) {
        earlier.push_back(CSequenceOutput::FrameFileName("run", i, ".bmp"));
        avitest::WriteFile(Out(earlier.back()), "x", 1);
    }
    boxes.clear();
    // The recorder's answer is not "Yes": the save dialog stays and nothing is converted.
    EXPECT_FALSE(SaveAs(doc, {CConvFileSave::kTypeBmp, Out("run.bmp")}));
    ASSERT_EQ(boxes.size(), 1u) << Boxes();
    EXPECT_NE(boxes[0].find("5 frame files, run00000005.bmp to run00000009.bmp"), std::string::npos)
        << Boxes();
    EXPECT_EQ(Files(), earlier);

    boxes.clear();
    const MessageBoxNotifier recorder =
        SetMessageBoxNotifier([this](HWND, const char* text, const char*, UINT type) {
            boxes.emplace_back(text != nullptr ? text : "");
            return (type & 0x0Fu) == MB_YESNO ? IDYES : IDOK;
        });
    EXPECT_TRUE(SaveAs(doc, {CConvFileSave::kTypeBmp, Out("run.bmp")}));
    SetMessageBoxNotifier(recorder);
    EXPECT_EQ(boxes.size(), 1u) << Boxes();
    EXPECT_EQ(Files(),
              (std::vector<std::string>{"run.txt", "run00000000.bmp", "run00000001.bmp", "run00000002.bmp"}));
}

TEST_F(ConvertProgramTest, CancelKeepsTheFramesWrittenOpensNothingAndFreesTheWindow) {
    CKivDoc* doc = OpenTuned("long.cm8", 512, 480, 160);
    ASSERT_NE(doc, nullptr) << Boxes();
    for (int workers : {1, 0}) {
        SCOPED_TRACE(workers);
        CConvertingDlg::SetWorkerCount(workers);
        {
            CancelAfter cancel(3, 160);
            ASSERT_TRUE(SaveAs(doc, {CConvFileSave::kTypeBmp, Out("cut.bmp")}));
            EXPECT_TRUE(cancel.pressed);
        }
        const auto files = Files();
        ASSERT_GE(files.size(), 3u);
        ASSERT_LT(files.size(), 160u);
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < files.size(); ++i)
            expected.push_back(CSequenceOutput::FrameFileName("cut", static_cast<long>(i), ".bmp"));
        EXPECT_EQ(files, expected); // files 0..k only, no ".txt"
        EXPECT_EQ(DocumentOf(Out("cut00000000.bmp")), nullptr);
        EXPECT_TRUE(main->IsWindowEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(boxes.empty()) << Boxes();
        for (const auto& name : files)
            std::filesystem::remove(Out(name));

        {
            CancelAfter cancel(3, 160);
            ASSERT_TRUE(SaveAs(doc, {CConvFileSave::kTypeAvi, Out("cut.avi"), kDib, 50}));
            EXPECT_TRUE(cancel.pressed);
        }
        EXPECT_EQ(Files(), std::vector<std::string>{"cut.avi"});
        if (avitest::HaveFfmpeg()) {
            const long written = std::stol(avitest::Probe(Out("cut.avi"))["nb_read_packets"]);
            EXPECT_GE(written, 3);
            EXPECT_LT(written, 160);
        }
        EXPECT_EQ(DocumentOf(Out("cut.avi")), nullptr);
        EXPECT_TRUE(main->IsWindowEnabled());
        std::filesystem::remove(Out("cut.avi"));
    }
}

TEST_F(ConvertProgramTest, PlaybackStopsBeforeTheConversion) {
    std::unique_ptr<ReferencePipeline> reference;
    CKivDoc* doc = OpenTuned("play.cm8", 96, 64, 12, &reference);
    ASSERT_NE(doc, nullptr) << Boxes();
    Bar()->SetPlaySpeed(24);
    // The window's own playback (the menus do not offer "Save as" meanwhile; the command stops it).
    doc->SetLoopPlay(TRUE);
    Command(ID_PLAY_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return doc->IsPlaying() && doc->GetCurrentFrame() != -3; }));
    EXPECT_FALSE(IsEnabled(ID_FILE_CONVERT_SAVE));
    ASSERT_TRUE(SaveAs(doc, {CConvFileSave::kTypeBmp, Out("own.bmp")}, true));
    EXPECT_FALSE(doc->IsPlaying());
    // Synchronised playback.
    Command(ID_SYNC_MODE);
    ASSERT_TRUE(main->IsSyncMode());
    Command(ID_SYNC_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return main->IsSyncPlaying(); }));
    ASSERT_TRUE(SaveAs(doc, {CConvFileSave::kTypeBmp, Out("sync.bmp")}, true));
    EXPECT_FALSE(main->IsSyncPlaying());
    EXPECT_TRUE(boxes.empty()) << Boxes();
    // Stopping handles nothing else that waits: a close asked for right after "Save as" is not taken
    // while playback stops, under the save dialog, but after it.
    Command(ID_SYNC_MODE);
    ASSERT_FALSE(main->IsSyncMode());
    doc->ActivateFirstView();
    doc->SetCurrentFrame(-3, TRUE);
    Command(ID_PLAY_PLAY);
    ASSERT_TRUE(PumpUntil([&] { return doc->IsPlaying(); }));
    const std::string path = doc->GetPathName().GetString();
    bool openWhenAsked = false;
    AfxSetFileDialogHook([&](CFileDialog*) -> INT_PTR {
        openWhenAsked = DocumentOf(path) != nullptr;
        return IDCANCEL;
    });
    KivFrameOf(doc)->PostMessage(WM_CLOSE);
    doc->OnConvertSave();
    AfxSetFileDialogHook(nullptr);
    EXPECT_TRUE(openWhenAsked) << "the recording closed under the save dialog";
    Pump();
    EXPECT_EQ(DocumentOf(path), nullptr);
    // Both conversions hold the frames as the pipeline makes them, untouched by any playback.
    if (HaveMagick()) {
        for (const char* base : {"own", "sync"}) {
            for (long n = -3; n <= 8; ++n)
                EXPECT_EQ(MagickRgb(Out(CSequenceOutput::FrameFileName(base, n + 3, ".bmp"))),
                          TopDown(reference->Convert(n), true))
                    << base << " " << n;
        }
    }
}

// The save dialog proposes the recording's own name, without its extension, in the recording's folder:
// OK on it gives that name with the chosen type's extension.
TEST_F(ConvertProgramTest, TheSaveDialogProposesTheRecordingsNameInItsFolder) {
    CKivDoc* doc = OpenTuned("proposal.cm8", 32, 16, 2);
    ASSERT_NE(doc, nullptr) << Boxes();
    const std::string folder = std::filesystem::path(doc->GetPathName().GetString()).parent_path().string();
    CString proposed;
    CString shown;
    AfxSetFileDialogHook([&](CFileDialog* d) -> INT_PTR {
        d->PickFilter(CConvFileSave::kTypeBmp);
        d->PressOK();
        proposed = d->GetPathName();
        shown = d->m_strInitialName;
        return IDCANCEL;
    });
    Command(ID_FILE_CONVERT_SAVE);
    AfxSetFileDialogHook(nullptr);
    Pump();
    EXPECT_STREQ(shown, (folder + "/proposal").c_str());
    EXPECT_STREQ(proposed, (folder + "/proposal.bmp").c_str());
    EXPECT_TRUE(boxes.empty()) << Boxes();
}

// The driver on a target chosen before ("Save as" without its dialog).
class ConvertFailureTest : public ConvertProgramTest {
protected:
    BOOL ConvertTo(CKivDoc* doc, const std::string& target, FOURCC handler = kDib) {
        boxes.clear();
        doc->m_strTargetPath = target.c_str();
        doc->m_fccHandler = handler;
        doc->m_dwQuality = 10000;
        const BOOL result = doc->Convert();
        Pump();
        EXPECT_TRUE(main->IsWindowEnabled());
        return result;
    }
};

TEST_F(ConvertFailureTest, FailuresAreNamedAndLeaveAnEarlierMovieAndNoTemporaryFile) {
    CKivDoc* doc = OpenTuned("fail.cm8", 96, 64, 12);
    ASSERT_NE(doc, nullptr) << Boxes();
    const std::string movie = Out("movie.avi");
    avitest::WriteFile(movie, "earlier movie", 13);
    const auto earlierOnly = std::vector<std::string>{"movie.avi"};

    // An unwritable target: its folder is a file.
    avitest::WriteFile(Out("plain"), "x", 1);
    EXPECT_FALSE(ConvertTo(doc, Out("plain/movie.avi")));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(Out("plain/movie.avi")), std::string::npos) << Boxes();
    EXPECT_EQ(boxes[0].find("AVI Convert Failed."), std::string::npos) << Boxes();
    std::filesystem::remove(Out("plain"));

    // A disk that fills while the frames go in.
    int writes = 0;
    kivic::win32::SetWriteFaultHook([&writes](const std::string& path, std::size_t) {
        return path.find("~conv") != std::string::npos && ++writes > 4;
    });
    EXPECT_FALSE(ConvertTo(doc, movie));
    kivic::win32::SetWriteFaultHook({});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(movie), std::string::npos) << Boxes();
    EXPECT_NE(boxes[0].find("disk"), std::string::npos) << Boxes();
    EXPECT_EQ(Files(), earlierOnly);
    EXPECT_EQ(avitest::ReadFile(movie).size(), 13u);

    // A disk that fills while the movie is finished (the frames went in on the workers' threads).
    kivic::win32::SetWriteFaultHook([](const std::string& path, std::size_t) {
        return path.find("~conv") != std::string::npos && AfxIsGuiThread();
    });
    EXPECT_FALSE(ConvertTo(doc, movie));
    kivic::win32::SetWriteFaultHook({});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Cannot finish the movie \"" + movie + "\""), std::string::npos) << Boxes();
    EXPECT_EQ(Files(), earlierOnly);
    EXPECT_EQ(avitest::ReadFile(movie).size(), 13u);

    // A play range that ends before it begins.
    doc->SetPlayBegin(5);
    doc->SetPlayEnd(2);
    EXPECT_FALSE(ConvertTo(doc, movie));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("ends (2) before it begins (5)"), std::string::npos) << Boxes();
    EXPECT_EQ(Files(), earlierOnly);
    EXPECT_EQ(avitest::ReadFile(movie).size(), 13u);
    doc->SetPlayBegin(doc->GetRecordBegin());
    doc->SetPlayEnd(doc->GetRecordEnd());

    // An extension no conversion writes.
    EXPECT_FALSE(ConvertTo(doc, Out("picture.PNG")));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "not support conversiontype png");
    EXPECT_EQ(Files(), earlierOnly);
}

TEST_F(ConvertFailureTest, ACutRecordingNamesTheMissingFrame) {
    cm8::Recording rec = SmallRecording();
    rec.truncate = cm8::kHeaderBytes + rec.FrameBytes() * 7ull + 100; // frame 4 (the 8th) is cut
    CKivDoc* doc = OpenKiv(Write("cut.cm8", rec));
    ASSERT_NE(doc, nullptr) << Boxes();
    boxes.clear();
    const std::string movie = Out("movie.avi");
    avitest::WriteFile(movie, "earlier movie", 13);
    EXPECT_FALSE(ConvertTo(doc, movie));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("4"), std::string::npos) << Boxes();
    EXPECT_NE(boxes[0].find("cut.cm8"), std::string::npos) << Boxes();
    EXPECT_EQ(Files(), std::vector<std::string>{"movie.avi"});
    EXPECT_EQ(avitest::ReadFile(movie).size(), 13u);

    EXPECT_FALSE(ConvertTo(doc, Out("seq.bmp")));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].find("AVI Convert Failed."), std::string::npos) << Boxes();
    // Frames -3..3 were written in order; no information file.
    auto files = Files();
    files.erase(std::remove(files.begin(), files.end(), "movie.avi"), files.end());
    std::vector<std::string> expected;
    for (long i = 0; i < 7; ++i)
        expected.push_back(CSequenceOutput::FrameFileName("seq", i, ".bmp"));
    EXPECT_EQ(files, expected);
}

TEST_F(ConvertFailureTest, TheDiskSpaceMessageSaysWhatIsNeededAndWhatIsFree) {
    cm8::Recording rec = SmallRecording();
    rec.width = 1024;
    rec.height = 1024;
    rec.frames = 2000000; // about 6 TB converted; the file's frames stay holes
    rec.onlyFrames = {0};
    CKivDoc* doc = OpenKiv(Write("huge.cm8", rec));
    ASSERT_NE(doc, nullptr) << Boxes();
    ULARGE_INTEGER free{};
    ASSERT_TRUE(GetDiskFreeSpaceExA(Folder().c_str(), &free, nullptr, nullptr));
    const ULONGLONG need = static_cast<ULONGLONG>(doc->GetBitmapBytes()) * 2000000ull;
    if (free.QuadPart >= need)
        GTEST_SKIP() << "this disk holds the whole conversion";
    boxes.clear();
    EXPECT_FALSE(doc->CheckDiskSpace(Out("huge.avi").c_str()));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(Out("huge.avi")), std::string::npos) << Boxes();
    EXPECT_NE(boxes[0].find("Needed: "), std::string::npos) << Boxes();
    EXPECT_NE(boxes[0].find("(" + std::to_string(need) + " bytes)"), std::string::npos) << Boxes();
    EXPECT_NE(boxes[0].find("Free: "), std::string::npos) << Boxes();
    // A play range that fits passes.
    doc->SetPlayEnd(doc->GetPlayBegin() + 1);
    EXPECT_TRUE(doc->CheckDiskSpace(Out("huge.avi").c_str()));
}

} // namespace
