// The About box (dialog 100): the program's name and version.
#pragma once

#include "platform/afx/afxwin.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = 100 };
    explicit CAboutDlg(CWnd* pParent = nullptr);
};
