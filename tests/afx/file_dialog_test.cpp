// The file dialog with a template below the file list, driven as the user would: the template's
// controls and commands, the filter index in and out, the type-change notice, the name check that
// may keep the dialog open, and Cancel.
#include <set>

#include <QFileDialog>
#include <QTimer>

#include "afx/afx_test_app.h"
#include "afx_core/temp_dir.h"

namespace {

constexpr UINT kTemplate = 931;
constexpr int kCustom = 1086;
constexpr int kName = 1083;
constexpr int kSimple = 1073;

class ConvSaveDlg : public CFileDialog {
public:
    ConvSaveDlg()
        : CFileDialog(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER,
                      "AVI Files (*.avi)|*.avi|BMP Sequence (*.bmp)|*.bmp|JPEG (*.jpg)|*.jpg||") {
        m_ofn.Flags |= OFN_ENABLETEMPLATE;
        m_ofn.nIDTemplate = kTemplate;
    }
    std::vector<DWORD> typeChanges;   // the filter index each notice found
    std::vector<std::string> checked; // "title|ext" of each name check
    std::set<std::string> refused;    // titles the name check refuses
    int customClicks = 0;

protected:
    BOOL OnInitDialog() override {
        CFileDialog::OnInitDialog();
        SetDlgItemText(kName, "Microsoft Video 1");
        return TRUE;
    }
    void OnTypeChange() override {
        typeChanges.push_back(m_ofn.nFilterIndex);
        GetDlgItem(kCustom)->EnableWindow(m_ofn.nFilterIndex == 1);
    }
    BOOL OnFileNameOK() override {
        const std::string title(GetFileTitle().GetString());
        checked.push_back(title + "|" + GetFileExt().GetString());
        return refused.count(title) != 0 ? TRUE : FALSE;
    }
    void OnCustom() { ++customClicks; }
    void OnSimple() { EndDialog(IDOK); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ConvSaveDlg, CFileDialog)
ON_BN_CLICKED(kCustom, OnCustom)
ON_BN_CLICKED(kSimple, OnSimple)
END_MESSAGE_MAP()

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQt();
        AfxRegisterDialog(kTemplate, {"",
                                      200,
                                      40,
                                      "",
                                      8,
                                      {{AfxControl::PushButton, kCustom, "Custom...", 5, 5, 50, 14},
                                       {AfxControl::Edit, kName, "", 60, 5, 100, 12},
                                       {AfxControl::PushButton, kSimple, "Simple", 5, 22, 50, 14}}});
    }
    void TearDown() override { AfxSetFileDialogHook(nullptr); }
    TempDir dir;
};

CButton* Button(CFileDialog* d, int id) {
    return static_cast<CButton*>(d->GetDlgItem(id));
}

