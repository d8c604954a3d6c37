// The matching-parameter dialog on a job's per-point parameters: what a point shows, Apply and Apply
// to All with the radio choices, the point list dropping what was not applied, refused fields that
// store nothing, and the notice to the tracking window after each apply.
#include <gtest/gtest.h>

#include <QComboBox>

#include "KivIc/Tracking/MatParDlg.h"
#include "ZopDat/TrackingJobPar.h"
#include "dlg_test_support.h"

namespace {

using D = CMatParDlg;

// The tracking window's side: counts the notices.
class NotifyWnd : public CWnd {
public:
    int applied = 0;

protected:
    LRESULT OnApplied(WPARAM wParam, LPARAM lParam) {
        EXPECT_EQ(wParam, 0u);
        EXPECT_EQ(lParam, 0);
        ++applied;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(NotifyWnd, CWnd)
ON_MESSAGE(WM_MATPAR_APPLIED, OnApplied)
END_MESSAGE_MAP()

MatParam4Point* PointWith(const MatchingParam& mp) {
    auto* point = new MatParam4Point;
    point->Add(new MatchingParam(mp));
    return point;
}

class MatParDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        ASSERT_TRUE(notify.Create(nullptr, "frame", WS_OVERLAPPED, CRect(0, 0, 50, 50), nullptr, 0));
        // Point 1: the defaults. Point 2: rotation on with the 30-degree step, no prediction, its own
        // sizes and the provisional-mean method. Point 3: no parameter set at all.
        params.Add(PointWith(MatchingParam()));
        MatchingParam second;
        second.rotate = 1;
        second.rotationStep = 3;
        second.prediction = 0;
        second.templateRadiusX = 6;
        second.templateRadiusY = 8;
        second.searchMarginX = 12;
        second.searchMarginY = 14;
        second.method = 1;
        params.Add(PointWith(second));
        params.Add(new MatParam4Point);
        original = params;
    }
    void TearDown() override { notify.DestroyWindow(); }

    // Runs the dialog; the hook gets it after its initialisation.
    INT_PTR Run(const AfxModalHook& hook) {
        D dlg(&notify, &params);
        ModalAnswer answer(hook);
        return dlg.DoModal();
    }
    static const MatchingParam& First(const TrackingJobPar& p, int index) { return *p.Get(index)->Get(0); }
    static std::vector<std::string> Fields(CDialog* d) {
        std::vector<std::string> out;
        for (int id : {D::IDC_MATPAR_TEMPLATE_WIDTH, D::IDC_MATPAR_TEMPLATE_HEIGHT,
                       D::IDC_MATPAR_SEARCH_WIDTH, D::IDC_MATPAR_SEARCH_HEIGHT})
            out.emplace_back(FieldText(d, id));
        return out;
    }
    // Enable/Disable of rotation, then of prediction, as 1 for checked.
    static std::vector<int> Radios(CDialog* d) {
        std::vector<int> out;
        for (int id : {D::IDC_MATPAR_ROTATE_ENABLE, D::IDC_MATPAR_ROTATE_DISABLE,
                       D::IDC_MATPAR_PREDICT_ENABLE, D::IDC_MATPAR_PREDICT_DISABLE})
            out.push_back(static_cast<CButton*>(d->GetDlgItem(id))->GetCheck());
        return out;
    }
    static void ChoosePoint(CDialog* d, int index) {
        // As the user picks it from the list.
        qobject_cast<QComboBox*>(d->GetDlgItem(D::IDC_MATPAR_POINT)->GetWidget())->setCurrentIndex(index);
    }
    static void ExpectSame(const MatchingParam& a, const MatchingParam& b) {
        std::string x, y;
        a.Write(x);
        b.Write(y);
        EXPECT_EQ(x, y);
    }

