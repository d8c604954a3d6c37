#include "KivIc/Conversion/JpegQualityDlg.h"

IMPLEMENT_DYNAMIC(CJpegQualityDlg, CDialog)

BEGIN_MESSAGE_MAP(CJpegQualityDlg, CDialog)
ON_WM_HSCROLL()
END_MESSAGE_MAP()

namespace {

constexpr int kMinPos = 1;
constexpr int kMaxPos = 100;
constexpr int kPosScale = 100;

void RegisterTemplate() {
    static const bool done = [] {
        AfxRegisterDialog(
            CJpegQualityDlg::IDD,
            {"JPEG QUALITY",
             186,
             62,
             "",
             8,
             {{AfxControl::Slider, CJpegQualityDlg::IDC_QUALITY_SLIDER, "", 7, 7, 172, 22, TBS_AUTOTICKS},
              {AfxControl::Static, IDC_STATIC, "Quality:", 7, 40, 30, 10},
              {AfxControl::Edit, CJpegQualityDlg::IDC_QUALITY_EDIT, "", 40, 38, 44, 12},
              {AfxControl::DefPushButton, IDOK, "OK", 129, 37, 50, 14}}});
        return true;
    }();
    (void)done;
}

} // namespace

CJpegQualityDlg::CJpegQualityDlg(int nQuality, CWnd* pParent) : CDialog(IDD, pParent), m_nQuality(nQuality) {
    RegisterTemplate();
}

CSliderCtrl* CJpegQualityDlg::GetSlider() {
    return static_cast<CSliderCtrl*>(GetDlgItem(IDC_QUALITY_SLIDER));
}

BOOL CJpegQualityDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (CSliderCtrl* slider = GetSlider()) {
        slider->SetRange(kMinPos, kMaxPos);
        slider->SetTicFreq(11);
        slider->SetPos(m_nQuality / kPosScale);
    }
    return TRUE;
}

void CJpegQualityDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_QUALITY_EDIT, m_nQuality);
    // The field can be typed into: keep it to what the slider can give.
    DDV_MinMaxInt(pDX, m_nQuality, kMinPos * kPosScale, kMaxPos * kPosScale);
}

void CJpegQualityDlg::OnHScroll(UINT, UINT, CScrollBar* pScrollBar) {
    CSliderCtrl* slider = GetSlider();
    if (slider == nullptr || reinterpret_cast<CWnd*>(pScrollBar) != slider)
        return;
    m_nQuality = slider->GetPos() * kPosScale;
    CString text;
    text.Format("%d", m_nQuality);
    SetDlgItemText(IDC_QUALITY_EDIT, text);
}
