#include "KivIc/Dialogs/QuibFileDlg.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CQuibFileFrames, CFileDialog)
IMPLEMENT_DYNAMIC(CQuibFileSelect, CFileDialog)

BEGIN_MESSAGE_MAP(CQuibFileFrames, CFileDialog)
ON_WM_DESTROY()
ON_BN_CLICKED(QuibFileFields::IDC_SIMPLE, OnSimple)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CQuibFileSelect, CFileDialog)
ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

constexpr int kNumberChars = 256;

void RegisterTemplate() {
    static const bool done = [] {
        using F = QuibFileFields;
        AfxRegisterDialog(
            F::IDD, {"",
                     300,
                     92,
                     "",
                     8,
                     {{AfxControl::CheckBox, F::IDC_AUTO_CONVERSION, "Auto Format Conversion", 7, 4, 110, 10},
                      {AfxControl::Edit, F::IDC_FIRST_NUMBER, "", 7, 18, 50, 12},
                      {AfxControl::Spin, F::IDC_FIRST_SPIN, "", 57, 18, 10, 12, UDS_AUTOBUDDY},
                      {AfxControl::Edit, F::IDC_SECOND_NUMBER, "", 75, 18, 50, 12},
                      {AfxControl::Spin, F::IDC_SECOND_SPIN, "", 125, 18, 10, 12, UDS_AUTOBUDDY},
                      {AfxControl::PushButton, F::IDC_SIMPLE, "Simple", 145, 17, 50, 14},
                      {AfxControl::ListCtrl, F::IDC_LIST, "", 7, 36, 286, 52}}});
        return true;
    }();
    (void)done;
}

int NumberOf(const CWnd& dialog, int nID) {
    CString text;
    dialog.GetDlgItemText(nID, text);
    const CString head = text.Left(kNumberChars);
    const long long value = std::strtoll(head.GetString(), nullptr, 10);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

void QuibFileFields::Store(const CWnd& dialog) {
    nFirstNumber = NumberOf(dialog, IDC_FIRST_NUMBER);
    nSecondNumber = NumberOf(dialog, IDC_SECOND_NUMBER);
    CWnd* box = dialog.GetDlgItem(IDC_AUTO_CONVERSION);
    nAutoConversion = box != nullptr && box->IsKindOf(RUNTIME_CLASS(CButton))
                          ? static_cast<CButton*>(box)->GetCheck()
                          : BST_UNCHECKED;
}

void QuibFileFields::UseTemplate(CFileDialog& dialog) {
    RegisterTemplate();
    dialog.m_ofn.Flags |= OFN_ENABLETEMPLATE;
    dialog.m_ofn.nIDTemplate = IDD;
}

CQuibFileFrames::CQuibFileFrames(BOOL bOpenFileDialog, LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, nullptr, nullptr, OFN_HIDEREADONLY | OFN_EXPLORER, lpszFilter,
                  pParentWnd) {
    QuibFileFields::UseTemplate(*this);
}

void CQuibFileFrames::OnDestroy() {
    m_fields.Store(*this);
    CFileDialog::OnDestroy();
}

void CQuibFileFrames::OnSimple() {
    EndDialog(IDOK);
}

CQuibFileSelect::CQuibFileSelect(BOOL bOpenFileDialog, LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, nullptr, nullptr, OFN_HIDEREADONLY | OFN_EXPLORER, lpszFilter,
                  pParentWnd) {
    QuibFileFields::UseTemplate(*this);
}

void CQuibFileSelect::OnDestroy() {
    m_fields.Store(*this);
    CFileDialog::OnDestroy();
}
