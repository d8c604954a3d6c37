// Progress bars in dialog templates: made from the template, driven by their messages (by handle and
// through the dialog) and by the object's calls, with the range, clamping, stepping and wrapping the
// counting windows rely on, and the bar on screen following.
#include <QProgressBar>

#include "afx/afx_test_app.h"

namespace {

constexpr UINT kDlg = 927;
constexpr int kBar = 1109, kVertical = 1110, kRemaining = 247;

class ProgressControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        AfxRegisterDialog(kDlg, {"Counting",
                                 200,
                                 90,
                                 "",
                                 8,
                                 {{AfxControl::Static, kRemaining, "", 5, 5, 150, 10},
                                  {AfxControl::Progress, kBar, "", 5, 20, 150, 12},
                                  {AfxControl::Progress, kVertical, "", 170, 5, 12, 60, PBS_VERTICAL},
                                  {AfxControl::PushButton, IDCANCEL, "Cancel", 5, 60, 40, 14}}});
        ASSERT_TRUE(m_dlg.Create(kDlg));
    }
    void TearDown() override { m_dlg.DestroyWindow(); }

    CProgressCtrl* Bar(int id) { return static_cast<CProgressCtrl*>(m_dlg.GetDlgItem(id)); }
    static QProgressBar* Widget(CProgressCtrl* bar) { return qobject_cast<QProgressBar*>(bar->GetWidget()); }

    CDialog m_dlg;
};

TEST_F(ProgressControlTest, TemplateMakesBarsOfTheirOrientationWithoutText) {
    for (int id : {kBar, kVertical})
        ASSERT_TRUE(m_dlg.GetDlgItem(id)->IsKindOf(RUNTIME_CLASS(CProgressCtrl))) << id;
    QProgressBar* bar = Widget(Bar(kBar));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->orientation(), Qt::Horizontal);
    EXPECT_FALSE(bar->isTextVisible());
    EXPECT_EQ(bar->geometry(),
              QRect(AfxDluX(5), AfxDluY(20), AfxDluX(155) - AfxDluX(5), AfxDluY(32) - AfxDluY(20)));
    EXPECT_EQ(Widget(Bar(kVertical))->orientation(), Qt::Vertical);
    // A new bar spans 0..100 at 0 and steps by 10.
    int lo = -1, hi = -1;
    Bar(kBar)->GetRange(lo, hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 100);
    EXPECT_EQ(m_dlg.SendDlgItemMessage(kBar, PBM_GETPOS), 0);
    EXPECT_EQ(m_dlg.SendDlgItemMessage(kBar, PBM_STEPIT), 0);
    EXPECT_EQ(Bar(kBar)->GetPos(), 10);
    EXPECT_EQ(bar->value(), 10);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
}

TEST_F(ProgressControlTest, CountingWindowFillsTheBarOneStepPerFrame) {
    const HWND h = Bar(kBar)->GetSafeHwnd();
    const int count = 7;
    // The old range comes back packed, lower end in the low word.
    EXPECT_EQ(::SendMessage(h, PBM_SETRANGE32, 0, count), MAKELONG(0, 100));
    EXPECT_EQ(::SendMessage(h, PBM_SETSTEP, 1, 0), 10);
    QProgressBar* bar = Widget(Bar(kBar));
    EXPECT_EQ(bar->maximum(), count);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(::SendMessage(h, PBM_STEPIT, 0, 0), i);
        EXPECT_EQ(bar->value(), i + 1);
    }
    EXPECT_EQ(::SendMessage(h, PBM_GETPOS, 0, 0), count);
    EXPECT_EQ(bar->value(), bar->maximum());
    // One more starts the bar over from its lower end.
    EXPECT_EQ(::SendMessage(h, PBM_STEPIT, 0, 0), count);
    EXPECT_EQ(::SendMessage(h, PBM_GETPOS, 0, 0), 1);
}

TEST_F(ProgressControlTest, PositionStaysInTheRange) {
    CProgressCtrl* p = Bar(kBar);
    const HWND h = p->GetSafeHwnd();
    // PBM_SETRANGE takes signed 16-bit halves.
    ::SendMessage(h, PBM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(-20), 30));
    PBRANGE range{0, 0};
    EXPECT_EQ(::SendMessage(h, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), -20);
    EXPECT_EQ(range.iLow, -20);
    EXPECT_EQ(range.iHigh, 30);
    EXPECT_EQ(::SendMessage(h, PBM_GETRANGE, FALSE, 0), 30);

    EXPECT_EQ(::SendMessage(h, PBM_SETPOS, 25, 0), 0);
    EXPECT_EQ(::SendMessage(h, PBM_SETPOS, 31, 0), 25);
    EXPECT_EQ(p->GetPos(), 30);
    EXPECT_EQ(::SendMessage(h, PBM_SETPOS, static_cast<WPARAM>(-1000), 0), 30);
    EXPECT_EQ(p->GetPos(), -20);
    EXPECT_EQ(Widget(p)->value(), -20);
    EXPECT_EQ(::SendMessage(h, PBM_DELTAPOS, 15, 0), -20);
    EXPECT_EQ(p->GetPos(), -5);
    EXPECT_EQ(p->OffsetPos(1000), -5);
    EXPECT_EQ(p->GetPos(), 30);

    // Narrowing the range takes the position along; an upper end below the lower one collapses.
    p->SetRange32(0, 10);
    EXPECT_EQ(p->GetPos(), 10);
    EXPECT_EQ(Widget(p)->value(), 10);
    p->SetRange32(12, 4);
    int lo = 0, hi = 0;
    p->GetRange(lo, hi);
    EXPECT_EQ(lo, 12);
    EXPECT_EQ(hi, 12);
    EXPECT_EQ(p->GetPos(), 12);
    EXPECT_EQ(p->StepIt(), 12);
    EXPECT_EQ(p->GetPos(), 12);
    // An empty range is an empty bar, not Qt's busy animation.
    p->SetRange32(0, 0);
    EXPECT_LT(Widget(p)->minimum(), Widget(p)->maximum());
    EXPECT_EQ(Widget(p)->value(), Widget(p)->minimum());
}

TEST_F(ProgressControlTest, StepsPastEitherEndWrapAround) {
    CProgressCtrl* p = Bar(kVertical);
    p->SetRange32(0, 10);
    EXPECT_EQ(p->SetStep(4), 10);
    p->SetPos(8);
    EXPECT_EQ(p->StepIt(), 8);
    EXPECT_EQ(p->GetPos(), 2); // 12 wraps to 2
    p->SetStep(-5);
    EXPECT_EQ(p->StepIt(), 2);
    EXPECT_EQ(p->GetPos(), 7); // -3 wraps to 7
    // Large ranges do not overflow.
    p->SetRange32(0x7FFFFFF0, 0x7FFFFFFF);
    p->SetStep(0x7FFFFFFF);
    p->SetPos(0x7FFFFFFE);
    p->StepIt();
    EXPECT_GE(p->GetPos(), 0x7FFFFFF0);
    EXPECT_LE(p->GetPos(), 0x7FFFFFFF);
    // Messages a bar does not know go to the window as usual.
    EXPECT_EQ(m_dlg.SendDlgItemMessage(kVertical, WM_USER + 100), 0);
    EXPECT_EQ(m_dlg.SendDlgItemMessage(4711, PBM_GETPOS), 0);
}

} // namespace
