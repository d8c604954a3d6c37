// The converting dialogs on the frame worker pool, off screen: the files and names they write, the
// information text with CR LF line ends, the progress window, Cancel, and failures shown with the file
// and the cause while nothing is written beside the target.
#include <QApplication>
#include <filesystem>

#include <gtest/gtest.h>

#include "KivIc/Conversion/AviConvertingDlg.h"
#include "KivIc/Conversion/SequenceConvertingDlg.h"
#include "afx/afx_test_app.h"
#include "kivic_conversion/conversion_test_util.h"
#include "platform/afx/ctrl/progressctrl.h"
#include "platform/vfw/vfw.h"
#include "vomLib/avilib/MjpgCodec.h"

namespace {

constexpr DWORD kDib = mmioFOURCC('D', 'I', 'B', ' ');
constexpr DWORD kMjpg = mmioFOURCC('M', 'J', 'P', 'G');
const char* const kInformation = "Camera : test\nRec Rate=500\nFrame Size : 37 x 9";

// A converter whose worker calls `onFrame` after each frame (e.g. to press Cancel from outside).
class HookedConverter : public convtest::TestConverter {
public:
    HookedConverter(convtest::ConverterScript& script, std::function<void(long)> onFrame)
        : TestConverter(script), m_onFrame(std::move(onFrame)) {}
    bool Convert(long frame, BYTE* buffer, std::size_t capacity, std::string* error) override {
        const bool ok = TestConverter::Convert(frame, buffer, capacity, error);
        if (m_onFrame)
            m_onFrame(frame);
        return ok;
    }

private:
    std::function<void(long)> m_onFrame;
};

class ConvertingDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        AfxEnsureQtApp();
        InstallMjpgCodec();
        script.width = 37;
        script.height = 9;
    }
    void TearDown() override { CConvertingDlg::SetWorkerCount(0); }

    ConvertSource Source(long first, long last, std::function<void(long)> onFrame = {}) {
        ConvertSource s;
        s.first = first;
        s.last = last;
        s.information = kInformation;
        s.width = script.width;
        s.height = script.height;
        s.frameBytes = static_cast<DWORD>(40 + script.width * 3 * script.height);
        s.makeConverter = [this, onFrame](std::string*) -> std::unique_ptr<IFrameConverter> {
            return std::make_unique<HookedConverter>(script, onFrame);
        };
        return s;
    }
    std::string Path(const std::string& name) const { return dir.File(name); }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.File("")))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static std::vector<std::string> Numbered(const std::string& base, long count, const std::string& ext) {
        std::vector<std::string> names;
        for (long i = 0; i < count; ++i)
            names.push_back(CSequenceOutput::FrameFileName(base, i, ext));
        return names;
    }

    convtest::ConverterScript script;
    avitest::TempDir dir;
    MessageBoxRecorder recorder;
    std::vector<std::string>& boxes = recorder.texts;
};

TEST_F(ConvertingDlgTest, ABitmapSequenceGetsNumberedFilesAndAnInformationFileWithCrLf) {
    for (int workers : {1, 2, 0}) {
        SCOPED_TRACE(workers);
        CConvertingDlg::SetWorkerCount(workers);
        CBmpConvertingDlg dlg(Source(-3, 8), Path("run0012.bmp").c_str(), nullptr);
        EXPECT_EQ(dlg.GetBaseName(), "run");
        EXPECT_EQ(dlg.MakeFrameFileName(7), "run00000007.bmp");
        ASSERT_TRUE(dlg.Run()) << dlg.GetErrorText();
        EXPECT_TRUE(boxes.empty());
        auto expected = Numbered("run", 12, ".bmp");
        expected.insert(expected.begin(), "run.txt");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Files(), expected);
        const auto info = avitest::ReadFile(dlg.GetInfoFilePath().GetString());
        EXPECT_EQ(std::string(info.begin(), info.end()),
                  "Camera : test\r\nRec Rate=500\r\nFrame Size : 37 x 9\r\nFile type : .bmp\r\n"
                  "Conversion Range : -3  -> 8\r\n");
        // Frame -3 is file 0.
        const auto file0 = avitest::ReadFile(dlg.GetFramePath(0).GetString());
        const auto frame = convtest::MakePackedFrame(-3, 37, 9);
        ASSERT_EQ(file0.size(), 54u + 112u * 9);
        EXPECT_EQ(std::memcmp(file0.data() + 54, frame.data() + 40, 111), 0);
        EXPECT_EQ(dlg.GetWrittenFrames(), 12);
        for (const auto& name : Files())
            std::filesystem::remove(Path(name));
    }
}

