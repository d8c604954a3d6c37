// Sliders in dialog templates: range, position and its clamping, ticks, the scroll messages of the
// user's moves (and none for the program's), and their data exchange.
#include <QSlider>

#include "afx/afx_test_app.h"

namespace {

constexpr UINT kDlg = 926;
constexpr int kSlider = 400, kVertical = 401, kPlain = 402, kBare = 403, kEdit = 404;

struct Scroll {
    UINT message;
    UINT code;
    UINT pos;
    CWnd* ctrl;
    int posOnArrival; // what the slider reported to the handler
    bool operator==(const Scroll&) const = default;
};

// A quality picker: the slider shows quality / 100, each move writes position × 100 into the field.
class SliderDlg : public CDialog {
public:
    SliderDlg() : CDialog(kDlg) {}
    int m_quality = 7500;
    int m_vertical = 0;
    std::vector<Scroll> scrolls;

    CSliderCtrl* Slider(int id) { return static_cast<CSliderCtrl*>(GetDlgItem(id)); }

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        Slider(kSlider)->SetRange(1, 100);
        Slider(kSlider)->SetTicFreq(11);
        Slider(kSlider)->SetPos(m_quality / 100);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Slider(pDX, kVertical, m_vertical);
        DDX_Text(pDX, kEdit, m_quality);
    }
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
        Record(WM_HSCROLL, nSBCode, nPos, pScrollBar);
    }
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
        Record(WM_VSCROLL, nSBCode, nPos, pScrollBar);
    }
    void Record(UINT message, UINT code, UINT pos, CScrollBar* bar) {
        auto* ctrl = reinterpret_cast<CWnd*>(bar);
        const int now = ctrl != nullptr ? static_cast<CSliderCtrl*>(ctrl)->GetPos() : -1;
        scrolls.push_back({message, code, pos, ctrl, now});
        if (ctrl == Slider(kSlider)) {
            m_quality = now * 100;
            CString text;
            text.Format("%d", m_quality);
            SetDlgItemText(kEdit, text);
        }
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(SliderDlg, CDialog)
ON_WM_HSCROLL()
ON_WM_VSCROLL()
END_MESSAGE_MAP()

class SliderControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        AfxRegisterDialog(kDlg, {"JPEG QUALITY",
                                 200,
                                 160,
                                 "",
                                 8,
                                 {{AfxControl::Slider, kSlider, "", 5, 5, 150, 20, TBS_AUTOTICKS},
                                  {AfxControl::Edit, kEdit, "", 5, 30, 40, 12},
                                  {AfxControl::Slider, kVertical, "", 170, 5, 20, 100, TBS_VERT | TBS_BOTH},
                                  {AfxControl::Slider, kPlain, "", 5, 50, 100, 20},
                                  {AfxControl::Slider, kBare, "", 5, 75, 100, 20, TBS_NOTICKS},
                                  {AfxControl::DefPushButton, IDOK, "OK", 5, 130, 40, 14}}});
    }
    void TearDown() override { AfxSetModalHook(nullptr); }

    static QSlider* Widget(CSliderCtrl* s) { return qobject_cast<QSlider*>(s->GetWidget()); }
    static Scroll H(UINT code, UINT pos, CWnd* ctrl, int now) { return {WM_HSCROLL, code, pos, ctrl, now}; }
};

