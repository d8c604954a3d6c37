// The conversion save dialog in the program's window, answered as the user would: the defaults it
// shows each time, the type list and its "Custom..." button, the compressor test (a choice, the
// uncompressed handler's name, a compressor refused for the recording's frame size, no trial file
// left), the JPEG quality, and the name check against what the conversion will really write.
#include <filesystem>
#include <deque>

#include <QFileDialog>
#include <QSlider>

#include "KivIc/Conversion/CompressOptionsDlg.h"
#include "KivIc/Conversion/ConvFileSave.h"
#include "KivIc/Conversion/JpegQualityDlg.h"
#include "kivic_conversion/conversion_test_util.h"
#include "kivic_tracking_dlg/dlg_test_support.h"
#include "tests/kivic_support/RecordingTestApp.h"
#include "vomLib/avilib/MjpgCodec.h"

namespace {

constexpr FOURCC kDib = mmioFOURCC('D', 'I', 'B', ' ');
constexpr FOURCC kMsvc = mmioFOURCC('m', 's', 'v', 'c');
constexpr FOURCC kMjpg = mmioFOURCC('M', 'J', 'P', 'G');

// Answers the message boxes in turn (then IDOK) and keeps their texts.
class BoxAnswers {
public:
    explicit BoxAnswers(std::deque<int> answers = {}) : m_answers(std::move(answers)) {
        m_old = SetMessageBoxNotifier([this](HWND, const char* text, const char*, UINT) {
            texts.emplace_back(text != nullptr ? text : "");
            if (m_answers.empty())
                return IDOK;
            const int answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        });
    }
    ~BoxAnswers() { SetMessageBoxNotifier(m_old); }
    BoxAnswers(const BoxAnswers&) = delete;
    BoxAnswers& operator=(const BoxAnswers&) = delete;
    std::vector<std::string> texts;

private:
    std::deque<int> m_answers;
    MessageBoxNotifier m_old;
};

class ConvFileSaveTest : public RecordingAppTest {
protected:
    void SetUp() override {
        RecordingAppTest::SetUp();
        InstallMjpgCodec();
        InstallCompressOptionsDialog();
        // Trial movies go to a temporary folder of this test's own.
        const char* old = std::getenv("TMPDIR");
        m_oldTmp = old != nullptr ? old : "";
        m_hadTmp = old != nullptr;
        setenv("TMPDIR", tmp.Path("").c_str(), 1);
    }
    void TearDown() override {
        if (m_hadTmp)
            setenv("TMPDIR", m_oldTmp.c_str(), 1);
        else
            unsetenv("TMPDIR");
        AfxSetFileDialogHook(nullptr);
        AfxSetModalHook(nullptr);
        AVISetSaveOptionsHook(nullptr);
        RecordingAppTest::TearDown();
    }

    // A document open under path (a generated recording standing for any file document).
    CDocument* OpenAs(const std::string& path) {
        CDocument* doc = Open("begin=0,end=9");
        if (doc != nullptr)
            doc->SetPathName(path.c_str(), FALSE);
        return doc;
    }
    // Types the name and presses OK; TRUE when the dialog closed.
    static bool Save(CFileDialog* d, const std::string& name) {
        d->TypeFileName(name.c_str());
        d->PressOK();
        return !d->IsModalRunning() || d->GetModalResult() == IDOK;
    }
    static CString Edit(CFileDialog* d, int id) {
        CString text;
        d->GetDlgItemText(id, text);
        return text;
    }
    static bool CustomEnabled(CFileDialog* d) {
        return d->GetDlgItem(CConvFileSave::IDC_CUSTOM)->IsWindowEnabled();
    }
    static void Custom(CFileDialog* d) {
        static_cast<CButton*>(d->GetDlgItem(CConvFileSave::IDC_CUSTOM))->Click();
    }
    // Answers the compression-options dialog with handler and quality position, or Cancel.
    static AfxModalHook ChooseCompressor(FOURCC handler, int quality, bool ok = true) {
        return [=](CDialog* d) {
            ASSERT_TRUE(d->IsKindOf(RUNTIME_CLASS(CCompressOptionsDlg)));
            auto* options = static_cast<CCompressOptionsDlg*>(d);
            options->PickCompressor(handler);
            options->MoveQuality(quality);
            Press(d, ok ? IDOK : IDCANCEL);
        };
    }
    std::size_t TmpEntries() const {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(tmp.Path("")))
            ++n;
        return n;
    }

    TempDir dir;
    TempDir tmp;

private:
    std::string m_oldTmp;
    bool m_hadTmp = false;
};

