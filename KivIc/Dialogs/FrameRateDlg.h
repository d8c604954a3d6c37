// Asks for a recording's frame rate (1 to 100000 frames per second).
#pragma once

#include "platform/afx/afxwin.h"

class CFrameRateDlg : public CDialog {
public:
    enum { IDD = 281, IDC_FRAME_RATE = 1182 };
    explicit CFrameRateDlg(CWnd* pParent = nullptr);

    int m_nFrameRate = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
