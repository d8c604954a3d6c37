// The conversion on the screen: while the frames of a tuned recording are converted, the progress
// window shows the remaining frames and time, the bar and Cancel above the program; every message of a
// conversion (a full disk, a stream that cannot be created, a compressor that cannot take the frames)
// opens above that window, readable where it stands; and OK in the save dialog with a compressor that
// cannot take the recording's frames keeps the dialog open under the program's own message.
// Screenshots of the screen (conversion_progress.png, conversion_message_<case>.png,
// conversion_refused.png in KIVIC_SHOT_DIR, else shots/ in the build folder) are taken meanwhile. Run
// under Xvfb when there is one (else off screen: the window alone).
#include <chrono>
#include <thread>

#include <QAbstractButton>
#include <QMdiSubWindow>
#include <QMessageBox>

#include "KivIc/Tracking/TrackingIds.h"
#include "kivic_conversion/convert_fixture.h"
#include "platform/afx/app/msgbox.h"
#include "platform/afx/ctrl/progressctrl.h"
#include "tests/support/program_shot.h"

namespace {

using namespace convtest;

// The program's own message boxes for the time of a test step: each box that opens is looked at once
// drawn (look gets the box and the screen with it), then closed with its first button.
class RealBoxes {
public:
    explicit RealBoxes(std::function<void(QMessageBox*)> look)
        : m_recorder(AfxInstallQtMessageBoxNotifier()) {
        QObject::connect(&m_watch, &QTimer::timeout, [this, look] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || ++m_seen < 20)
                return;
            m_seen = 0;
            texts.push_back(box->text().toStdString());
            look(box);
            box->buttons().front()->click();
        });
        m_watch.start(10);
    }
    ~RealBoxes() { SetMessageBoxNotifier(m_recorder); }
    RealBoxes(const RealBoxes&) = delete;
    RealBoxes& operator=(const RealBoxes&) = delete;

    std::vector<std::string> texts;

private:
    MessageBoxNotifier m_recorder;
    QTimer m_watch;
    int m_seen = 0;
};

TEST_F(ConvertProgramTest, TheProgressWindowShowsTheRunAboveTheProgram) {
    CKivDoc* doc = OpenTuned("shown.cm8", 512, 480, 240);
    ASSERT_NE(doc, nullptr) << Boxes();
    CConvertingDlg::SetWorkerCount(1);
    std::string shot;
    CString remaining, time, caption;
    LRESULT position = 0;
    bool topmost = false, visible = false;
    {
        CancelAfter during(20, 240, [&](CConvertingDlg* dlg) {
            dlg->GetDlgItemText(CConvertProgressDlg::IDC_REMAIN_FRAMES, remaining);
            dlg->GetDlgItemText(CConvertProgressDlg::IDC_REMAIN_TIME, time);
            dlg->GetWindowText(caption);
            position = dlg->SendDlgItemMessage(CConvertProgressDlg::IDC_PROGRESS, PBM_GETPOS);
            QWidget* window = dlg->GetWidget()->window();
            visible = window->isVisible();
            topmost = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            QCoreApplication::processEvents();
            if (!KeepShot(window, "conversion_progress.png", &shot))
                shot.clear();
            dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        });
        ASSERT_TRUE(SaveAs(doc, {CConvFileSave::kTypeAvi, Out("shown.avi"), kMjpg, 75}));
        ASSERT_TRUE(during.pressed);
    }
    EXPECT_TRUE(visible);
    EXPECT_TRUE(topmost);
    EXPECT_EQ(caption, "Convert");
    long left = -1;
    ASSERT_EQ(std::sscanf(remaining.GetString(), "The number of remaining frames is %ld.", &left), 1)
        << remaining.GetString();
    EXPECT_LE(left, 220);
    EXPECT_EQ(position, 240 - left);
    long minutes = -1, seconds = -1;
    EXPECT_EQ(std::sscanf(time.GetString(), "Remaining time is %ld minutes %ld second.", &minutes, &seconds),
              2)
        << time.GetString();
    EXPECT_FALSE(shot.empty()) << "the screenshot could not be saved";
    std::printf("REPORT screenshot %s\n", shot.c_str());
}