TEST_F(ConvertingDlgTest, TheExtensionKeepsItsCaseAndASingleFrameIsFileZero) {
    // One frame needs one converter, however many workers there could be.
    CConvertingDlg::SetWorkerCount(8);
    ConvertSource source = Source(5, 5);
    int converters = 0;
    source.makeConverter = [&, make = source.makeConverter](std::string* error) {
        ++converters;
        return make(error);
    };
    CBmpConvertingDlg dlg(source, Path("Clip007.BMP").c_str(), nullptr);
    ASSERT_TRUE(dlg.Run());
    EXPECT_EQ(converters, 1);
    EXPECT_EQ(Files(), (std::vector<std::string>{"Clip.txt", "Clip00000000.BMP"}));
    const auto text = avitest::ReadFile(Path("Clip.txt"));
    const std::string s(text.begin(), text.end());
    EXPECT_NE(s.find("File type : .BMP\r\nConversion Range : 5  -> 5\r\n"), std::string::npos) << s;
}

TEST_F(ConvertingDlgTest, StaleFramesOfALongerSequenceGoAfterSuccessOnly) {
    for (int i = 0; i < 20; ++i)
        avitest::WriteFile(Path(CSequenceOutput::FrameFileName("seq", i, ".bmp")), "old", 3);
    avitest::WriteFile(Path("seq000000019.bmp"), "other", 5); // not "%08d": stays
    CBmpConvertingDlg dlg(Source(0, 4), Path("seq.bmp").c_str(), nullptr);
    ASSERT_TRUE(dlg.Run());
    auto expected = Numbered("seq", 5, ".bmp");
    expected.push_back("seq.txt");
    expected.push_back("seq000000019.bmp");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Files(), expected);
}

