// The picture-information dialog: a read-only text in a fixed-pitch multi-line field.
#pragma once

#include "platform/afx/afxwin.h"

class CPropertyDlg : public CDialog {
public:
    enum { IDD = 258, IDC_PROPERTY_TEXT = 1160 };
    explicit CPropertyDlg(CWnd* pParent = nullptr);

    // Any mix of CR LF and LF line ends shows each line once.
    void SetText(LPCTSTR lpszText);
    const CString& GetText() const { return m_strText; }
    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void ApplyText();

    CString m_strText;
};