// The failures a user meets while a movie is made: a disk that fills while the frames go in, a target
// whose stream cannot be created, a compressor that cannot take the recording's frames. Each message
// opens above the progress window, which stays on top while the conversion runs, and is readable and
// answerable where it stands, nothing moved, on a maximised program as the user has it. Screenshots
// conversion_message_<case>.png.
TEST_F(ConvertProgramTest, EveryMessageOfAConversionOpensAboveTheProgressWindow) {
    main->ShowWindow(SW_SHOWMAXIMIZED);
    Pump();
    const struct {
        const char* name;
        int width, height;
        const char* target;
        FOURCC handler;
        const char* told;
    } cases[] = {{"disk_full", 512, 480, "full.avi", kDib, "not enough space on the disk"},
                 {"no_stream", 512, 480, "plain/movie.avi", kDib, "plain/movie.avi"},
                 {"compressor", 38, 30, "odd.avi", kMsvc, "Cannot create stream."}};
    avitest::WriteFile(Out("plain"), "x", 1); // a file where the folder should be
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CKivDoc* doc = OpenTuned(std::string(c.name) + ".cm8", c.width, c.height, 40);
        ASSERT_NE(doc, nullptr) << Boxes();
        CConvertingDlg::SetWorkerCount(1);
        int writes = 0;
        kivic::win32::SetWriteFaultHook([&writes](const std::string& path, std::size_t) {
            return path.find("~conv") != std::string::npos && ++writes > 6;
        });
        std::string shot;
        double seen = 0.0;
        bool enabled = false;
        std::vector<std::string> texts;
        {
            RealBoxes real([&](QMessageBox* box) {
                StackAsWindowManager();
                bool wholeScreen = false;
                const QPixmap screen = GrabShot(box, &wholeScreen);
                seen = ShareSeen(box, screen, wholeScreen);
                enabled = box->isEnabled();
                if (!SaveShot(screen, std::string("conversion_message_") + c.name + ".png", &shot))
                    shot.clear();
            });
            doc->m_strTargetPath = Out(c.target).c_str();
            doc->m_fccHandler = c.handler;
            doc->m_dwQuality = 10000;
            EXPECT_FALSE(doc->Convert());
            texts = real.texts;
        }
        kivic::win32::SetWriteFaultHook({});
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_NE(texts[0].find(c.told), std::string::npos) << texts[0];
        EXPECT_TRUE(enabled) << "the message cannot be answered";
        EXPECT_GT(seen, 0.98) << "the progress window hides part of the message";
        EXPECT_TRUE(main->IsWindowEnabled());
        EXPECT_FALSE(shot.empty()) << "the screenshot could not be saved";
        std::printf("REPORT %s: %.0f %% of the message seen; screenshot %s\n", c.name, 100.0 * seen,
                    shot.c_str());
    }
}

// While a conversion runs, the recording's window refuses what it refuses during a tracking run
// (playing, moving, synchronising, reloading, converting again, the points and their setup), and the
// program and the window refuse to close, whichever way the user closes them (the close box of either,
// which the system menu, Alt+F4 and Ctrl+F4 also give, and File Exit), each time telling that Cancel in
// the progress window stops it, in a message above that window; the conversion goes on. Cancel then
// keeps the frames written so far, and the window closes as usual afterwards. Screenshot
// conversion_close_refused.png.
TEST_F(ConvertProgramTest, DuringAConversionTheRecordingRefusesToCloseOrChangeAsDuringATrackingRun) {
    main->ShowWindow(SW_SHOWMAXIMIZED);
    CKivDoc* doc = OpenTuned("close.cm8", 512, 480, 160);
    ASSERT_NE(doc, nullptr) << Boxes();
    const std::string path = doc->GetPathName().GetString();
    CKivChildFrame* frame = KivFrameOf(doc);
    CConvertingDlg::SetWorkerCount(2);
    // A slow disk: the frames still go in while the user reads the messages, and Cancel comes before
    // the last.
    kivic::win32::SetWriteFaultHook([](const std::string& path, std::size_t) {
        if (path.find("run0") != std::string::npos)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return false;
    });
    std::string shot;
    double seen = 1.0;
    std::vector<std::string> texts;
    bool goesOn = true;
    std::vector<UINT> offered;
    {
        RealBoxes real([&](QMessageBox* box) {
            StackAsWindowManager();
            bool wholeScreen = false;
            const QPixmap screen = GrabShot(box, &wholeScreen);
            seen = std::min(seen, ShareSeen(box, screen, wholeScreen));
            if (shot.empty() && !SaveShot(screen, "conversion_close_refused.png", &shot))
                shot = "-";
        });
        CancelAfter attempts(2, 160, [&](CConvertingDlg* dlg) {
            for (UINT id : std::initializer_list<UINT>{ID_PLAY_PLAY, ID_PLAY_FORWARD_STEP, ID_PLAY_SET_END,
                                                       ID_RETICLE_INPUT, ID_TRACK_SETUP_2D, ID_IMAGE_RELOAD,
                                                       ID_FILE_CONVERT_SAVE, ID_SYNC_MODE}) {
                if (IsEnabled(id))
                    offered.push_back(id);
            }
            main->GetWidget()->close();
            frame->GetSubWindow()->close();
            main->SendMessage(WM_COMMAND, ID_APP_EXIT);
            Pump();
            goesOn =
                dlg->IsRunning() && !dlg->IsCancelled() && app->m_pMainWnd == main && DocumentOf(path) == doc;
            dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        });
        ASSERT_TRUE(SaveAs(doc, {CConvFileSave::kTypeBmp, Out("run.bmp")}));
        EXPECT_TRUE(attempts.pressed);
        texts = real.texts;
    }
    kivic::win32::SetWriteFaultHook({});
    ASSERT_EQ(texts.size(), 3u) << "each attempt is told";
    for (const std::string& text : texts)
        EXPECT_EQ(text, "A conversion of this recording is running. Cancel in its progress window stops it.");
    EXPECT_TRUE(offered.empty()) << "command " << offered.front() << " is offered meanwhile";
    EXPECT_TRUE(goesOn) << "the conversion stopped, or the window or the program closed";
    EXPECT_GT(seen, 0.98) << "the progress window hides part of the message";
    EXPECT_EQ(app->m_pMainWnd, main);
    EXPECT_EQ(DocumentOf(path), doc);
    EXPECT_TRUE(main->IsWindowEnabled());
    // Cancel keeps frames 0..k and writes no information file.
    const auto files = Files();
    ASSERT_GE(files.size(), 2u);
    ASSERT_LT(files.size(), 160u);
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(files[i], CSequenceOutput::FrameFileName("run", static_cast<long>(i), ".bmp"));
    // Once it has stopped, the window closes at once.
    boxes.clear();
    frame->GetSubWindow()->close();
    Pump();
    EXPECT_EQ(DocumentOf(path), nullptr);
    EXPECT_TRUE(boxes.empty()) << Boxes();
    EXPECT_FALSE(shot.empty()) << "the screenshot could not be saved";
    std::printf("REPORT %zu refusals told, %.0f %% of the message seen; %zu frames kept; screenshot %s\n",
                texts.size(), 100.0 * seen, files.size(), shot.c_str());
}