TEST_F(ConvertingDlgTest, JpegAndTiffSequencesWriteTheirFilesAndOpenNothing) {
    {
        CJpgConvertingDlg dlg(Source(0, 3), Path("shot-5.jpg").c_str(), 7500, nullptr);
        ASSERT_TRUE(dlg.Run());
        const auto text = avitest::ReadFile(Path("shot.txt"));
        EXPECT_NE(std::string(text.begin(), text.end())
                      .find("File type : .jpg\r\nConversion Range : 0  -> 3\r\n"
                            "Quality : 7500\r\n"),
                  std::string::npos);
    }
    {
        CTifConvertingDlg dlg(Source(0, 3), Path("scan.tif").c_str(), nullptr);
        ASSERT_TRUE(dlg.Run());
    }
    auto expected = Numbered("shot", 4, ".jpg");
    auto tif = Numbered("scan", 4, ".tif");
    expected.insert(expected.end(), tif.begin(), tif.end());
    expected.push_back("shot.txt");
    expected.push_back("scan.txt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Files(), expected);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ConvertingDlgTest, TheMovieNamesTheCompressorThatWroteIt) {
    CAviConvertingDlg dlg(Source(0, 2), Path("movie.avi").c_str(), kDib, 10000, "Microsoft Video 1", nullptr);
    CString text;
    dlg.AppendFormatInfo(text);
    EXPECT_EQ(text, "Video codec : Full Frames (Uncompressed)\nFCC HANDLER : DIB \nQuality : 10000\n");
    CAviConvertingDlg none(Source(0, 2), Path("movie.avi").c_str(), 0, 10000, "Unknown", nullptr);
    none.AppendFormatInfo(text = "");
    EXPECT_EQ(text, "Video codec : Unknown\nFCC HANDLER : \nQuality : 10000\n");
}

TEST_F(ConvertingDlgTest, AMovieIsWrittenWithItsInformationTextAndFile) {
    script.width = 64;
    script.height = 48;
    CAviConvertingDlg dlg(Source(-2, 9), Path("movie.avi").c_str(), kMjpg, 7500, "MJPG", nullptr);
    ASSERT_TRUE(dlg.Run()) << dlg.GetErrorText();
    EXPECT_EQ(Files(), (std::vector<std::string>{"movie.avi", "movie.txt"}));
    if (avitest::HaveFfmpeg()) {
        auto probe = avitest::Probe(Path("movie.avi"));
        EXPECT_EQ(probe["codec_name"], "mjpeg");
        EXPECT_EQ(probe["nb_read_packets"], "12");
    }
}

// Cancel is pressed (posted to the progress window from outside) while frame 6 is converted.
struct CancelAtFrame {
    CConvertingDlg* dlg = nullptr;
    std::atomic<bool> pressed{false};
    std::function<void(long)> Hook() {
        return [this](long frame) {
            if (frame == 6 && !pressed.exchange(true))
                PostMessage(dlg->GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
        };
    }
};

TEST_F(ConvertingDlgTest, CancelLeavesTheFramesWrittenInOrderAndNoInformationFile) {
    script.jitter = true;
    for (int workers : {1, 4}) {
        SCOPED_TRACE(workers);
        CConvertingDlg::SetWorkerCount(workers);
        CancelAtFrame cancel;
        CBmpConvertingDlg dlg(Source(0, 999, cancel.Hook()), Path("cut.bmp").c_str(), nullptr);
        cancel.dlg = &dlg;
        EXPECT_FALSE(dlg.Run());
        EXPECT_TRUE(dlg.IsCancelled());
        EXPECT_TRUE(boxes.empty());
        const long written = dlg.GetWrittenFrames();
        EXPECT_GE(written, 1);
        EXPECT_LT(written, 1000);
        EXPECT_EQ(Files(), Numbered("cut", written, ".bmp"));
        // The wait cursor that Cancel started is gone again.
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        for (const auto& name : Files())
            std::filesystem::remove(Path(name));
    }
}

TEST_F(ConvertingDlgTest, ACancelledMovieKeepsTheFramesWrittenAndReplacesTheTarget) {
    script.width = 32;
    script.height = 16;
    script.jitter = true; // the run lasts long enough for Cancel to arrive
    avitest::WriteFile(Path("movie.avi"), "earlier", 7);
    {
        // Cancelled before the first frame was in: nothing to keep, the earlier movie stays.
        CAviConvertingDlg early(Source(0, 9), Path("movie.avi").c_str(), kDib, 10000, "", nullptr);
        ASSERT_TRUE(early.OpenOutput()) << early.GetErrorText();
        EXPECT_TRUE(early.CloseOutput(CConvertingDlg::Outcome::Cancelled)) << early.GetErrorText();
        EXPECT_EQ(Files(), std::vector<std::string>{"movie.avi"});
        EXPECT_EQ(avitest::ReadFile(Path("movie.avi")).size(), 7u);
    }
    CConvertingDlg::SetWorkerCount(3);
    CancelAtFrame cancel;
    CAviConvertingDlg dlg(Source(0, 999, cancel.Hook()), Path("movie.avi").c_str(), kDib, 10000, "", nullptr);
    cancel.dlg = &dlg;
    EXPECT_FALSE(dlg.Run());
    EXPECT_EQ(Files(), std::vector<std::string>{"movie.avi"});
    const long written = dlg.GetWrittenFrames();
    ASSERT_GE(written, 1);
    if (avitest::HaveFfmpeg()) {
        EXPECT_EQ(avitest::Probe(Path("movie.avi"))["nb_read_packets"], std::to_string(written));
    }
}

TEST_F(ConvertingDlgTest, AMissingFrameFailsNamingItAndWritesNoInformationFile) {
    script.failAt = 4;
    CBmpConvertingDlg bmp(Source(0, 30), Path("cut.bmp").c_str(), nullptr);
    EXPECT_FALSE(bmp.Run());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Cannot create frame."), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[0].find("frame 4 is missing"), std::string::npos) << boxes[0];
    EXPECT_EQ(boxes[0].find("AVI Convert Failed."), std::string::npos);
    for (const auto& name : Files())
        EXPECT_NE(name, "cut.txt");

    // A movie that fails leaves an earlier one as it was, and no temporary file.
    for (const auto& name : Files())
        std::filesystem::remove(Path(name));
    avitest::WriteFile(Path("movie.avi"), "earlier", 7);
    script.width = 32;
    script.height = 16;
    CAviConvertingDlg avi(Source(0, 30), Path("movie.avi").c_str(), kDib, 10000, "", nullptr);
    EXPECT_FALSE(avi.Run());
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(Files(), std::vector<std::string>{"movie.avi"});
    EXPECT_EQ(avitest::ReadFile(Path("movie.avi")).size(), 7u);
}

TEST_F(ConvertingDlgTest, AnUnwritableTargetIsNamedWithItsCause) {
    const std::string target = Path("no/such/folder/run.bmp");
    CBmpConvertingDlg bmp(Source(0, 3), target.c_str(), nullptr);
    EXPECT_FALSE(bmp.Run());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(Path("no/such/folder/run00000000.bmp")), std::string::npos) << boxes[0];
    const std::string movie = Path("no/such/folder/movie.avi");
    CAviConvertingDlg avi(Source(0, 3), movie.c_str(), kDib, 10000, "", nullptr);
    EXPECT_FALSE(avi.Run());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1].find("Cannot create stream."), std::string::npos) << boxes[1];
    EXPECT_NE(boxes[1].find(movie), std::string::npos) << boxes[1];
    EXPECT_TRUE(Files().empty());
}

