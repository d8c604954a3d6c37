#include "KivIc/Tracking/Init2dDlg.h"

namespace {

void RegisterTemplate() {
    static const bool done = [] {
        AfxRegisterDialog(
            CInit2dDlg::IDD,
            {"Setup 2D-parameteres",
             150,
             70,
             "",
             8,
             {{AfxControl::Static, IDC_STATIC, "Points per frame :", 7, 10, 78, 10},
              {AfxControl::Edit, CInit2dDlg::IDC_INIT2D_POINTS, "", 88, 8, 40, 12},
              {AfxControl::Spin, CInit2dDlg::IDC_INIT2D_POINTS_SPIN, "Spin1", 128, 8, 10, 12, UDS_AUTOBUDDY},
              {AfxControl::Static, IDC_STATIC, "Frame rate :", 7, 28, 78, 10},
              {AfxControl::Edit, CInit2dDlg::IDC_INIT2D_FRAME_RATE, "", 88, 26, 50, 12},
              {AfxControl::DefPushButton, IDOK, "OK", 18, 48, 50, 14},
              {AfxControl::PushButton, IDCANCEL, "Cancel", 80, 48, 50, 14}}});
        return true;
    }();
    (void)done;
}

} // namespace

CInit2dDlg::CInit2dDlg(CWnd* pParent) : CDialog(IDD, pParent) {
    RegisterTemplate();
}

BOOL CInit2dDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CWnd* spin = GetDlgItem(IDC_INIT2D_POINTS_SPIN);
    if (spin != nullptr && spin->IsKindOf(RUNTIME_CLASS(CSpinButtonCtrl)))
        static_cast<CSpinButtonCtrl*>(spin)->SetRange32(0, kMaxPoints);
    return TRUE;
}

void CInit2dDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_INIT2D_POINTS, m_nPoints);
    DDV_MinMaxInt(pDX, m_nPoints, kMinPoints, kMaxPoints);
    DDX_Text(pDX, IDC_INIT2D_FRAME_RATE, m_nFrameRate);
    DDV_MinMaxInt(pDX, m_nFrameRate, kMinFrameRate, kMaxFrameRate);
}
