// The JPEG quality dialog: the slider shows quality / 100, the user's moves write position × 100, OK
// hands the value back and a typed value outside the slider's reach is refused.
#include <QSlider>

#include "KivIc/Conversion/JpegQualityDlg.h"
#include "kivic_tracking_dlg/dlg_test_support.h"

namespace {

class JpegQualityDlgTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQt(); }
    static QSlider* Widget(CJpegQualityDlg* d) { return qobject_cast<QSlider*>(d->GetSlider()->GetWidget()); }
};

TEST_F(JpegQualityDlgTest, StartsAtQualityOverHundredAndTheLowerEndGivesHundred) {
    CJpegQualityDlg dlg(7500);
    int lo = 0, hi = 0, start = 0;
    UINT tics = 0;
    CString caption, shown, moved;
    ModalAnswer answer([&](CDialog* d) {
        auto* q = static_cast<CJpegQualityDlg*>(d);
        d->GetWindowText(caption);
        q->GetSlider()->GetRange(lo, hi);
        start = q->GetSlider()->GetPos();
        tics = q->GetSlider()->GetNumTics();
        shown = FieldText(d, CJpegQualityDlg::IDC_QUALITY_EDIT);
        Widget(q)->triggerAction(QAbstractSlider::SliderToMinimum); // as the user drags to the end
        moved = FieldText(d, CJpegQualityDlg::IDC_QUALITY_EDIT);
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_STREQ(caption, "JPEG QUALITY");
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 100);
    EXPECT_EQ(start, 75);
    EXPECT_EQ(tics, 10u); // every 11 from 1: 1, 12, ..., 89 and the end 100
    EXPECT_STREQ(shown, "7500");
    EXPECT_STREQ(moved, "100");
    EXPECT_EQ(dlg.m_nQuality, 100);
}

TEST_F(JpegQualityDlgTest, EveryMoveWritesPositionTimesHundredAndCancelKeepsNothing) {
    CJpegQualityDlg dlg(7500);
    std::vector<CString> seen;
    ModalAnswer answer([&](CDialog* d) {
        auto* q = static_cast<CJpegQualityDlg*>(d);
        Widget(q)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        seen.push_back(FieldText(d, CJpegQualityDlg::IDC_QUALITY_EDIT));
        Widget(q)->triggerAction(QAbstractSlider::SliderToMaximum);
        seen.push_back(FieldText(d, CJpegQualityDlg::IDC_QUALITY_EDIT));
        Widget(q)->setSliderDown(true);
        Widget(q)->setSliderPosition(42);
        seen.push_back(FieldText(d, CJpegQualityDlg::IDC_QUALITY_EDIT));
        Widget(q)->setSliderDown(false);
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(seen, (std::vector<CString>{"7600", "10000", "4200"}));
    EXPECT_EQ(dlg.m_nQuality, 4200);

    // Opened again with what was chosen: the slider stands there.
    CJpegQualityDlg again(dlg.m_nQuality);
    int pos = 0;
    ModalAnswer cancel([&](CDialog* d) {
        pos = static_cast<CJpegQualityDlg*>(d)->GetSlider()->GetPos();
        d->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    });
    EXPECT_EQ(again.DoModal(), IDCANCEL);
    EXPECT_EQ(pos, 42);
}

TEST_F(JpegQualityDlgTest, ATypedQualityOutsideTheSlidersReachKeepsTheDialogOpen) {
    MessageBoxRecorder boxes;
    CJpegQualityDlg dlg(7500);
    bool stayed = false;
    ModalAnswer answer([&](CDialog* d) {
        d->SetDlgItemText(CJpegQualityDlg::IDC_QUALITY_EDIT, "20000");
        Press(d, IDOK);
        stayed = d->IsModalRunning() && d->GetModalResult() != IDOK;
        d->SetDlgItemText(CJpegQualityDlg::IDC_QUALITY_EDIT, "3000");
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(stayed);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], "Please enter an integer between 100 and 10000.");
    EXPECT_EQ(dlg.m_nQuality, 3000);
}

} // namespace
