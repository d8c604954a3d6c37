// Dialogs from templates with data exchange: integer range checks with the standard messages, texts,
// modal runs answered by a hook, and the file dialog's filter.
#include "afx/afx_test_app.h"

namespace {

constexpr UINT kDlg = 920;

class RangeDlg : public CDialog {
public:
    RangeDlg() : CDialog(kDlg) {}
    int m_value = 3;
    CString m_name = "start";

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 100, m_value);
        DDV_MinMaxInt(pDX, m_value, 1, 10);
        DDX_Text(pDX, 101, m_name);
    }
};

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        AfxRegisterDialog(kDlg, {"Range",
                                 120,
                                 60,
                                 "",
                                 8,
                                 {{AfxControl::Edit, 100, "", 5, 5, 50, 12},
                                  {AfxControl::Edit, 101, "", 5, 20, 50, 12},
                                  {AfxControl::DefPushButton, IDOK, "OK", 5, 40, 40, 14},
                                  {AfxControl::PushButton, IDCANCEL, "Cancel", 50, 40, 40, 14}}});
    }
    void TearDown() override { AfxSetModalHook(nullptr); }
};

TEST_F(DialogsTest, ValuesGoIntoTheControlsAndComeBackOnOk) {
    RangeDlg dlg;
    std::vector<std::string> seen;
    AfxSetModalHook([&](CDialog* d) {
        CString text;
        d->GetDlgItemText(100, text);
        seen.emplace_back(text);
        d->GetDlgItemText(101, text);
        seen.emplace_back(text);
        d->SetDlgItemText(100, " 7 ");
        d->SetDlgItemText(101, "changed");
        static_cast<CButton*>(d->GetDlgItem(IDOK))->Click();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(seen, (std::vector<std::string>{"3", "start"}));
    EXPECT_EQ(dlg.m_value, 7);
    EXPECT_STREQ(dlg.m_name, "changed");
}

TEST_F(DialogsTest, BadIntegersShowTheStandardMessagesAndKeepTheDialogOpen) {
    MessageBoxRecorder boxes;
    RangeDlg dlg;
    std::vector<bool> endedAfter;
    AfxSetModalHook([&](CDialog* d) {
        for (const char* text : {"abc", "11", "0", "2147483648", "", "10"}) {
            d->SetDlgItemText(100, text);
            d->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
            endedAfter.push_back(d->GetModalResult() == IDOK);
        }
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(endedAfter, (std::vector<bool>{false, false, false, false, false, true}));
    EXPECT_EQ(boxes.texts, (std::vector<std::string>{
                               "Please enter an integer.", "Please enter an integer between 1 and 10.",
                               "Please enter an integer between 1 and 10.", "Please enter an integer.",
                               "Please enter an integer."}));
    EXPECT_EQ(dlg.m_value, 10);
}

TEST_F(DialogsTest, CancelLeavesTheMembersAlone) {
    RangeDlg dlg;
    AfxSetModalHook([](CDialog* d) {
        d->SetDlgItemText(100, "9");
        static_cast<CButton*>(d->GetDlgItem(IDCANCEL))->Click();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_value, 3);
    // A hook that leaves the dialog open counts as cancelled.
    AfxSetModalHook([](CDialog*) {});
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(DialogsTest, FileDialogFilterAndScriptedAnswer) {
    CFileDialog fd(FALSE, "csv", nullptr, OFN_HIDEREADONLY,
                   "Reticle Files (*.csv)|*.csv|All Files (*.*)|*.*||");
    EXPECT_STREQ(fd.GetQtFilter(), "Reticle Files (*.csv);;All Files (*.*)");
    AfxSetFileDialogHook([](CFileDialog* d) {
        d->SetPathName("/tmp/x/points.csv");
        return static_cast<INT_PTR>(IDOK);
    });
    EXPECT_EQ(fd.DoModal(), IDOK);
    EXPECT_STREQ(fd.GetFileName(), "points.csv");
    EXPECT_STREQ(fd.GetFileExt(), "csv");
    EXPECT_STREQ(fd.GetFileTitle(), "points");
    AfxSetFileDialogHook(nullptr);
}

} // namespace
