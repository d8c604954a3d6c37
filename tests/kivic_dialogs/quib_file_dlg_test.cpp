// The two file dialogs with dialog 180: its controls below the file list, "Simple" ending one of them
// as OK and doing nothing in the other, and what both keep of the fields when their window goes.
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "KivIc/Dialogs/QuibFileDlg.h"

namespace {

using Ids = QuibFileFields;

// The control of that id when it is of that kind, else null.
CWnd* ItemOf(CFileDialog* dialog, int id, CRuntimeClass* kind) {
    CWnd* item = dialog->GetDlgItem(id);
    return item != nullptr && item->IsKindOf(kind) ? item : nullptr;
}
CButton* Button(CFileDialog* dialog, int id) {
    return static_cast<CButton*>(ItemOf(dialog, id, RUNTIME_CLASS(CButton)));
}
CSpinButtonCtrl* Spin(CFileDialog* dialog, int id) {
    return static_cast<CSpinButtonCtrl*>(ItemOf(dialog, id, RUNTIME_CLASS(CSpinButtonCtrl)));
}

class QuibFileDlgTest : public ::testing::Test {
protected:
    void SetUp() override { AfxEnsureQtApp(); }
    void TearDown() override { AfxSetFileDialogHook(nullptr); }
};

TEST_F(QuibFileDlgTest, TemplateHoldsItsControlsWithTheSpinsOnTheirFields) {
    CQuibFileFrames dialog(TRUE, "Movies (*.avi)|*.avi||");
    EXPECT_TRUE(dialog.m_ofn.Flags & OFN_ENABLETEMPLATE);
    EXPECT_EQ(dialog.m_ofn.nIDTemplate, 180u);
    bool seen = false;
    AfxSetFileDialogHook([&](CFileDialog* d) -> INT_PTR {
        seen = true;
        CButton* check = Button(d, Ids::IDC_AUTO_CONVERSION);
        EXPECT_NE(check, nullptr);
        if (check != nullptr) {
            CString text;
            check->GetWindowText(text);
            EXPECT_STREQ(text, "Auto Format Conversion");
        }
        EXPECT_NE(ItemOf(d, Ids::IDC_FIRST_NUMBER, RUNTIME_CLASS(CEdit)), nullptr);
        EXPECT_NE(ItemOf(d, Ids::IDC_SECOND_NUMBER, RUNTIME_CLASS(CEdit)), nullptr);
        CSpinButtonCtrl* first = Spin(d, Ids::IDC_FIRST_SPIN);
        CSpinButtonCtrl* second = Spin(d, Ids::IDC_SECOND_SPIN);
        EXPECT_NE(first, nullptr);
        EXPECT_NE(second, nullptr);
        if (first != nullptr && second != nullptr) {
            EXPECT_EQ(first->GetBuddy(), d->GetDlgItem(Ids::IDC_FIRST_NUMBER));
            EXPECT_EQ(second->GetBuddy(), d->GetDlgItem(Ids::IDC_SECOND_NUMBER));
        }
        EXPECT_NE(Button(d, Ids::IDC_SIMPLE), nullptr);
        EXPECT_NE(ItemOf(d, Ids::IDC_LIST, RUNTIME_CLASS(CListCtrl)), nullptr);
        return IDCANCEL;
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(seen);
}

TEST_F(QuibFileDlgTest, SimpleEndsTheFramesDialogAsOkWhichKeepsTheFields) {
    CQuibFileFrames dialog(TRUE);
    AfxSetFileDialogHook([&](CFileDialog* d) -> INT_PTR {
        d->SetDlgItemText(Ids::IDC_FIRST_NUMBER, "42 frames");
        d->SetDlgItemText(Ids::IDC_SECOND_NUMBER, "-3");
        CSpinButtonCtrl* spin = Spin(d, Ids::IDC_SECOND_SPIN);
        spin->SetRange32(-100, 100);
        spin->Step(-1); // the arrow writes -4 into its field
        Button(d, Ids::IDC_AUTO_CONVERSION)->Click();
        Button(d, Ids::IDC_SIMPLE)->Click();
        return IDCANCEL; // not the answer: the dialog was ended
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_fields.nFirstNumber, 42);
    EXPECT_EQ(dialog.m_fields.nSecondNumber, -4);
    EXPECT_EQ(dialog.m_fields.nAutoConversion, BST_CHECKED);
}

TEST_F(QuibFileDlgTest, SimpleDoesNothingInTheSelectDialogWhichKeepsTheFieldsOnCancelToo) {
    CQuibFileSelect dialog(FALSE);
    dialog.m_fields.nFirstNumber = 5;
    dialog.m_fields.nAutoConversion = BST_CHECKED;
    AfxSetFileDialogHook([&](CFileDialog* d) -> INT_PTR {
        d->SetDlgItemText(Ids::IDC_SECOND_NUMBER, "17");
        Button(d, Ids::IDC_SIMPLE)->Click();
        return IDCANCEL; // the answer, as long as nothing ended the dialog
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    // The fields as they were shown: the first empty, the box clear.
    EXPECT_EQ(dialog.m_fields.nFirstNumber, 0);
    EXPECT_EQ(dialog.m_fields.nSecondNumber, 17);
    EXPECT_EQ(dialog.m_fields.nAutoConversion, BST_UNCHECKED);
    EXPECT_EQ(dialog.m_dwSelection, 0u);
}

TEST_F(QuibFileDlgTest, NumbersAreReadFromTheFirst256CharactersAndHeldInRange) {
    CQuibFileFrames dialog(TRUE);
    AfxSetFileDialogHook([&](CFileDialog* d) -> INT_PTR {
        // Only "123456" of the number lies within the characters read.
        d->SetDlgItemText(Ids::IDC_FIRST_NUMBER, (std::string(250, ' ') + "12345678").c_str());
        d->SetDlgItemText(Ids::IDC_SECOND_NUMBER, "-99999999999999999999999");
        return IDOK;
    });
    dialog.DoModal();
    EXPECT_EQ(dialog.m_fields.nFirstNumber, 123456);
    EXPECT_EQ(dialog.m_fields.nSecondNumber, INT_MIN);
}

} // namespace
