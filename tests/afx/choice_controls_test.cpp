// Choice controls in dialog templates: drop-down lists with their selection-change notification,
// automatic radio buttons grouped by WS_GROUP, their data exchange, group boxes and up-down controls
// that take the field before them as buddy.
#include <QComboBox>
#include <QGroupBox>

#include "afx/afx_test_app.h"

namespace {

constexpr UINT kDlg = 925;
constexpr int kCombo = 300;
constexpr int kRadioA0 = 310, kRadioA1 = 311, kRadioA2 = 312;
constexpr int kRadioB0 = 320, kRadioB1 = 321;
constexpr int kGroupBox = 330;
constexpr int kEdit = 340, kSpin = 341;

class ChoiceDlg : public CDialog {
public:
    ChoiceDlg() : CDialog(kDlg) {}
    int m_a = -1;
    int m_b = 1;
    int m_index = -1;
    std::vector<int> selChanges; // the selection each notification found
    std::vector<UINT> clicks;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Radio(pDX, kRadioA0, m_a);
        DDX_Radio(pDX, kRadioB0, m_b);
        DDX_CBIndex(pDX, kCombo, m_index);
    }
    void OnSelChange() { selChanges.push_back(Combo()->GetCurSel()); }
    void OnA1() { clicks.push_back(kRadioA1); }
    CComboBox* Combo() { return static_cast<CComboBox*>(GetDlgItem(kCombo)); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ChoiceDlg, CDialog)
ON_CBN_SELCHANGE(kCombo, OnSelChange)
ON_BN_CLICKED(kRadioA1, OnA1)
END_MESSAGE_MAP()

class ChoiceControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        AfxRegisterDialog(kDlg, {"Choices",
                                 200,
                                 120,
                                 "",
                                 8,
                                 {{AfxControl::ComboBox, kCombo, "", 5, 5, 60, 80},
                                  {AfxControl::RadioButton, kRadioA0, "a0", 5, 30, 30, 10, WS_GROUP},
                                  {AfxControl::RadioButton, kRadioA1, "a1", 40, 30, 30, 10},
                                  {AfxControl::Static, IDC_STATIC, "between", 75, 30, 30, 10},
                                  {AfxControl::RadioButton, kRadioA2, "a2", 110, 30, 30, 10},
                                  {AfxControl::GroupBox, kGroupBox, "Group B", 2, 45, 150, 25, WS_GROUP},
                                  {AfxControl::RadioButton, kRadioB0, "b0", 5, 55, 30, 10, WS_GROUP},
                                  {AfxControl::RadioButton, kRadioB1, "b1", 40, 55, 30, 10},
                                  {AfxControl::Edit, kEdit, "", 5, 80, 40, 12, WS_GROUP},
                                  {AfxControl::Spin, kSpin, "", 45, 80, 10, 12, UDS_AUTOBUDDY},
                                  {AfxControl::DefPushButton, IDOK, "OK", 5, 100, 40, 14}}});
    }
    void TearDown() override { AfxSetModalHook(nullptr); }

    static CButton* Button(CDialog* d, int id) { return static_cast<CButton*>(d->GetDlgItem(id)); }
    static std::vector<int> Checks(CDialog* d, std::initializer_list<int> ids) {
        std::vector<int> out;
        for (int id : ids)
            out.push_back(Button(d, id)->GetCheck());
        return out;
    }
};

