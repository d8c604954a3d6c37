#include "KivIc/Dialogs/FrameRateDlg.h"

namespace {

void RegisterTemplate() {
    static const bool done = [] {
        AfxRegisterDialog(CFrameRateDlg::IDD,
                          {"Frame Rate Setting",
                           160,
                           60,
                           "",
                           8,
                           {{AfxControl::Static, IDC_STATIC, "Frame Rate(fps):", 7, 10, 74, 10},
                            {AfxControl::Edit, CFrameRateDlg::IDC_FRAME_RATE, "", 84, 8, 68, 12},
                            {AfxControl::DefPushButton, IDOK, "OK", 30, 38, 50, 14},
                            {AfxControl::PushButton, IDCANCEL, "Cancel", 90, 38, 50, 14}}});
        return true;
    }();
    (void)done;
}

} // namespace

CFrameRateDlg::CFrameRateDlg(CWnd* pParent) : CDialog(IDD, pParent) {
    RegisterTemplate();
}

void CFrameRateDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_FRAME_RATE, m_nFrameRate);
    DDV_MinMaxInt(pDX, m_nFrameRate, 1, 100000);
}
