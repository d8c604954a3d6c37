#include "KivIc/Tracking/MatParDlg.h"

#include <iterator>

#include "ZopDat/TrackingJobPar.h"

namespace {

constexpr int kSpinLow = 3;
constexpr int kSpinHigh = 100;
constexpr int kRotationStep5Degrees = 7;
constexpr int kChoiceEnable = 0;
constexpr int kChoiceDisable = 1;

void RegisterTemplate() {
    static const bool done = [] {
        using D = CMatParDlg;
        AfxRegisterDialog(
            D::IDD,
            {"Matching Parameter Setting",
             240,
             133,
             "",
             8,
             {{AfxControl::Static, IDC_STATIC, "Point Number :", 7, 9, 62, 10},
              {AfxControl::ComboBox, D::IDC_MATPAR_POINT, "", 70, 7, 44, 80},
              {AfxControl::GroupBox, IDC_STATIC, "Template Size :", 7, 23, 110, 46},
              {AfxControl::Static, IDC_STATIC, "Width :", 15, 37, 34, 10},
              {AfxControl::Edit, D::IDC_MATPAR_TEMPLATE_WIDTH, "", 52, 35, 40, 12},
              {AfxControl::Spin, D::IDC_MATPAR_TEMPLATE_WIDTH_SPIN, "", 92, 35, 10, 12, UDS_AUTOBUDDY},
              {AfxControl::Static, IDC_STATIC, "Height :", 15, 52, 34, 10},
              {AfxControl::Edit, D::IDC_MATPAR_TEMPLATE_HEIGHT, "", 52, 50, 40, 12},
              {AfxControl::Spin, D::IDC_MATPAR_TEMPLATE_HEIGHT_SPIN, "", 92, 50, 10, 12, UDS_AUTOBUDDY},
              {AfxControl::GroupBox, IDC_STATIC, "Search Area :", 123, 23, 110, 46},
              {AfxControl::Static, IDC_STATIC, "Width :", 131, 37, 34, 10},
              {AfxControl::Edit, D::IDC_MATPAR_SEARCH_WIDTH, "", 168, 35, 40, 12},
              {AfxControl::Spin, D::IDC_MATPAR_SEARCH_WIDTH_SPIN, "", 208, 35, 10, 12, UDS_AUTOBUDDY},
              {AfxControl::Static, IDC_STATIC, "Height :", 131, 52, 34, 10},
              {AfxControl::Edit, D::IDC_MATPAR_SEARCH_HEIGHT, "", 168, 50, 40, 12},
              {AfxControl::Spin, D::IDC_MATPAR_SEARCH_HEIGHT_SPIN, "", 208, 50, 10, 12, UDS_AUTOBUDDY},
              {AfxControl::GroupBox, IDC_STATIC, "Rotational Template :", 7, 75, 110, 30},
              {AfxControl::RadioButton, D::IDC_MATPAR_ROTATE_ENABLE, "Enable", 15, 88, 46, 10, WS_GROUP},
              {AfxControl::RadioButton, D::IDC_MATPAR_ROTATE_DISABLE, "Disable", 63, 88, 50, 10},
              {AfxControl::GroupBox, IDC_STATIC, "Prediction", 123, 75, 110, 30, WS_GROUP},
              {AfxControl::RadioButton, D::IDC_MATPAR_PREDICT_ENABLE, "Enable", 131, 88, 46, 10, WS_GROUP},
              {AfxControl::RadioButton, D::IDC_MATPAR_PREDICT_DISABLE, "Disable", 179, 88, 50, 10},
              {AfxControl::PushButton, D::IDC_MATPAR_APPLY, "Apply", 7, 113, 50, 14, WS_GROUP},
              {AfxControl::PushButton, D::IDC_MATPAR_APPLY_ALL, "Apply to All", 61, 113, 56, 14},
              {AfxControl::DefPushButton, IDOK, "OK", 123, 113, 52, 14},
              {AfxControl::PushButton, IDCANCEL, "Cancel", 181, 113, 52, 14}}});
        return true;
    }();
    (void)done;
}

template <typename T> T* DlgItem(CWnd* dialog, int id) {
    return dynamic_cast<T*>(dialog->GetDlgItem(id));
}

} // namespace

BEGIN_MESSAGE_MAP(CMatParDlg, CDialog)
ON_BN_CLICKED(IDC_MATPAR_APPLY, OnApply)
ON_BN_CLICKED(IDC_MATPAR_APPLY_ALL, OnApplyAll)
ON_CBN_SELCHANGE(IDC_MATPAR_POINT, OnSelChangePoint)
END_MESSAGE_MAP()

CMatParDlg::CMatParDlg(CWnd* pNotifyWnd, TrackingJobPar* pParams, CWnd* pParent)
    : CDialog(IDD, pParent), m_pNotifyWnd(pNotifyWnd), m_pParams(pParams) {
    RegisterTemplate();
}

BOOL CMatParDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (int id : {IDC_MATPAR_TEMPLATE_WIDTH_SPIN, IDC_MATPAR_TEMPLATE_HEIGHT_SPIN,
                   IDC_MATPAR_SEARCH_WIDTH_SPIN, IDC_MATPAR_SEARCH_HEIGHT_SPIN}) {
        if (CSpinButtonCtrl* spin = DlgItem<CSpinButtonCtrl>(this, id))
            spin->SetRange32(kSpinLow, kSpinHigh);
    }
    if (CComboBox* combo = DlgItem<CComboBox>(this, IDC_MATPAR_POINT)) {
        combo->ResetContent();
        const int count = m_pParams != nullptr ? m_pParams->Count() : 0;
        for (int i = 0; i < count; ++i) {
            CString number;
            number.Format("%d", i + 1);
            combo->AddString(number);
        }
        combo->SetCurSel(0);
    }
    LoadPoint(0);
    UpdateData(FALSE);
    return TRUE;
}

void CMatParDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_MATPAR_ROTATE_ENABLE, m_nRotation);
    // A negative radius has no template; 0 is a 1 x 1 template.
    DDX_Text(pDX, IDC_MATPAR_TEMPLATE_WIDTH, m_nTemplateWidth);
    DDV_MinMaxInt(pDX, m_nTemplateWidth, 0, kMaxSize);
    DDX_Text(pDX, IDC_MATPAR_TEMPLATE_HEIGHT, m_nTemplateHeight);
    DDV_MinMaxInt(pDX, m_nTemplateHeight, 0, kMaxSize);
    DDX_Text(pDX, IDC_MATPAR_SEARCH_WIDTH, m_nSearchWidth);
    DDV_MinMaxInt(pDX, m_nSearchWidth, kMinMargin, kMaxSize);
    DDX_Text(pDX, IDC_MATPAR_SEARCH_HEIGHT, m_nSearchHeight);
    DDV_MinMaxInt(pDX, m_nSearchHeight, kMinMargin, kMaxSize);
    DDX_CBIndex(pDX, IDC_MATPAR_POINT, m_nPoint);
    DDX_Radio(pDX, IDC_MATPAR_PREDICT_ENABLE, m_nPrediction);
}

MatchingParam* CMatParDlg::FirstParam(int index, bool create) const {
    MatParam4Point* point = m_pParams != nullptr ? m_pParams->Get(index) : nullptr;
    if (point == nullptr)
        return nullptr;
    if (point->Count() == 0 && create)
        point->Add(new MatchingParam);
    return point->Get(0);
}

void CMatParDlg::LoadPoint(int index) {
    if (m_pParams == nullptr || m_pParams->Get(index) == nullptr)
        return;
    const MatchingParam defaults;
    const MatchingParam* mp = FirstParam(index, false);
    if (mp == nullptr)
        mp = &defaults;
    m_nPoint = index;
    m_nRotation = mp->rotate == 1 ? kChoiceEnable : kChoiceDisable;
    m_nPrediction = mp->prediction == 1 ? kChoiceEnable : kChoiceDisable;
    m_nTemplateWidth = mp->templateRadiusX;
    m_nTemplateHeight = mp->templateRadiusY;
    m_nSearchWidth = mp->searchMarginX;
    m_nSearchHeight = mp->searchMarginY;
}

void CMatParDlg::StoreToParam(MatchingParam& mp) const {
    mp.rotate = m_nRotation == kChoiceEnable ? 1 : 0;
    if (mp.rotate == 1)
        mp.rotationStep = kRotationStep5Degrees;
    mp.prediction = m_nPrediction == kChoiceEnable ? 1 : 0;
    mp.templateRadiusX = m_nTemplateWidth;
    mp.templateRadiusY = m_nTemplateHeight;
    mp.searchMarginX = m_nSearchWidth;
    mp.searchMarginY = m_nSearchHeight;
}

bool CMatParDlg::ReadFields() {
    const int saved[] = {m_nRotation,     m_nTemplateWidth, m_nTemplateHeight, m_nSearchWidth,
                         m_nSearchHeight, m_nPoint,         m_nPrediction};
    if (UpdateData(TRUE))
        return true;
    // The fields before the bad one were read already: none of them counts.
    int* const members[] = {&m_nRotation,     &m_nTemplateWidth, &m_nTemplateHeight, &m_nSearchWidth,
                            &m_nSearchHeight, &m_nPoint,         &m_nPrediction};
    for (size_t i = 0; i < std::size(members); ++i)
        *members[i] = saved[i];
    return false;
}

void CMatParDlg::NotifyApplied() {
    if (m_pNotifyWnd != nullptr && m_pNotifyWnd->GetSafeHwnd() != nullptr)
        m_pNotifyWnd->SendMessage(WM_MATPAR_APPLIED, 0, 0);
}

bool CMatParDlg::Apply() {
    if (!ReadFields())
        return false;
    const CComboBox* combo = DlgItem<CComboBox>(this, IDC_MATPAR_POINT);
    const int index = combo != nullptr ? combo->GetCurSel() : m_nPoint;
    if (MatchingParam* mp = FirstParam(index, true))
        StoreToParam(*mp);
    NotifyApplied();
    return true;
}

void CMatParDlg::OnApply() {
    Apply();
}

void CMatParDlg::OnApplyAll() {
    if (!ReadFields())
        return;
    const int count = m_pParams != nullptr ? m_pParams->Count() : 0;
    for (int i = 0; i < count; ++i) {
        if (MatchingParam* mp = FirstParam(i, true))
            StoreToParam(*mp);
    }
    NotifyApplied();
}

void CMatParDlg::OnSelChangePoint() {
    // What was typed for the point shown before and not applied is dropped.
    if (const CComboBox* combo = DlgItem<CComboBox>(this, IDC_MATPAR_POINT))
        LoadPoint(combo->GetCurSel());
    UpdateData(FALSE);
}

void CMatParDlg::OnOK() {
    if (!Apply())
        return; // the user was told; the dialog stays open
    EndDialog(IDOK);
}
