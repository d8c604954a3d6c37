// The 2-D setup dialog: the values proposed, the limits of points per frame and frame rate, and the
// up-down control of the point count.
#include <gtest/gtest.h>

#include "KivIc/Tracking/Init2dDlg.h"
#include "dlg_test_support.h"

namespace {

class Init2dDlgTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQt(); }
};

// Runs the dialog with the given texts typed in and OK pressed once.
struct SetupRun {
    INT_PTR result = 0;
    int points = 0;
    int rate = 0;
    std::vector<std::string> boxes;
};

SetupRun RunWith(const char* points, const char* rate) {
    MessageBoxRecorder boxes;
    CInit2dDlg dlg;
    dlg.m_nPoints = 2;
    dlg.m_nFrameRate = 500;
    ModalAnswer answer([&](CDialog* d) {
        d->SetDlgItemText(CInit2dDlg::IDC_INIT2D_POINTS, points);
        d->SetDlgItemText(CInit2dDlg::IDC_INIT2D_FRAME_RATE, rate);
        Press(d, IDOK);
    });
    SetupRun run;
    run.result = dlg.DoModal();
    run.points = dlg.m_nPoints;
    run.rate = dlg.m_nFrameRate;
    run.boxes = boxes.texts;
    return run;
}

TEST_F(Init2dDlgTest, ShowsTheValuesItWasGivenAndReturnsTheTypedOnes) {
    MessageBoxRecorder boxes;
    CInit2dDlg dlg;
    EXPECT_EQ(dlg.m_nPoints, 0);
    EXPECT_EQ(dlg.m_nFrameRate, 0);
    dlg.m_nPoints = 1;
    dlg.m_nFrameRate = 1000;
    CString caption, shownPoints, shownRate;
    ModalAnswer answer([&](CDialog* d) {
        d->GetWindowText(caption);
        shownPoints = FieldText(d, CInit2dDlg::IDC_INIT2D_POINTS);
        shownRate = FieldText(d, CInit2dDlg::IDC_INIT2D_FRAME_RATE);
        d->SetDlgItemText(CInit2dDlg::IDC_INIT2D_POINTS, "12");
        d->SetDlgItemText(CInit2dDlg::IDC_INIT2D_FRAME_RATE, "2000");
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_STREQ(caption, "Setup 2D-parameteres");
    EXPECT_STREQ(shownPoints, "1");
    EXPECT_STREQ(shownRate, "1000");
    EXPECT_EQ(dlg.m_nPoints, 12);
    EXPECT_EQ(dlg.m_nFrameRate, 2000);
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(Init2dDlgTest, PointCountsAndRatesOutsideTheLimitsAreRefused) {
    struct Case {
        const char* points;
        const char* rate;
        const char* message;
    };
    const Case refused[] = {
        {"0", "1000", "Please enter an integer between 1 and 255."},
        {"256", "1000", "Please enter an integer between 1 and 255."},
        {"-3", "1000", "Please enter an integer between 1 and 255."},
        {"4", "0", "Please enter an integer between 1 and 1000000."},
        {"4", "1000001", "Please enter an integer between 1 and 1000000."},
        {"four", "1000", "Please enter an integer."},
    };
    for (const Case& c : refused) {
        const SetupRun run = RunWith(c.points, c.rate);
        EXPECT_EQ(run.result, IDCANCEL) << c.points << " " << c.rate; // it stayed open
        EXPECT_EQ(run.boxes, std::vector<std::string>{c.message}) << c.points << " " << c.rate;
    }
    const SetupRun low = RunWith("1", "1");
    EXPECT_EQ(low.result, IDOK);
    EXPECT_EQ(low.points, 1);
    EXPECT_EQ(low.rate, 1);
    const SetupRun high = RunWith("255", "1000000");
    EXPECT_EQ(high.result, IDOK);
    EXPECT_EQ(high.points, 255);
    EXPECT_EQ(high.rate, 1000000);
}

TEST_F(Init2dDlgTest, CancelKeepsTheMembers) {
    CInit2dDlg dlg;
    dlg.m_nPoints = 3;
    dlg.m_nFrameRate = 60;
    ModalAnswer answer([&](CDialog* d) {
        d->SetDlgItemText(CInit2dDlg::IDC_INIT2D_POINTS, "9");
        Press(d, IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_nPoints, 3);
    EXPECT_EQ(dlg.m_nFrameRate, 60);
}

TEST_F(Init2dDlgTest, TheUpDownControlStepsThePointCountWithinItsRange) {
    MessageBoxRecorder boxes;
    CInit2dDlg dlg;
    dlg.m_nPoints = 254;
    dlg.m_nFrameRate = 30;
    ModalAnswer answer([&](CDialog* d) {
        auto* spin = static_cast<CSpinButtonCtrl*>(d->GetDlgItem(CInit2dDlg::IDC_INIT2D_POINTS_SPIN));
        ASSERT_TRUE(spin->IsKindOf(RUNTIME_CLASS(CSpinButtonCtrl)));
        int lo = -1, hi = -1;
        spin->GetRange32(lo, hi);
        EXPECT_EQ(lo, 0);
        EXPECT_EQ(hi, 255);
        EXPECT_EQ(spin->GetBuddy(), d->GetDlgItem(CInit2dDlg::IDC_INIT2D_POINTS));
        spin->Step(1);
        spin->Step(1); // stops at 255
        EXPECT_STREQ(FieldText(d, CInit2dDlg::IDC_INIT2D_POINTS), "255");
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nPoints, 255);
}

} // namespace