    NotifyWnd notify;
    TrackingJobPar params;
    TrackingJobPar original;
};

TEST_F(MatParDlgTest, OpensOnTheFirstPointWithItsValuesAndChoices) {
    std::vector<std::string> entries;
    int selected = -2;
    std::vector<std::string> fields;
    std::vector<int> radios;
    std::vector<int> ranges;
    EXPECT_EQ(Run([&](CDialog* d) {
                  auto* combo = static_cast<CComboBox*>(d->GetDlgItem(D::IDC_MATPAR_POINT));
                  for (int i = 0; i < combo->GetCount(); ++i) {
                      CString text;
                      combo->GetLBText(i, text);
                      entries.emplace_back(text);
                  }
                  selected = combo->GetCurSel();
                  fields = Fields(d);
                  radios = Radios(d);
                  for (int id : {D::IDC_MATPAR_TEMPLATE_WIDTH_SPIN, D::IDC_MATPAR_TEMPLATE_HEIGHT_SPIN,
                                 D::IDC_MATPAR_SEARCH_WIDTH_SPIN, D::IDC_MATPAR_SEARCH_HEIGHT_SPIN}) {
                      int lo = 0, hi = 0;
                      static_cast<CSpinButtonCtrl*>(d->GetDlgItem(id))->GetRange32(lo, hi);
                      ranges.push_back(lo);
                      ranges.push_back(hi);
                  }
                  Press(d, IDCANCEL);
              }),
              IDCANCEL);
    EXPECT_EQ(entries, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(fields, (std::vector<std::string>{"10", "10", "5", "5"}));
    // Rotation off shows Disable; prediction code 1 shows Enable.
    EXPECT_EQ(radios, (std::vector<int>{0, 1, 1, 0}));
    EXPECT_EQ(ranges, (std::vector<int>{3, 100, 3, 100, 3, 100, 3, 100}));
    EXPECT_EQ(notify.applied, 0);
}

TEST_F(MatParDlgTest, ApplyStoresTheShownPointOnlyAndTellsTheWindow) {
    Run([&](CDialog* d) {
        d->SetDlgItemText(D::IDC_MATPAR_TEMPLATE_WIDTH, "0"); // a 1 x 1 template
        d->SetDlgItemText(D::IDC_MATPAR_TEMPLATE_HEIGHT, "4");
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_WIDTH, "1"); // the smallest margin
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_HEIGHT, "9");
        Press(d, D::IDC_MATPAR_ROTATE_ENABLE);
        Press(d, D::IDC_MATPAR_PREDICT_DISABLE);
        Press(d, D::IDC_MATPAR_APPLY);
        EXPECT_EQ(notify.applied, 1);
        Press(d, IDCANCEL); // keeps what was applied
    });
    const MatchingParam& mp = First(params, 0);
    EXPECT_EQ(mp.rotate, 1);
    EXPECT_EQ(mp.rotationStep, 7);
    EXPECT_EQ(mp.prediction, 0);
    EXPECT_EQ(mp.templateRadiusX, 0);
    EXPECT_EQ(mp.templateRadiusY, 4);
    EXPECT_EQ(mp.searchMarginX, 1);
    EXPECT_EQ(mp.searchMarginY, 9);
    EXPECT_EQ(mp.method, 3); // not the dialog's to change
    ExpectSame(First(params, 1), First(original, 1));
    EXPECT_EQ(params.Get(2)->Count(), 0);
    EXPECT_EQ(notify.applied, 1);
}

TEST_F(MatParDlgTest, RadioChoicesMapBothWays) {
    std::vector<int> shown;
    Run([&](CDialog* d) {
        ChoosePoint(d, 1);
        shown = Radios(d);
        // Rotation stays on: the step becomes the 5-degree one; prediction switched on.
        Press(d, D::IDC_MATPAR_PREDICT_ENABLE);
        Press(d, D::IDC_MATPAR_APPLY);
        Press(d, D::IDC_MATPAR_ROTATE_DISABLE);
        ChoosePoint(d, 1); // no change of point: nothing reloads
        Press(d, IDOK);
    });
    EXPECT_EQ(shown, (std::vector<int>{1, 0, 0, 1}));
    const MatchingParam& mp = First(params, 1);
    EXPECT_EQ(mp.rotate, 0);
    EXPECT_EQ(mp.rotationStep, 7); // from the first apply; switching off keeps the step
    EXPECT_EQ(mp.prediction, 1);
    EXPECT_EQ(mp.templateRadiusX, 6);
    EXPECT_EQ(mp.searchMarginY, 14);
    ExpectSame(First(params, 0), First(original, 0));
    EXPECT_EQ(notify.applied, 2); // Apply, then OK
}

TEST_F(MatParDlgTest, ChoosingAnotherPointDropsWhatWasNotApplied) {
    std::vector<std::string> second, backToFirst;
    std::vector<int> radiosBack;
    Run([&](CDialog* d) {
        d->SetDlgItemText(D::IDC_MATPAR_TEMPLATE_WIDTH, "42");
        Press(d, D::IDC_MATPAR_ROTATE_ENABLE);
        ChoosePoint(d, 1);
        second = Fields(d);
        ChoosePoint(d, 0);
        backToFirst = Fields(d);
        radiosBack = Radios(d);
        Press(d, IDCANCEL);
    });
    EXPECT_EQ(second, (std::vector<std::string>{"6", "8", "12", "14"}));
    EXPECT_EQ(backToFirst, (std::vector<std::string>{"10", "10", "5", "5"}));
    EXPECT_EQ(radiosBack, (std::vector<int>{0, 1, 1, 0}));
    ExpectSame(First(params, 0), First(original, 0));
    EXPECT_EQ(notify.applied, 0);
}

