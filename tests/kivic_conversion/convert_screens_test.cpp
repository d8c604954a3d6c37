// The progress window of a conversion on the screen: while the frames of a tuned recording are
// converted, the window shows the remaining frames and time, the bar and Cancel above the program; a
// screenshot of the screen (conversion_progress.png in KIVIC_SHOT_DIR, else shots/ in the build folder)
// is taken meanwhile. Run under Xvfb when there is one (else off screen: the window alone).
#include "kivic_conversion/convert_fixture.h"
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

} // namespace