TEST_F(FileDialogTest, TemplateControlsSitInTheDialogAndRouteTheirCommands) {
    ConvSaveDlg dlg;
    dlg.m_ofn.lpstrTitle = "Conversion";
    bool hosted = false;
    CString shown;
    AfxSetFileDialogHook([&](CFileDialog* d) {
        if (d->GetDlgItem(kCustom) == nullptr || d->GetDlgItem(kSimple) == nullptr)
            return static_cast<INT_PTR>(IDCANCEL);
        // Below the file list inside Qt's dialog, which carries the title.
        auto* window = qobject_cast<QFileDialog*>(d->GetDlgItem(kCustom)->GetWidget()->window());
        hosted = window != nullptr && window->windowTitle() == "Conversion";
        d->GetDlgItemText(kName, shown);
        Button(d, kCustom)->Click();
        Button(d, kCustom)->Click();
        Button(d, kSimple)->Click(); // ends the dialog as OK from the template
        return static_cast<INT_PTR>(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(hosted);
    EXPECT_STREQ(shown, "Microsoft Video 1");
    EXPECT_EQ(dlg.customClicks, 2);
    EXPECT_EQ(dlg.GetDlgItem(kCustom), nullptr) << "the controls go with the dialog";
}

TEST_F(FileDialogTest, FilterIndexGoesInAndTheTypeChangeComesBack) {
    ConvSaveDlg dlg;
    dlg.m_ofn.nFilterIndex = 2;
    DWORD atStart = 0;
    bool customEnabled = true;
    AfxSetFileDialogHook([&](CFileDialog* d) {
        auto* window = qobject_cast<QFileDialog*>(d->GetDlgItem(kCustom)->GetWidget()->window());
        atStart = static_cast<DWORD>(window->nameFilters().indexOf(window->selectedNameFilter()) + 1);
        d->PickFilter(3);
        customEnabled = d->GetDlgItem(kCustom)->IsWindowEnabled();
        d->PickFilter(1);
        d->PickFilter(9); // not in the list: nothing happens
        d->PickFilter(2);
        return static_cast<INT_PTR>(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(atStart, 2u);
    EXPECT_TRUE(dlg.typeChanges == (std::vector<DWORD>{3, 1, 2}));
    EXPECT_FALSE(customEnabled);
    EXPECT_EQ(dlg.m_ofn.nFilterIndex, 2u);
}

TEST_F(FileDialogTest, ARefusedNameKeepsTheDialogOpenAnAcceptedOneClosesItWithThePath) {
    ConvSaveDlg dlg;
    dlg.refused = {"busy"};
    bool openAfterRefusal = false;
    AfxSetFileDialogHook([&](CFileDialog* d) {
        d->PickFilter(3);
        d->TypeFileName(dir.Path("busy.avi").c_str());
        d->PressOK();
        openAfterRefusal = d->IsModalRunning() && d->GetModalResult() != IDOK;
        d->TypeFileName(dir.Path("fresh.jpg").c_str());
        d->PressOK();
        return static_cast<INT_PTR>(IDCANCEL); // ended above: this answer is not taken
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(dlg.checked, (std::vector<std::string>{"busy|avi", "fresh|jpg"}));
    EXPECT_STREQ(dlg.GetPathName(), dir.Path("fresh.jpg").c_str());
    EXPECT_STREQ(dlg.GetFileName(), "fresh.jpg");
    EXPECT_EQ(dlg.m_ofn.nFilterIndex, 3u);
}

TEST_F(FileDialogTest, TheDefaultExtensionIsAddedBeforeTheNameCheck) {
    CFileDialog plain(FALSE, "csv", nullptr, OFN_HIDEREADONLY, "Reticle Files (*.csv)|*.csv||");
    AfxSetFileDialogHook([&](CFileDialog* d) {
        d->TypeFileName(dir.Path("points").c_str());
        d->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0); // the OK command presses the OK button
        return static_cast<INT_PTR>(IDCANCEL);
    });
    EXPECT_EQ(plain.DoModal(), IDOK);
    EXPECT_STREQ(plain.GetPathName(), dir.Path("points.csv").c_str());
}

TEST_F(FileDialogTest, CancelReturnsCancelWhatEverTheHookAnswers) {
    ConvSaveDlg dlg;
    AfxSetFileDialogHook([&](CFileDialog* d) {
        d->TypeFileName(dir.Path("x.avi").c_str());
        d->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        return static_cast<INT_PTR>(IDOK); // ended above: this answer is not taken
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.checked.empty()) << "Cancel checks no name";
    // An open dialog closes on an existing file.
    TempDir::WriteAll(dir.Path("there.avi"), "x");
    CFileDialog open(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "AVI Files (*.avi)|*.avi||");
    AfxSetFileDialogHook([&](CFileDialog* d) {
        d->TypeFileName(dir.Path("there.avi").c_str());
        d->PressOK();
        return static_cast<INT_PTR>(IDCANCEL);
    });
    EXPECT_EQ(open.DoModal(), IDOK);
    EXPECT_STREQ(open.GetPathName(), dir.Path("there.avi").c_str());
}

TEST_F(FileDialogTest, ShownDialogsEndOnTheirOkButtonAndOnTheTemplatesCommand) {
    // No hook: the dialog runs its own loop, and the user's actions come from the event loop.
    ConvSaveDlg dlg;
    QTimer::singleShot(0, [&]() {
        dlg.TypeFileName(dir.Path("shown.avi").c_str());
        dlg.PressOK();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_STREQ(dlg.GetPathName(), dir.Path("shown.avi").c_str());
    QTimer::singleShot(0, [&]() { Button(&dlg, kSimple)->Click(); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    QTimer::singleShot(0, [&]() { dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0); });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.checked, (std::vector<std::string>{"shown|avi"}));
}

} // namespace
