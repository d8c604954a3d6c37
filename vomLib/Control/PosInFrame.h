// A small MDI child frame of the control library; it answers the view library's own messages with 0.
#pragma once

#include "platform/afx/afxwin.h"

class CPosInFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CPosInFrame)
public:
    CPosInFrame();
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    int m_nFlag = 1;

protected:
    LRESULT OnQuiet(WPARAM, LPARAM) { return 0; }
    void OnSize(UINT nType, int cx, int cy) { CMDIChildWnd::OnSize(nType, cx, cy); }
    DECLARE_MESSAGE_MAP()
};