TEST_F(ConvertingDlgTest, FramesThatCannotBeMadeNameTheTargetAndTheCause) {
    // The recording cannot be opened again for the workers.
    ConvertSource source = Source(0, 3);
    source.makeConverter = [](std::string* error) -> std::unique_ptr<IFrameConverter> {
        *error = "cannot open \"/data/gone.cm8\"";
        return nullptr;
    };
    CBmpConvertingDlg missing(source, Path("run.bmp").c_str(), nullptr);
    EXPECT_FALSE(missing.Run());
    // No frame buffer for the frames.
    source = Source(0, 3);
    source.frameBytes = 0;
    CAviConvertingDlg empty(source, Path("movie.avi").c_str(), kDib, 10000, "", nullptr);
    EXPECT_FALSE(empty.Run());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].find(Path("run.bmp")), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[0].find("gone.cm8"), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[1].find(Path("movie.avi")), std::string::npos) << boxes[1];
    EXPECT_EQ(boxes[1].find("AVI Convert Failed."), std::string::npos) << boxes[1];
    EXPECT_TRUE(Files().empty()); // no information file, no movie, no temporary file
}

TEST_F(ConvertingDlgTest, APlayRangeThatEndsBeforeItBeginsConvertsNothing) {
    CBmpConvertingDlg dlg(Source(10, 9), Path("run.bmp").c_str(), nullptr);
    EXPECT_FALSE(dlg.Run());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("ends (9) before it begins (10)"), std::string::npos) << boxes[0];
    EXPECT_TRUE(Files().empty());
}

// The progress window as the run leaves it, and its remaining-time line.
class ProbeDlg : public CBmpConvertingDlg {
public:
    using CBmpConvertingDlg::CBmpConvertingDlg;
    using CConvertingDlg::ShowRemainingTime;
    CString Text(int id) const {
        CString text;
        GetDlgItemText(id, text);
        return text;
    }
};

TEST_F(ConvertingDlgTest, TheProgressWindowCountsDownAndTheTimeNeverRises) {
    ProbeDlg dlg(Source(0, 9), Path("p.bmp").c_str(), nullptr);
    ASSERT_TRUE(dlg.Run());
    ASSERT_NE(dlg.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dlg.Text(CConvertProgressDlg::IDC_REMAIN_FRAMES), "The number of remaining frames is 0.");
    EXPECT_EQ(dlg.SendDlgItemMessage(CConvertProgressDlg::IDC_PROGRESS, PBM_GETPOS), 10);
    CString caption;
    dlg.GetWindowText(caption);
    EXPECT_EQ(caption, "Convert");
    // 50 minutes for 1000 frames, 5000 to go: 250 minutes (the product passes 32 bits).
    ProbeDlg big(Source(0, 9), Path("q.bmp").c_str(), nullptr);
    big.StartProgress(0, 9, 1, "Convert", "");
    big.ShowRemainingTime(3000000, 1000, 5000);
    EXPECT_EQ(big.Text(CConvertProgressDlg::IDC_REMAIN_TIME), "Remaining time is 250 minutes 0 second.");
    big.ShowRemainingTime(3000000, 1000, 6000); // a slower moment does not raise it
    EXPECT_EQ(big.Text(CConvertProgressDlg::IDC_REMAIN_TIME), "Remaining time is 250 minutes 0 second.");
    big.ShowRemainingTime(0, 1, 700); // done within a tick: 10 ms a frame
    EXPECT_EQ(big.Text(CConvertProgressDlg::IDC_REMAIN_TIME), "Remaining time is 0 minutes 7 second.");
    // Time passing before the first frame is done is no estimate: the first frame sets it.
    ProbeDlg slow(Source(0, 39), Path("s.bmp").c_str(), nullptr);
    slow.StartProgress(0, 39, 1, "Convert", "");
    for (DWORD elapsed : {40u, 80u, 1200u})
        slow.ShowRemainingTime(elapsed, 0, 40);
    EXPECT_EQ(slow.Text(CConvertProgressDlg::IDC_REMAIN_TIME), "");
    slow.ShowRemainingTime(3000, 1, 39);
    EXPECT_EQ(slow.Text(CConvertProgressDlg::IDC_REMAIN_TIME), "Remaining time is 1 minutes 57 second.");
}

} // namespace
