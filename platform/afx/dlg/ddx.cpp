// Data exchange: each function moves one value between a member and a control, in the direction of
// the exchange; on a bad value the user gets the standard message and the exchange fails.
#include <cerrno>
#include <cstdlib>

#include "platform/afx/afxwin.h"

HWND CDataExchange::PrepareCtrl(int nIDC) {
    m_idLastControl = nIDC;
    m_bEditLastControl = FALSE;
    CWnd* ctrl = m_pDlgWnd->GetDlgItem(nIDC);
    return ctrl != nullptr ? ctrl->GetSafeHwnd() : nullptr;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    HWND h = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return h;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_idLastControl != 0) {
        if (CWnd* ctrl = m_pDlgWnd->GetDlgItem(m_idLastControl)) {
            ctrl->SetFocus();
            if (m_bEditLastControl && ctrl->IsKindOf(RUNTIME_CLASS(CEdit)))
                static_cast<CEdit*>(ctrl)->SetSel(0, -1);
        }
    }
    AfxThrowUserException();
}

namespace {

CString ControlText(CDataExchange* pDX, int nIDC) {
    CString s;
    if (CWnd* ctrl = pDX->m_pDlgWnd->GetDlgItem(nIDC))
        ctrl->GetWindowText(s);
    return s;
}

void SetControlText(CDataExchange* pDX, int nIDC, LPCTSTR text) {
    if (CWnd* ctrl = pDX->m_pDlgWnd->GetDlgItem(nIDC))
        ctrl->SetWindowText(text);
}

// A whole decimal integer with optional blanks around it; the value is checked against 64-bit limits
// before any narrowing.
bool ParseInteger(const CString& text, long long& out) {
    CString s = text;
    s.Trim();
    if (s.IsEmpty())
        return false;
    const char* p = s;
    char* end = nullptr;
    errno = 0;
    out = std::strtoll(p, &end, 10);
    return errno == 0 && end != p && *end == '\0';
}

void IntegerExchange(CDataExchange* pDX, int nIDC, long long& value, long long lo, long long hi) {
    pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        if (!ParseInteger(ControlText(pDX, nIDC), v) || v < lo || v > hi) {
            AfxMessageBox("Please enter an integer.", MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = v;
    } else {
        CString s;
        s.Format("%lld", value);
        SetControlText(pDX, nIDC, s);
    }
}

} // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    long long v = value;
    IntegerExchange(pDX, nIDC, v, INT32_MIN, INT32_MAX);
    value = static_cast<int>(v);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
    long long v = value;
    IntegerExchange(pDX, nIDC, v, INT32_MIN, INT32_MAX);
    value = static_cast<long>(v);
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
    long long v = value;
    IntegerExchange(pDX, nIDC, v, 0, UINT32_MAX);
    value = static_cast<UINT>(v);
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
    pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        CString s = ControlText(pDX, nIDC);
        s.Trim();
        const char* p = s;
        char* end = nullptr;
        const double v = std::strtod(p, &end);
        if (s.IsEmpty() || end == p || *end != '\0') {
            AfxMessageBox("Please enter a number.", MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = v;
    } else {
        CString s;
        s.Format("%.15g", value);
        SetControlText(pDX, nIDC, s);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ControlText(pDX, nIDC);
    else
        SetControlText(pDX, nIDC, value);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    pDX->PrepareCtrl(nIDC);
    CWnd* ctrl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (ctrl == nullptr || !ctrl->IsKindOf(RUNTIME_CLASS(CButton)))
        return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<CButton*>(ctrl)->GetCheck();
    else
        static_cast<CButton*>(ctrl)->SetCheck(value);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    pDX->PrepareCtrl(nIDC);
    const std::vector<CButton*> group = AfxGetRadioGroup(pDX->m_pDlgWnd->GetDlgItem(nIDC));
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (size_t i = 0; i < group.size(); ++i) {
            if (group[i]->GetCheck() == BST_CHECKED) {
                value = static_cast<int>(i);
                break;
            }
        }
    } else {
        for (size_t i = 0; i < group.size(); ++i)
            group[i]->SetCheck(static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED);
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    pDX->PrepareCtrl(nIDC);
    CWnd* ctrl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (ctrl == nullptr || !ctrl->IsKindOf(RUNTIME_CLASS(CComboBox)))
        return;
    auto* combo = static_cast<CComboBox*>(ctrl);
    if (pDX->m_bSaveAndValidate)
        index = combo->GetCurSel();
    else
        combo->SetCurSel(index);
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    DDV_MinMaxLong(pDX, value, minVal, maxVal);
}

void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal) {
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    CString prompt;
    prompt.Format("Please enter an integer between %ld and %ld.", minVal, maxVal);
    AfxMessageBox(prompt, MB_ICONEXCLAMATION);
    pDX->Fail();
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
    if (!pDX->m_bSaveAndValidate || value.GetLength() <= nChars)
        return;
    CString prompt;
    prompt.Format("Enter no more than %d characters.", nChars);
    AfxMessageBox(prompt, MB_ICONEXCLAMATION);
    pDX->Fail();
}

void DDX_Slider(CDataExchange* pDX, int nIDC, int& value) {
    pDX->PrepareCtrl(nIDC);
    CWnd* ctrl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (ctrl == nullptr || !ctrl->IsKindOf(RUNTIME_CLASS(CSliderCtrl)))
        return;
    auto* slider = static_cast<CSliderCtrl*>(ctrl);
    if (pDX->m_bSaveAndValidate)
        value = slider->GetPos();
    else
        slider->SetPos(value);
}
