#include "KivIc/App/AboutDlg.h"

namespace {

void RegisterTemplate() {
    if (AfxFindDialog(CAboutDlg::IDD) != nullptr)
        return;
    AfxRegisterDialog(CAboutDlg::IDD, {"About KivIc",
                                       270,
                                       55,
                                       "",
                                       8,
                                       {{AfxControl::Static, IDC_STATIC, "KivIc Version 1.0", 40, 10, 119, 8},
                                        {AfxControl::Static, IDC_STATIC,
                                         "High-speed recording viewer and point tracker", 40, 25, 222, 8},
                                        {AfxControl::DefPushButton, IDOK, "OK", 230, 7, 32, 14}}});
}

} // namespace

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD, pParent) {
    RegisterTemplate();
}
