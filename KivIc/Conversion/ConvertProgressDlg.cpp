#include "KivIc/Conversion/ConvertProgressDlg.h"

#include <QWidget>

#include "KivIc/Documents/RecordingMenu.h"
#include "platform/afx/ctrl/progressctrl.h"

namespace {

void RegisterResources() {
    static const bool done = [] {
        AfxRegisterString(CConvertProgressDlg::IDS_REMAIN_FRAMES, "The number of remaining frames is %ld.");
        AfxRegisterString(CConvertProgressDlg::IDS_REMAIN_TIME, "Remaining time is %ld minutes %ld second.");
        AfxRegisterDialog(
            CConvertProgressDlg::IDD,
            {"Createing a conversion file.",
             200,
             96,
             "",
             8,
             {{AfxControl::Static, CConvertProgressDlg::IDC_MESSAGE,
               "Now creating a conversion file.\nPlease wait while saving the file.", 10, 8, 180, 20},
              {AfxControl::Static, CConvertProgressDlg::IDC_REMAIN_FRAMES, "", 10, 32, 180, 10},
              {AfxControl::Static, CConvertProgressDlg::IDC_REMAIN_TIME, "", 10, 44, 180, 10},
              {AfxControl::Progress, CConvertProgressDlg::IDC_PROGRESS, "", 10, 58, 180, 10},
              {AfxControl::PushButton, IDCANCEL, "Cancel", 75, 74, 50, 14}}});
        return true;
    }();
    (void)done;
}

} // namespace

BEGIN_MESSAGE_MAP(CConvertProgressDlg, CDialog)
ON_WM_CLOSE()
END_MESSAGE_MAP()

CConvertProgressDlg::CConvertProgressDlg() : CDialog(IDD, nullptr) {
    RegisterResources();
    m_hIcon = AfxIconHandle(IDR_MAINFRAME);
}

CString CConvertProgressDlg::RemainText() const {
    CString text;
    text.Format(AfxString(IDS_REMAIN_FRAMES), static_cast<long>(m_nRemain));
    return text;
}

void CConvertProgressDlg::StartProgress(long first, long last, long step, LPCTSTR lpszCaption,
                                        LPCTSTR lpszMessage) {
    m_strCaption = lpszCaption != nullptr ? lpszCaption : "";
    m_strMessage = lpszMessage != nullptr ? lpszMessage : "";
    const long frames = step != 0 ? (last - first + 1) / step : 0;
    m_nRemain = static_cast<int>(frames > 0 ? frames : 0);
    Create(IDD, nullptr);
}

BOOL CConvertProgressDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    SendDlgItemMessage(IDC_PROGRESS, PBM_SETRANGE32, 0, m_nRemain);
    SendDlgItemMessage(IDC_PROGRESS, PBM_SETSTEP, 1, 0);
    m_bCancel = FALSE;
    m_strRemain = RemainText();
    UpdateData(FALSE);
    if (QWidget* window = GetWidget() != nullptr ? GetWidget()->window() : nullptr)
        window->setWindowFlag(Qt::WindowCloseButtonHint, false);
    if (!m_strCaption.IsEmpty())
        SetWindowText(m_strCaption);
    if (!m_strMessage.IsEmpty())
        SetDlgItemText(IDC_MESSAGE, m_strMessage);
    return TRUE;
}

void CConvertProgressDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_REMAIN_FRAMES, m_strRemain);
}

void CConvertProgressDlg::StepProgress() {
    --m_nRemain;
    m_strRemain = RemainText();
    if (GetSafeHwnd() == nullptr)
        return;
    SetDlgItemText(IDC_REMAIN_FRAMES, m_strRemain);
    SendDlgItemMessage(IDC_PROGRESS, PBM_STEPIT, 0, 0);
    UpdateWindow();
}

void CConvertProgressDlg::SetTimeText(LPCTSTR lpszText) {
    if (GetSafeHwnd() != nullptr)
        SetDlgItemText(IDC_REMAIN_TIME, lpszText);
}

void CConvertProgressDlg::OnCancel() {
    if (!m_bWaitCursor)
        BeginWaitCursor();
    m_bWaitCursor = TRUE;
    m_bCancel = TRUE;
    CDialog::OnCancel();
}

void CConvertProgressDlg::OnClose() {}