TEST_F(ConvFileSaveTest, ShowsTheDefaultsEachTimeUnderItsTitleAndTypeList) {
    CConvFileSave dlg(main);
    dlg.SetCompressorName("Motion JPEG");
    dlg.SetQuality(300);
    dlg.SetHandler(kMjpg);
    CString title, name, quality;
    QStringList types;
    bool custom = false;
    AfxSetFileDialogHook([&](CFileDialog* d) {
        auto* window =
            qobject_cast<QFileDialog*>(d->GetDlgItem(CConvFileSave::IDC_CUSTOM)->GetWidget()->window());
        title = window->windowTitle().toUtf8().constData();
        types = window->nameFilters();
        name = Edit(d, CConvFileSave::IDC_COMPRESSOR_NAME);
        quality = Edit(d, CConvFileSave::IDC_QUALITY);
        custom = CustomEnabled(d);
        // A compressor chosen now is forgotten by the next opening.
        AfxSetModalHook(ChooseCompressor(kMjpg, 30));
        Custom(d);
        return static_cast<INT_PTR>(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_STREQ(title, "Conversion");
    EXPECT_EQ(types, (QStringList{"AVI Files (*.avi)", "BMP Sequence (*.bmp)", "TIFF Sequence (*.tif)",
                                  "JPEG Sequence (*.jpg)"}));
    EXPECT_STREQ(name, "Microsoft Video 1");
    EXPECT_STREQ(quality, "10000");
    EXPECT_TRUE(custom);
    EXPECT_EQ(dlg.GetHandler(), kMjpg);
    EXPECT_EQ(dlg.GetQuality(), 3000u);

    AfxSetFileDialogHook([&](CFileDialog* d) {
        name = Edit(d, CConvFileSave::IDC_COMPRESSOR_NAME);
        quality = Edit(d, CConvFileSave::IDC_QUALITY);
        return static_cast<INT_PTR>(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_STREQ(name, "Microsoft Video 1");
    EXPECT_STREQ(quality, "10000");
    EXPECT_EQ(dlg.GetHandler(), kMsvc);
    EXPECT_STREQ(dlg.GetCompressorName(), "Microsoft Video 1");
    EXPECT_EQ(dlg.GetQuality(), 10000u);
}

TEST_F(ConvFileSaveTest, CustomActsForAviAndJpegOnlyAndFollowsTheType) {
    CConvFileSave dlg(main);
    std::vector<std::pair<int, bool>> seen;
    int asked = 0;
    AfxSetModalHook([&](CDialog* d) {
        ++asked;
        Press(d, IDCANCEL);
    });
    AfxSetFileDialogHook([&](CFileDialog* d) {
        auto* save = static_cast<CConvFileSave*>(d);
        for (int type : {2, 3, 4, 1}) {
            d->PickFilter(type);
            seen.emplace_back(save->GetFileType(), CustomEnabled(d));
        }
        d->PickFilter(2);
        d->SendMessage(WM_COMMAND, MAKEWPARAM(CConvFileSave::IDC_CUSTOM, BN_CLICKED), 0); // no dialog for BMP
        return static_cast<INT_PTR>(IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_EQ(seen, (std::vector<std::pair<int, bool>>{{2, false}, {3, false}, {4, true}, {1, true}}));
    EXPECT_EQ(asked, 0);
}

TEST_F(ConvFileSaveTest, JpegQualityStartsAtSeventyFiveAndItsLowerEndGivesHundred) {
    CConvFileSave dlg(main);
    int start = 0;
    CString shown, after;
    AfxSetModalHook([&](CDialog* d) {
        ASSERT_TRUE(d->IsKindOf(RUNTIME_CLASS(CJpegQualityDlg)));
        auto* quality = static_cast<CJpegQualityDlg*>(d);
        start = quality->GetSlider()->GetPos();
        shown = FieldText(d, CJpegQualityDlg::IDC_QUALITY_EDIT);
        qobject_cast<QAbstractSlider*>(quality->GetSlider()->GetWidget())
            ->triggerAction(QAbstractSlider::SliderToMinimum);
        Press(d, IDOK);
    });
    AfxSetFileDialogHook([&](CFileDialog* d) {
        d->PickFilter(CConvFileSave::kTypeJpeg);
        Custom(d);
        after = Edit(d, CConvFileSave::IDC_QUALITY);
        return Save(d, dir.Path("shot.jpg")) ? IDOK : IDCANCEL;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(start, 75);
    EXPECT_STREQ(shown, "7500");
    EXPECT_STREQ(after, "100");
    EXPECT_EQ(dlg.GetQuality(), 100u);
    EXPECT_STREQ(dlg.GetPathName(), dir.Path("shot.jpg").c_str());
}

TEST_F(ConvFileSaveTest, ChosenCompressorIsTriedAndNamedFromTheTable) {
    CConvFileSave dlg(main);
    std::vector<CString> names;
    AfxSetFileDialogHook([&](CFileDialog* d) {
        AfxSetModalHook(ChooseCompressor(kMjpg, 42));
        Custom(d);
        names.push_back(Edit(d, CConvFileSave::IDC_COMPRESSOR_NAME) + "|" +
                        Edit(d, CConvFileSave::IDC_QUALITY));
        // The uncompressed handler has no description of its stream's: the table names it.
        AfxSetModalHook(ChooseCompressor(kDib, 80));
        Custom(d);
        names.push_back(Edit(d, CConvFileSave::IDC_COMPRESSOR_NAME) + "|" +
                        Edit(d, CConvFileSave::IDC_QUALITY));
        // Cancelled: nothing changes.
        AfxSetModalHook(ChooseCompressor(kMsvc, 10, false));
        Custom(d);
        names.push_back(Edit(d, CConvFileSave::IDC_COMPRESSOR_NAME) + "|" +
                        Edit(d, CConvFileSave::IDC_QUALITY));
        return Save(d, dir.Path("movie")) ? IDOK : IDCANCEL;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(names, (std::vector<CString>{"Motion JPEG|4200", "Full Frames (Uncompressed)|8000",
                                           "Full Frames (Uncompressed)|8000"}));
    EXPECT_EQ(dlg.GetHandler(), kDib);
    EXPECT_EQ(dlg.GetQuality(), 8000u);
    EXPECT_STREQ(dlg.GetPathName(), dir.Path("movie.avi").c_str());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(TmpEntries(), 0u) << "the trial movies are removed";
}

TEST_F(ConvFileSaveTest, ACompressorThatCannotTakeTheRecordingsFramesIsRefusedWhenChosen) {
    CConvFileSave dlg(main);
    dlg.SetFrameSize(37, 30);
    BoxAnswers answers;
    CString name, quality;
    AfxSetFileDialogHook([&](CFileDialog* d) {
        AfxSetModalHook(ChooseCompressor(kMjpg, 60));
        Custom(d);
        // Microsoft Video 1 takes the trial's 640 x 480 but not 37 x 30.
        AfxSetModalHook(ChooseCompressor(kMsvc, 90));
        Custom(d);
        name = Edit(d, CConvFileSave::IDC_COMPRESSOR_NAME);
        quality = Edit(d, CConvFileSave::IDC_QUALITY);
        return static_cast<INT_PTR>(IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_EQ(answers.texts,
              (std::vector<std::string>{
                  "Cannot use the compression program, and please select other compression programs."}));
    EXPECT_STREQ(name, "Motion JPEG");
    EXPECT_STREQ(quality, "6000");
    EXPECT_EQ(dlg.GetHandler(), kMjpg);
    EXPECT_EQ(TmpEntries(), 0u);

    // Frames of a size it works on: taken.
    CConvFileSave fits(main);
    fits.SetFrameSize(512, 480);
    AfxSetFileDialogHook([&](CFileDialog* d) {
        AfxSetModalHook(ChooseCompressor(kMsvc, 90));
        Custom(d);
        return static_cast<INT_PTR>(IDCANCEL);
    });
    fits.DoModal();
    EXPECT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(fits.GetHandler(), kMsvc);
    EXPECT_EQ(fits.GetQuality(), 9000u);
}

TEST_F(ConvFileSaveTest, ATrialMovieThatCannotBeMadeIsReportedAndChangesNothing) {
    CConvFileSave dlg(main);
    BoxAnswers answers;
    setenv("TMPDIR", tmp.Path("missing").c_str(), 1);
    int asked = 0;
    AfxSetFileDialogHook([&](CFileDialog* d) {
        AfxSetModalHook([&](CDialog* o) {
            ++asked;
            Press(o, IDOK);
        });
        Custom(d);
        return static_cast<INT_PTR>(IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(answers.texts, (std::vector<std::string>{"Fail to AVIFileOpen. file open error"}));
    EXPECT_EQ(dlg.GetHandler(), kMsvc);
}

TEST_F(ConvFileSaveTest, ANameWithoutExtensionTakesTheChosenTypesAndAnEmptyNameIsRefused) {
    std::vector<std::string> paths;
    for (int type : {1, 2, 3, 4}) {
        CConvFileSave dlg(main);
        AfxSetFileDialogHook([&](CFileDialog* d) {
            d->PickFilter(type);
            return Save(d, dir.Path("clip.")) ? IDOK : IDCANCEL;
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        paths.push_back(dlg.GetPathName().GetString());
    }
    EXPECT_EQ(paths, (std::vector<std::string>{dir.Path("clip.avi"), dir.Path("clip.bmp"),
                                               dir.Path("clip.tif"), dir.Path("clip.jpg")}));

    // A typed extension stays whatever the type: the conversion goes by it.
    CConvFileSave typed(main);
    BoxAnswers answers;
    bool emptyClosed = true;
    AfxSetFileDialogHook([&](CFileDialog* d) {
        emptyClosed = Save(d, dir.Path(".avi"));
        return Save(d, dir.Path("Clip007.BMP")) ? IDOK : IDCANCEL;
    });
    EXPECT_EQ(typed.DoModal(), IDOK);
    EXPECT_FALSE(emptyClosed);
    EXPECT_EQ(answers.texts, (std::vector<std::string>{"Please enter a file name."}));
    EXPECT_STREQ(typed.GetPathName(), dir.Path("Clip007.BMP").c_str());

    // Frame files of "shot-" would open again as frames 0, -1, -2, ... of "shot", those of "a1" as frames
    // 100000000, ... of "a": such sequence names are refused, movies of them are not.
    BoxAnswers names;
    std::vector<bool> closed;
    for (const char* name : {"shot-.bmp", "take+.jpg", "a1-7.tif", "shot-.avi", "shot-5.bmp", "7.bmp"}) {
        CConvFileSave dlg(main);
        AfxSetFileDialogHook([&](CFileDialog* d) {
            closed.push_back(Save(d, dir.Path(name)));
            return static_cast<INT_PTR>(IDCANCEL);
        });
        dlg.DoModal();
    }
    EXPECT_EQ(closed, (std::vector<bool>{false, false, false, true, true, true}));
    const std::string another = "\".\nPlease enter another name.";
    EXPECT_EQ(
        names.texts,
        (std::vector<std::string>{
            "A sequence cannot be named \"shot-\": its frame files (shot-00000000.bmp, ...) would open "
            "as the sequence \"shot" +
                another,
            "A sequence cannot be named \"take+\": its frame files (take+00000000.jpg, ...) would open "
            "as the sequence \"take" +
                another,
            "A sequence cannot be named \"a1\": its frame files (a100000000.tif, ...) would open as the "
            "sequence \"a" +
                another}));
}

TEST_F(ConvFileSaveTest, AMovieThatIsOpenIsRefusedByItsRealPathNotByItsTitle) {
    ASSERT_NE(OpenAs(dir.Path("run.avi")), nullptr);
    ASSERT_NE(OpenAs(dir.Path("clip.cm8")), nullptr); // the recording being converted
    std::filesystem::create_directory(dir.Path("sub"));
    BoxAnswers answers;
    std::vector<bool> closed;
    CConvFileSave dlg(main);
    AfxSetFileDialogHook([&](CFileDialog* d) {
        closed.push_back(Save(d, dir.Path("run.avi")));
        closed.push_back(Save(d, dir.Path("sub/../run")));
        closed.push_back(Save(d, dir.Path("clip")));
        return static_cast<INT_PTR>(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(closed, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(answers.texts,
              (std::vector<std::string>{"Already opened \"run.avi\"", "Already opened \"run.avi\""}));
    EXPECT_STREQ(dlg.GetPathName(), dir.Path("clip.avi").c_str());

    // Another case is another file, and so is the same name in another folder.
    for (const char* name : {"Run.avi", "sub/run.avi"}) {
        CConvFileSave other(main);
        AfxSetFileDialogHook([&](CFileDialog* d) { return Save(d, dir.Path(name)) ? IDOK : IDCANCEL; });
        EXPECT_EQ(other.DoModal(), IDOK) << name;
    }
    EXPECT_EQ(answers.texts.size(), 2u);
}

TEST_F(ConvFileSaveTest, ASequenceIsRefusedWhenItsFramesWouldJoinAnOpenSequence) {
    ASSERT_NE(OpenAs(dir.Path("seq00000003.bmp")), nullptr);
    std::filesystem::create_directory(dir.Path("elsewhere"));
    BoxAnswers answers;
    std::vector<std::pair<std::string, bool>> closed;
    for (const char* name : {"seq.bmp", "seq0012.bmp", "seq.jpg", "seq.BMP", "se.bmp", "elsewhere/seq.bmp"}) {
        CConvFileSave dlg(main);
        AfxSetFileDialogHook([&](CFileDialog* d) {
            const bool ok = Save(d, dir.Path(name));
            closed.emplace_back(name, ok);
            return ok ? IDOK : IDCANCEL;
        });
        dlg.DoModal();
    }
    EXPECT_EQ(closed, (std::vector<std::pair<std::string, bool>>{{"seq.bmp", false},
                                                                 {"seq0012.bmp", false},
                                                                 {"seq.jpg", true},
                                                                 {"seq.BMP", true},
                                                                 {"se.bmp", true},
                                                                 {"elsewhere/seq.bmp", true}}));
    EXPECT_EQ(answers.texts,
              (std::vector<std::string>{"Already opened \"seq.bmp\"", "Already opened \"seq0012.bmp\""}));
}

TEST_F(ConvFileSaveTest, ReplacingAsksOnceAboutTheFilesTheConversionWrites) {
    TempDir::WriteAll(dir.Path("old.avi"), "x");
    for (int i = 0; i < 5; ++i)
        TempDir::WriteAll(dir.Path("clip0000000" + std::to_string(i) + ".bmp"), "x");
    TempDir::WriteAll(dir.Path("clip.bmp"), "x"); // not written by a sequence conversion
    TempDir::WriteAll(dir.Path("note.txt"), "x");
    // A movie's information file goes by the base name: take1.avi writes take.txt.
    for (const char* name : {"take.txt", "both.avi", "both.txt"})
        TempDir::WriteAll(dir.Path(name), "x");
    // Frames that do not start at 0 are replaced or removed alike; names of another form are not.
    for (int i = 5; i < 10; ++i)
        TempDir::WriteAll(dir.Path("run0000000" + std::to_string(i) + ".bmp"), "x");
    for (const char* other : {"run000000003.bmp", "run00000003.BMP", "one00000007.jpg"})
        TempDir::WriteAll(dir.Path(other), "x");
    const auto before = convtest::FilesIn(dir.Path(""));
    BoxAnswers answers({IDNO, IDYES, IDNO, IDYES, IDYES, IDNO, IDNO, IDYES, IDYES});
    std::vector<bool> closed;
    auto run = [&](const std::string& name, int attempts) {
        CConvFileSave dlg(main);
        AfxSetFileDialogHook([&](CFileDialog* d) {
            for (int i = 0; i < attempts; ++i)
                closed.push_back(Save(d, dir.Path(name)));
            return static_cast<INT_PTR>(IDCANCEL);
        });
        return dlg.DoModal();
    };
    EXPECT_EQ(run("old.avi", 2), IDOK);
    EXPECT_EQ(run("clip.bmp", 2), IDOK);
    EXPECT_EQ(run("note.jpg", 1), IDOK);
    EXPECT_EQ(run("fresh.tif", 1), IDOK);
    EXPECT_EQ(run("run.bmp", 1), IDCANCEL);
    EXPECT_EQ(run("one.jpg", 1), IDCANCEL);
    EXPECT_EQ(run("take1.avi", 1), IDOK);
    EXPECT_EQ(run("both.avi", 1), IDOK);
    EXPECT_EQ(run("note.png", 1), IDOK); // not converted: nothing written beside it, nothing asked
    EXPECT_EQ(closed,
              (std::vector<bool>{false, true, false, true, true, true, false, false, true, true, true}));
    const std::string replaces =
        "The conversion replaces them and removes those beyond its last frame.\nDo you want to continue?";
    EXPECT_EQ(
        answers.texts,
        (std::vector<std::string>{
            "old.avi already exists.\nDo you want to replace it?",
            "old.avi already exists.\nDo you want to replace it?",
            "This folder holds 5 frame files, clip00000000.bmp to clip00000004.bmp.\n" + replaces,
            "This folder holds 5 frame files, clip00000000.bmp to clip00000004.bmp.\n" + replaces,
            "note.txt already exists.\nDo you want to replace it?",
            "This folder holds 5 frame files, run00000005.bmp to run00000009.bmp.\n" + replaces,
            "This folder holds the frame file one00000007.jpg.\nThe conversion replaces or removes it.\n"
            "Do you want to continue?",
            "take.txt already exists.\nDo you want to replace it?",
            "both.avi and both.txt already exist.\nDo you want to replace them?"}));
    // The dialog asks only: every file is still there.
    EXPECT_EQ(convtest::FilesIn(dir.Path("")), before);
}

} // namespace