TEST_F(ChoiceControlsTest, ComboBoxEntriesSelectionAndOnlyUserChangesNotify) {
    ChoiceDlg dlg;
    AfxSetModalHook([&](CDialog* d) {
        auto* combo = static_cast<CComboBox*>(d->GetDlgItem(kCombo));
        ASSERT_TRUE(combo->IsKindOf(RUNTIME_CLASS(CComboBox)));
        EXPECT_EQ(combo->AddString("one"), 0);
        EXPECT_EQ(combo->AddString("二"), 1);
        EXPECT_EQ(combo->AddString("three"), 2);
        EXPECT_EQ(combo->GetCount(), 3);
        EXPECT_EQ(combo->GetCurSel(), CB_ERR); // adding selects nothing
        CString text;
        EXPECT_EQ(combo->GetLBText(1, text), 3); // bytes of the UTF-8 text
        EXPECT_STREQ(text, "二");
        EXPECT_EQ(combo->GetLBText(3, text), CB_ERR);
        EXPECT_STREQ(text, "");
        EXPECT_EQ(combo->SetCurSel(2), 2);
        combo->GetWindowText(text);
        EXPECT_STREQ(text, "three");
        EXPECT_EQ(combo->SetCurSel(7), CB_ERR); // out of range: nothing selected
        EXPECT_EQ(combo->GetCurSel(), CB_ERR);
        EXPECT_TRUE(dlg.selChanges.empty()); // the program's own changes are not reported

        auto* box = qobject_cast<QComboBox*>(combo->GetWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_LT(box->height(), AfxDluY(80)); // the closed box, not the dropped list
        box->setCurrentIndex(1);               // as the user chooses
        box->setCurrentIndex(0);
        EXPECT_EQ(dlg.selChanges, (std::vector<int>{1, 0}));

        combo->ResetContent();
        EXPECT_EQ(combo->GetCount(), 0);
        EXPECT_EQ(combo->GetCurSel(), CB_ERR);
        EXPECT_EQ(dlg.selChanges.size(), 2u);
        EXPECT_EQ(combo->AddString("again"), 0);
    });
    dlg.DoModal();
}

TEST_F(ChoiceControlsTest, RadioGroupsFollowWsGroupAndExchangeTheCheckedIndex) {
    ChoiceDlg dlg;
    dlg.m_a = -1;
    dlg.m_b = 1;
    AfxSetModalHook([&](CDialog* d) {
        // Loaded: group A has none checked, group B its second button.
        EXPECT_EQ(Checks(d, {kRadioA0, kRadioA1, kRadioA2, kRadioB0, kRadioB1}),
                  (std::vector<int>{0, 0, 0, 0, 1}));
        Button(d, kRadioA1)->Click();
        EXPECT_EQ(Checks(d, {kRadioA0, kRadioA1, kRadioA2, kRadioB0, kRadioB1}),
                  (std::vector<int>{0, 1, 0, 0, 1}));
        Button(d, kRadioA1)->Click(); // the checked one stays checked
        EXPECT_EQ(Button(d, kRadioA1)->GetCheck(), BST_CHECKED);
        // A static text inside the group does not end it: a2 is the group's third button.
        Button(d, kRadioA2)->Click();
        EXPECT_EQ(Checks(d, {kRadioA0, kRadioA1, kRadioA2, kRadioB0, kRadioB1}),
                  (std::vector<int>{0, 0, 1, 0, 1}));
        Button(d, kRadioB0)->Click();
        EXPECT_EQ(Checks(d, {kRadioA0, kRadioA1, kRadioA2, kRadioB0, kRadioB1}),
                  (std::vector<int>{0, 0, 1, 1, 0}));
        EXPECT_EQ(AfxGetRadioGroup(d->GetDlgItem(kRadioB1)).size(), 2u);
        EXPECT_TRUE(AfxGetRadioGroup(d->GetDlgItem(kEdit)).empty());
        d->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_a, 2);
    EXPECT_EQ(dlg.m_b, 0);
    EXPECT_EQ(dlg.clicks, (std::vector<UINT>{kRadioA1, kRadioA1}));
}

TEST_F(ChoiceControlsTest, ExchangeOfNoCheckAndOfTheListIndex) {
    ChoiceDlg dlg;
    dlg.m_a = 0;
    AfxSetModalHook([&](CDialog* d) {
        auto* combo = static_cast<CComboBox*>(d->GetDlgItem(kCombo));
        for (const char* s : {"1", "2", "3"})
            combo->AddString(s);
        dlg.m_index = 2;
        dlg.m_a = -1; // clears the group
        d->UpdateData(FALSE);
        EXPECT_EQ(combo->GetCurSel(), 2);
        EXPECT_EQ(Checks(d, {kRadioA0, kRadioA1, kRadioA2}), (std::vector<int>{0, 0, 0}));
        combo->SetCurSel(1);
        dlg.m_a = 5;
        ASSERT_TRUE(d->UpdateData(TRUE));
        EXPECT_EQ(dlg.m_index, 1);
        EXPECT_EQ(dlg.m_a, -1);
        combo->SetCurSel(-1);
        ASSERT_TRUE(d->UpdateData(TRUE));
        EXPECT_EQ(dlg.m_index, -1);
    });
    dlg.DoModal();
}

TEST_F(ChoiceControlsTest, GroupBoxTitleAndSpinWithTheFieldBeforeItAsBuddy) {
    ChoiceDlg dlg;
    AfxSetModalHook([&](CDialog* d) {
        CWnd* group = d->GetDlgItem(kGroupBox);
        ASSERT_NE(qobject_cast<QGroupBox*>(group->GetWidget()), nullptr);
        CString title;
        group->GetWindowText(title);
        EXPECT_STREQ(title, "Group B");
        group->SetWindowText("Prediction");
        group->GetWindowText(title);
        EXPECT_STREQ(title, "Prediction");

        auto* spin = static_cast<CSpinButtonCtrl*>(d->GetDlgItem(kSpin));
        EXPECT_EQ(spin->GetBuddy(), d->GetDlgItem(kEdit));
        spin->SetRange32(3, 100);
        d->SetDlgItemText(kEdit, "99");
        spin->Step(1);
        spin->Step(1);
        CString text;
        d->GetDlgItemText(kEdit, text);
        EXPECT_STREQ(text, "100");
        d->SetDlgItemText(kEdit, "0"); // typed below the range: a step starts inside it
        spin->Step(1);
        d->GetDlgItemText(kEdit, text);
        EXPECT_STREQ(text, "3");
    });
    dlg.DoModal();
}

} // namespace