TEST_F(SliderControlTest, TemplateMakesSlidersOfTheirOrientationAndTicks) {
    SliderDlg dlg;
    AfxSetModalHook([&](CDialog* d) {
        for (int id : {kSlider, kVertical, kPlain, kBare})
            ASSERT_TRUE(d->GetDlgItem(id)->IsKindOf(RUNTIME_CLASS(CSliderCtrl))) << id;
        QSlider* quality = Widget(dlg.Slider(kSlider));
        ASSERT_NE(quality, nullptr);
        EXPECT_EQ(quality->orientation(), Qt::Horizontal);
        EXPECT_EQ(quality->tickPosition(), QSlider::TicksBelow);
        EXPECT_EQ(quality->geometry(),
                  QRect(AfxDluX(5), AfxDluY(5), AfxDluX(155) - AfxDluX(5), AfxDluY(25) - AfxDluY(5)));
        QSlider* vertical = Widget(dlg.Slider(kVertical));
        EXPECT_EQ(vertical->orientation(), Qt::Vertical);
        EXPECT_TRUE(vertical->invertedAppearance()); // the lower end at the top
        EXPECT_EQ(vertical->tickPosition(), QSlider::TicksBothSides);
        EXPECT_EQ(Widget(dlg.Slider(kBare))->tickPosition(), QSlider::NoTicks);
        // A new slider spans 0..100 at 0.
        CSliderCtrl* plain = dlg.Slider(kPlain);
        int lo = -1, hi = -1;
        plain->GetRange(lo, hi);
        EXPECT_EQ(lo, 0);
        EXPECT_EQ(hi, 100);
        EXPECT_EQ(plain->GetPos(), 0);
        // Initialisation put the quality's position in: 7500 shows 75.
        EXPECT_EQ(dlg.Slider(kSlider)->GetPos(), 75);
        EXPECT_EQ(quality->value(), 75);
    });
    dlg.DoModal();
    EXPECT_TRUE(dlg.scrolls.empty());
}

TEST_F(SliderControlTest, PositionStaysInTheRangeAndTheProgramsChangesSendNothing) {
    SliderDlg dlg;
    AfxSetModalHook([&](CDialog*) {
        CSliderCtrl* s = dlg.Slider(kPlain);
        QSlider* w = Widget(s);
        s->SetRange(-20, 30, TRUE);
        EXPECT_EQ(s->GetRangeMin(), -20);
        EXPECT_EQ(s->GetRangeMax(), 30);
        s->SetPos(25);
        EXPECT_EQ(s->GetPos(), 25);
        s->SetPos(31);
        EXPECT_EQ(s->GetPos(), 30);
        s->SetPos(-1000);
        EXPECT_EQ(s->GetPos(), -20);
        EXPECT_EQ(w->value(), -20);
        s->SetPos(25);
        s->SetRange(0, 10); // narrowing takes the position along
        EXPECT_EQ(s->GetPos(), 10);
        EXPECT_EQ(w->value(), 10);
        s->SetRangeMin(12);
        EXPECT_EQ(s->GetPos(), 12);
        EXPECT_EQ(s->GetRangeMax(), 12); // the upper end cannot lie below the lower one
        s->SetRangeMax(40);
        EXPECT_EQ(s->GetPos(), 12);
        EXPECT_EQ(w->minimum(), 12);
        EXPECT_EQ(w->maximum(), 40);
        s->SetTicFreq(3);
        s->SetPageSize(7);
        s->SetLineSize(2);
        EXPECT_TRUE(dlg.scrolls.empty());
    });
    dlg.DoModal();
}

TEST_F(SliderControlTest, TicksFollowTheFrequencyOnlyWithAutomaticTicks) {
    SliderDlg dlg;
    AfxSetModalHook([&](CDialog*) {
        CSliderCtrl* quality = dlg.Slider(kSlider);
        // 1..100 every 11: 12, 23, ..., 89 between the two ends.
        EXPECT_EQ(quality->GetNumTics(), 10u);
        EXPECT_EQ(Widget(quality)->tickInterval(), 11);
        quality->SetTicFreq(33);
        EXPECT_EQ(quality->GetNumTics(), 4u); // 1, 34, 67, 100
        quality->SetTicFreq(0);
        EXPECT_EQ(quality->GetNumTics(), 100u);
        CSliderCtrl* plain = dlg.Slider(kPlain);
        plain->SetTicFreq(10);
        EXPECT_EQ(plain->GetNumTics(), 2u);
        EXPECT_EQ(dlg.Slider(kBare)->GetNumTics(), 0u);
        plain->SetRange(5, 5);
        EXPECT_EQ(plain->GetNumTics(), 1u);
    });
    dlg.DoModal();
}

