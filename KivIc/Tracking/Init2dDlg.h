// The 2-D setup of a tracking document (dialog 271): how many points each frame carries and the
// recording's frame rate.
#pragma once

#include "platform/afx/afxwin.h"

class CInit2dDlg : public CDialog {
public:
    enum {
        IDD = 271,
        IDC_INIT2D_POINTS = 1167,
        IDC_INIT2D_FRAME_RATE = 1168,
        IDC_INIT2D_POINTS_SPIN = 1169,
    };
    static constexpr int kMinPoints = 1;
    static constexpr int kMaxPoints = 255;
    static constexpr int kMinFrameRate = 1;
    static constexpr int kMaxFrameRate = 1000000;

    // Both values start at 0: the caller fills them in before DoModal.
    explicit CInit2dDlg(CWnd* pParent = nullptr);

    // Points per frame, 1 to 255.
    int m_nPoints = 0;
    // Frames per second, 1 to 1000000.
    int m_nFrameRate = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
};