// Microsoft Video 1, the dialog's first compressor, codes blocks of 4 x 4 pixels: OK on a recording of
// 38 x 30 pixels is refused there and then, with the program's message box over the dialog, before the
// conversion begins; the dialog stays, and with another compressor chosen the conversion runs.
TEST_F(ConvertProgramTest, OkWithACompressorThatCannotTakeTheFramesKeepsTheSaveDialogOpen) {
    CKivDoc* doc = OpenTuned("odd.cm8", 38, 30, 4);
    ASSERT_NE(doc, nullptr) << Boxes();
    doc->ActivateFirstView();
    Pump();
    std::string shot, message;
    CString compressor;
    bool stayed = false;
    std::vector<std::string> filesMeanwhile;
    AfxSetFileDialogHook([&](CFileDialog* d) -> INT_PTR {
        QWidget* window = d->GetDlgItem(CConvFileSave::IDC_CUSTOM)->GetWidget()->window();
        window->show();
        d->GetDlgItemText(CConvFileSave::IDC_COMPRESSOR_NAME, compressor);
        d->TypeFileName(Out("odd.avi").c_str());
        // The program's own message box: shot over the dialog once drawn, then closed with its OK.
        {
            RealBoxes real([&](QMessageBox* box) {
                if (!KeepShot(box, "conversion_refused.png", &shot))
                    shot.clear();
            });
            d->PressOK();
            message = real.texts.empty() ? std::string() : real.texts.front();
        }
        stayed = d->GetModalResult() != IDOK;
        filesMeanwhile = Files();
        // Another compressor, chosen through "Custom...", takes the frames.
        AfxSetModalHook([](CDialog* m) {
            auto* options = static_cast<CCompressOptionsDlg*>(m);
            options->PickCompressor(kMjpg);
            Press(m, IDOK);
        });
        static_cast<CButton*>(d->GetDlgItem(CConvFileSave::IDC_CUSTOM))->Click();
        AfxSetModalHook(nullptr);
        d->PressOK();
        return d->GetModalResult();
    });
    Command(ID_FILE_CONVERT_SAVE);
    AfxSetFileDialogHook(nullptr);
    Pump();
    EXPECT_STREQ(compressor, "Microsoft Video 1");
    EXPECT_EQ(message, "Cannot use the compression program, and please select other compression programs.");
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(filesMeanwhile.empty());
    EXPECT_TRUE(boxes.empty()) << Boxes();
    EXPECT_EQ(doc->m_fccHandler, kMjpg);
    EXPECT_EQ(Files(), (std::vector<std::string>{"odd.avi", "odd.txt"}));
    EXPECT_FALSE(shot.empty()) << "the screenshot could not be saved";
    std::printf("REPORT screenshot %s\n", shot.c_str());
}

} // namespace