TEST_F(SliderControlTest, UserMovesReachTheParentWithCodePositionAndControl) {
    SliderDlg dlg;
    AfxSetModalHook([&](CDialog*) {
        CSliderCtrl* s = dlg.Slider(kSlider);
        QSlider* w = Widget(s);
        EXPECT_EQ(s->GetLineSize(), 1);
        EXPECT_EQ(s->GetPageSize(), 19); // a fifth of 1..100
        w->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        EXPECT_EQ(dlg.scrolls, (std::vector<Scroll>{H(TB_LINEDOWN, 0, s, 76), H(TB_ENDTRACK, 0, s, 76)}));
        dlg.scrolls.clear();
        EXPECT_EQ(s->SetPageSize(10), 19);
        EXPECT_EQ(s->SetLineSize(4), 1);
        w->triggerAction(QAbstractSlider::SliderPageStepSub);
        w->triggerAction(QAbstractSlider::SliderSingleStepSub);
        w->triggerAction(QAbstractSlider::SliderToMaximum);
        w->triggerAction(QAbstractSlider::SliderPageStepAdd); // at the end already
        EXPECT_EQ(dlg.scrolls, (std::vector<Scroll>{H(TB_PAGEUP, 0, s, 66), H(TB_ENDTRACK, 0, s, 66),
                                                    H(TB_LINEUP, 0, s, 62), H(TB_ENDTRACK, 0, s, 62),
                                                    H(TB_BOTTOM, 0, s, 100), H(TB_ENDTRACK, 0, s, 100),
                                                    H(TB_PAGEDOWN, 0, s, 100), H(TB_ENDTRACK, 0, s, 100)}));
        dlg.scrolls.clear();

        // A drag: the thumb's positions while held, the last one again on release.
        w->setSliderDown(true);
        w->setSliderPosition(40);
        w->setSliderPosition(41);
        w->setSliderDown(false);
        EXPECT_EQ(dlg.scrolls,
                  (std::vector<Scroll>{H(TB_THUMBTRACK, 40, s, 40), H(TB_THUMBTRACK, 41, s, 41),
                                       H(TB_THUMBPOSITION, 41, s, 41), H(TB_ENDTRACK, 0, s, 41)}));
        dlg.scrolls.clear();

        // Moved to the lower end: quality 100 in the field.
        w->triggerAction(QAbstractSlider::SliderToMinimum);
        EXPECT_EQ(s->GetPos(), 1);
        EXPECT_EQ(dlg.m_quality, 100);
        CString text;
        dlg.GetDlgItemText(kEdit, text);
        EXPECT_STREQ(text, "100");
        dlg.scrolls.clear();

        // A value set on the widget from outside counts as a finished move.
        w->setValue(58);
        EXPECT_EQ(dlg.scrolls,
                  (std::vector<Scroll>{H(TB_THUMBPOSITION, 58, s, 58), H(TB_ENDTRACK, 0, s, 58)}));
        EXPECT_EQ(s->GetPos(), 58);
        dlg.scrolls.clear();

        // A vertical slider scrolls vertically.
        CSliderCtrl* v = dlg.Slider(kVertical);
        Widget(v)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        ASSERT_EQ(dlg.scrolls.size(), 2u);
        EXPECT_EQ(dlg.scrolls[0], (Scroll{WM_VSCROLL, TB_LINEDOWN, 0, v, 1}));
        dlg.scrolls.clear();

        s->SetPos(20);
        EXPECT_TRUE(dlg.scrolls.empty());
    });
    dlg.DoModal();
}

TEST_F(SliderControlTest, ExchangeOfThePositionBothWays) {
    SliderDlg dlg;
    dlg.m_vertical = 37;
    AfxSetModalHook([&](CDialog* d) {
        CSliderCtrl* v = dlg.Slider(kVertical);
        EXPECT_EQ(v->GetPos(), 37);
        v->SetRange(0, 50);
        Widget(v)->triggerAction(QAbstractSlider::SliderPageStepAdd); // a page of 10
        ASSERT_TRUE(d->UpdateData(TRUE));
        EXPECT_EQ(dlg.m_vertical, 47);
        dlg.m_vertical = 80; // beyond the range: the slider clamps, the next exchange reads the end
        d->UpdateData(FALSE);
        EXPECT_EQ(v->GetPos(), 50);
        ASSERT_TRUE(d->UpdateData(TRUE));
        EXPECT_EQ(dlg.m_vertical, 50);
        d->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_vertical, 50);
    EXPECT_EQ(dlg.m_quality, 7500);
}

} // namespace
