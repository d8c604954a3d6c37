#include "KivIc/Helpers/PropertyDlg.h"

namespace {

void RegisterTemplate() {
    static const bool done = [] {
        AfxRegisterDialog(CPropertyDlg::IDD,
                          {"Proparty",
                           260,
                           200,
                           "Courier New",
                           10,
                           {{AfxControl::MultiLineEdit, CPropertyDlg::IDC_PROPERTY_TEXT, "", 7, 7, 246, 165,
                             ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL},
                            {AfxControl::DefPushButton, IDOK, "OK", 105, 178, 50, 14}}});
        return true;
    }();
    (void)done;
}

} // namespace

CPropertyDlg::CPropertyDlg(CWnd* pParent) : CDialog(IDD, pParent) {
    RegisterTemplate();
}

void CPropertyDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PROPERTY_TEXT, m_strText);
}

void CPropertyDlg::SetText(LPCTSTR lpszText) {
    m_strText = lpszText;
    m_strText.Replace("\r\n", "\n");
    if (GetSafeHwnd() != nullptr)
        ApplyText();
}

void CPropertyDlg::ApplyText() {
    // The field breaks lines at CR LF only.
    m_strText.Replace("\r\n", "\n");
    m_strText.Replace("\n", "\r\n");
    UpdateData(FALSE);
}

BOOL CPropertyDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ApplyText();
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->SetFocus();
    return FALSE; // the focus was placed here
}