TEST_F(MatParDlgTest, ApplyToAllGivesEveryPointTheShownValuesIncludingOneWithoutParameters) {
    std::vector<std::string> third;
    Run([&](CDialog* d) {
        ChoosePoint(d, 2); // no parameter set: the defaults are shown
        third = Fields(d);
        ChoosePoint(d, 1);
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_WIDTH, "20");
        Press(d, D::IDC_MATPAR_APPLY_ALL);
        Press(d, IDCANCEL);
    });
    EXPECT_EQ(third, (std::vector<std::string>{"10", "10", "5", "5"}));
    ASSERT_EQ(params.Get(2)->Count(), 1);
    for (int i = 0; i < 3; ++i) {
        const MatchingParam& mp = First(params, i);
        EXPECT_EQ(mp.rotate, 1) << i;
        EXPECT_EQ(mp.rotationStep, 7) << i;
        EXPECT_EQ(mp.prediction, 0) << i;
        EXPECT_EQ(mp.templateRadiusX, 6) << i;
        EXPECT_EQ(mp.templateRadiusY, 8) << i;
        EXPECT_EQ(mp.searchMarginX, 20) << i;
        EXPECT_EQ(mp.searchMarginY, 14) << i;
    }
    EXPECT_EQ(First(params, 0).method, 3); // each point keeps its method
    EXPECT_EQ(First(params, 2).method, 3);
    EXPECT_EQ(notify.applied, 1);
}

TEST_F(MatParDlgTest, NegativeSizesNoMarginAndTextsThatAreNoNumbersStoreNothing) {
    MessageBoxRecorder boxes;
    std::vector<std::string> afterRefusal;
    Run([&](CDialog* d) {
        // The width is read before the bad height: it must not be stored either.
        d->SetDlgItemText(D::IDC_MATPAR_TEMPLATE_WIDTH, "7");
        d->SetDlgItemText(D::IDC_MATPAR_TEMPLATE_HEIGHT, "-1");
        Press(d, D::IDC_MATPAR_APPLY);
        Press(d, D::IDC_MATPAR_APPLY_ALL);
        d->SetDlgItemText(D::IDC_MATPAR_TEMPLATE_HEIGHT, "4");
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_HEIGHT, "-5");
        Press(d, D::IDC_MATPAR_APPLY);
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_HEIGHT, "5");
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_WIDTH, "abc");
        Press(d, D::IDC_MATPAR_APPLY);
        Press(d, IDOK); // refused as well: the dialog stays open
        EXPECT_NE(d->GetModalResult(), IDOK);
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_WIDTH, "32768");
        Press(d, D::IDC_MATPAR_APPLY);
        // Without a margin the template fills the search area, which the default matcher refuses.
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_WIDTH, "0");
        Press(d, D::IDC_MATPAR_APPLY);
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_WIDTH, "6");
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_HEIGHT, "0");
        Press(d, IDOK);
        EXPECT_NE(d->GetModalResult(), IDOK);
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_WIDTH, "32768");
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_HEIGHT, "5");
        afterRefusal = Fields(d);
        Press(d, IDCANCEL);
    });
    const std::string range = "Please enter an integer between 0 and 32767.";
    const std::string margin = "Please enter an integer between 1 and 32767.";
    EXPECT_EQ(boxes.texts, (std::vector<std::string>{range, range, margin, "Please enter an integer.",
                                                     "Please enter an integer.", margin, margin, margin}));
    for (int i = 0; i < 2; ++i)
        ExpectSame(First(params, i), First(original, i));
    EXPECT_EQ(params.Get(2)->Count(), 0);
    EXPECT_EQ(notify.applied, 0);
    // The fields keep what the user typed, to be corrected.
    EXPECT_EQ(afterRefusal, (std::vector<std::string>{"7", "4", "32768", "5"}));
}

TEST_F(MatParDlgTest, MembersKeepTheirValuesWhenAFieldIsRefused) {
    MessageBoxRecorder boxes;
    D dlg(&notify, &params);
    ModalAnswer answer([&](CDialog* d) {
        d->SetDlgItemText(D::IDC_MATPAR_TEMPLATE_WIDTH, "33");
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_HEIGHT, "x");
        Press(d, D::IDC_MATPAR_APPLY);
        Press(d, IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_EQ(dlg.m_nTemplateWidth, 10);
    EXPECT_EQ(dlg.m_nSearchHeight, 5);
    EXPECT_EQ(dlg.m_nRotation, 1);
    EXPECT_EQ(dlg.m_nPoint, 0);
}

TEST_F(MatParDlgTest, WithoutParametersOrNotifyWindowNothingBreaks) {
    MessageBoxRecorder boxes;
    D dlg(nullptr, nullptr);
    EXPECT_EQ(dlg.m_nRotation, -1);
    EXPECT_EQ(dlg.m_nPoint, -1);
    EXPECT_EQ(dlg.m_nPrediction, -1);
    int entries = -1;
    ModalAnswer answer([&](CDialog* d) {
        entries = static_cast<CComboBox*>(d->GetDlgItem(D::IDC_MATPAR_POINT))->GetCount();
        d->SetDlgItemText(D::IDC_MATPAR_TEMPLATE_WIDTH, "4");
        d->SetDlgItemText(D::IDC_MATPAR_TEMPLATE_HEIGHT, "4");
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_WIDTH, "4");
        d->SetDlgItemText(D::IDC_MATPAR_SEARCH_HEIGHT, "4");
        Press(d, D::IDC_MATPAR_APPLY);
        Press(d, D::IDC_MATPAR_APPLY_ALL);
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(entries, 0);
    EXPECT_TRUE(boxes.texts.empty());
}

} // namespace
