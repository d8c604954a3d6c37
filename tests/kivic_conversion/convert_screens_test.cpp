// The conversion on the screen: while the frames of a tuned recording are converted, the progress
// window shows the remaining frames and time, the bar and Cancel above the program; and OK in the save
// dialog with a compressor that cannot take the recording's frames keeps the dialog open under the
// program's own message. Screenshots of the screen (conversion_progress.png, conversion_refused.png in
// KIVIC_SHOT_DIR, else shots/ in the build folder) are taken meanwhile. Run under Xvfb when there is
// one (else off screen: the window alone).
#include <QAbstractButton>
#include <QMessageBox>

#include "kivic_conversion/convert_fixture.h"
#include "platform/afx/app/msgbox.h"
#include "platform/afx/ctrl/progressctrl.h"
#include "tests/support/program_shot.h"

namespace {

using namespace convtest;

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
        const MessageBoxNotifier recorder = AfxInstallQtMessageBoxNotifier();
        QTimer boxWatch;
        int seen = 0;
        QObject::connect(&boxWatch, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || ++seen < 20)
                return;
            boxWatch.stop();
            message = box->text().toStdString();
            if (!KeepShot(box, "conversion_refused.png", &shot))
                shot.clear();
            box->button(QMessageBox::Ok)->click();
        });
        boxWatch.start(10);
        d->PressOK();
        boxWatch.stop();
        SetMessageBoxNotifier(recorder);
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
