#include "KivIc/Conversion/CompressOptionsDlg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QSlider>
#include <QThread>

#include "vomLib/avilib/MovieBitmapInfo.h"

IMPLEMENT_DYNAMIC(CCompressOptionsDlg, CDialog)

BEGIN_MESSAGE_MAP(CCompressOptionsDlg, CDialog)
ON_CBN_SELCHANGE(CCompressOptionsDlg::IDC_VC_COMPRESSOR, OnSelChange)
ON_WM_HSCROLL()
END_MESSAGE_MAP()

namespace {

constexpr int kQualityScale = 100;
constexpr DWORD kDefaultQuality = 7500;
// A stream without a frame rectangle is asked about at the size the save dialog tries compressors at.
constexpr LONG kProbeWidth = 640;
constexpr LONG kProbeHeight = 480;

void RegisterTemplate() {
    static const bool done = [] {
        AfxRegisterDialog(
            CCompressOptionsDlg::IDD,
            {"Video Compression",
             226,
             78,
             "",
             8,
             {{AfxControl::Static, IDC_STATIC, "Compressor:", 7, 7, 150, 10},
              {AfxControl::ComboBox, CCompressOptionsDlg::IDC_VC_COMPRESSOR, "", 7, 19, 150, 80},
              {AfxControl::Static, CCompressOptionsDlg::IDC_VC_QUALITY_LABEL, "Compression Quality:", 7, 42,
               88, 10},
              {AfxControl::Static, CCompressOptionsDlg::IDC_VC_QUALITY_TEXT, "", 97, 42, 24, 10},
              {AfxControl::Slider, CCompressOptionsDlg::IDC_VC_QUALITY, "", 7, 54, 150, 18, TBS_AUTOTICKS},
              {AfxControl::DefPushButton, IDOK, "OK", 169, 7, 50, 14},
              {AfxControl::PushButton, IDCANCEL, "Cancel", 169, 25, 50, 14}}});
        return true;
    }();
    (void)done;
}

// The compressor table's texts are UTF-16; the program's are UTF-8.
CString WideText(const WCHAR* text, std::size_t capacity) {
    std::size_t length = 0;
    while (length < capacity && text[length] != 0)
        ++length;
    return CString(QString::fromUtf16(text, static_cast<qsizetype>(length)).toUtf8().constData());
}

BOOL TableEntry(DWORD n, ICINFO* info) {
    *info = ICINFO{};
    return ICInfo(ICTYPE_VIDEO, n, info);
}

INT_PTR RunCompressOptions(HWND owner, UINT, int streamCount, PAVISTREAM* streams,
                           LPAVICOMPRESSOPTIONS* options) {
    const QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread())
        return FALSE;
    if (streamCount < 0 || (streamCount > 0 && (streams == nullptr || options == nullptr)))
        return FALSE;
    CWnd* parent = CWnd::FromHandle(owner);
    for (int i = 0; i < streamCount; ++i) {
        AVISTREAMINFOA info{};
        if (options[i] == nullptr || AVIStreamInfoA(streams[i], &info, sizeof info) != AVIERR_OK)
            return FALSE;
        if (info.fccType != streamtypeVIDEO)
            continue;
        LONG width = info.rcFrame.right - info.rcFrame.left;
        LONG height = info.rcFrame.bottom - info.rcFrame.top;
        if (width <= 0 || height <= 0) {
            width = kProbeWidth;
            height = kProbeHeight;
        }
        CCompressOptionsDlg dlg(options[i], width, height, parent);
        if (dlg.DoModal() != IDOK)
            return FALSE;
    }
    return TRUE;
}

} // namespace

std::vector<CompressorChoice> ListCompressorsFor24Bit(LONG width, LONG height) {
    BITMAPINFO frame{};
    frame.bmiHeader = CMovieBitmapInfo::Packed24(width, height);
    std::vector<CompressorChoice> choices;
    ICINFO info;
    for (DWORD n = 0; TableEntry(n, &info); ++n) {
        HIC hic = ICOpen(ICTYPE_VIDEO, info.fccHandler, ICMODE_COMPRESS);
        if (hic == nullptr)
            continue;
        const bool takes = ICCompressQuery(hic, &frame, nullptr) == ICERR_OK;
        ICClose(hic);
        if (takes)
            choices.push_back({info.fccHandler, WideText(info.szDescription, std::size(info.szDescription)),
                               (info.dwFlags & VIDCF_QUALITY) != 0 ? TRUE : FALSE});
    }
    return choices;
}

CString CompressorDescription(FOURCC handler) {
    ICINFO info;
    for (DWORD n = 0; TableEntry(n, &info); ++n)
        if (ICFourccEqual(info.fccHandler, handler))
            return WideText(info.szDescription, std::size(info.szDescription));
    return CString();
}

CCompressOptionsDlg::CCompressOptionsDlg(AVICOMPRESSOPTIONS* pOptions, LONG width, LONG height, CWnd* pParent)
    : CDialog(IDD, pParent), m_pOptions(pOptions), m_choices(ListCompressorsFor24Bit(width, height)) {
    RegisterTemplate();
}

CComboBox* CCompressOptionsDlg::Combo() {
    return static_cast<CComboBox*>(GetDlgItem(IDC_VC_COMPRESSOR));
}

CSliderCtrl* CCompressOptionsDlg::Slider() {
    return static_cast<CSliderCtrl*>(GetDlgItem(IDC_VC_QUALITY));
}

BOOL CCompressOptionsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CComboBox* combo = Combo();
    CSliderCtrl* slider = Slider();
    if (combo == nullptr || slider == nullptr)
        return TRUE;
    int selected = 0;
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        combo->AddString(m_choices[i].description);
        if (m_pOptions != nullptr && ICFourccEqual(m_choices[i].handler, m_pOptions->fccHandler))
            selected = static_cast<int>(i);
    }
    combo->SetCurSel(m_choices.empty() ? -1 : selected);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(!m_choices.empty());
    const bool given = m_pOptions != nullptr && (m_pOptions->dwFlags & AVICOMPRESSF_VALID) != 0 &&
                       m_pOptions->dwQuality <= ICQUALITY_HIGH;
    slider->SetRange(0, static_cast<int>(ICQUALITY_HIGH) / kQualityScale);
    slider->SetTicFreq(10);
    slider->SetPageSize(10);
    slider->SetPos(static_cast<int>((given ? m_pOptions->dwQuality : kDefaultQuality) / kQualityScale));
    ShowQuality();
    return TRUE;
}

const CompressorChoice* CCompressOptionsDlg::GetChosen() {
    CComboBox* combo = Combo();
    const int index = combo != nullptr ? combo->GetCurSel() : -1;
    return index >= 0 && static_cast<std::size_t>(index) < m_choices.size() ? &m_choices[index] : nullptr;
}

DWORD CCompressOptionsDlg::GetChosenQuality() {
    CSliderCtrl* slider = Slider();
    return slider != nullptr ? static_cast<DWORD>(slider->GetPos() * kQualityScale) : kDefaultQuality;
}

void CCompressOptionsDlg::OnOK() {
    const CompressorChoice* chosen = GetChosen();
    if (chosen == nullptr)
        return;
    if (m_pOptions != nullptr) {
        m_pOptions->fccType = streamtypeVIDEO;
        m_pOptions->fccHandler = chosen->handler;
        if (chosen->hasQuality)
            m_pOptions->dwQuality = GetChosenQuality();
        m_pOptions->dwFlags |= AVICOMPRESSF_VALID;
    }
    CDialog::OnOK();
}

void CCompressOptionsDlg::OnSelChange() {
    ShowQuality();
}

void CCompressOptionsDlg::OnHScroll(UINT, UINT, CScrollBar*) {
    ShowQuality();
}

void CCompressOptionsDlg::ShowQuality() {
    const CompressorChoice* chosen = GetChosen();
    const BOOL enable = chosen != nullptr && chosen->hasQuality;
    for (int id : {IDC_VC_QUALITY, IDC_VC_QUALITY_LABEL, IDC_VC_QUALITY_TEXT})
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(enable);
    CString text;
    if (CSliderCtrl* slider = Slider())
        text.Format("%d", slider->GetPos());
    SetDlgItemText(IDC_VC_QUALITY_TEXT, text);
}

BOOL CCompressOptionsDlg::PickCompressor(FOURCC handler) {
    auto* box = Combo() != nullptr ? qobject_cast<QComboBox*>(Combo()->GetWidget()) : nullptr;
    if (box == nullptr)
        return FALSE;
    for (std::size_t i = 0; i < m_choices.size(); ++i)
        if (ICFourccEqual(m_choices[i].handler, handler)) {
            box->setCurrentIndex(static_cast<int>(i)); // as the user picks it: the list tells the dialog
            return TRUE;
        }
    return FALSE;
}

void CCompressOptionsDlg::MoveQuality(int nPos) {
    CSliderCtrl* slider = Slider();
    auto* widget = slider != nullptr ? qobject_cast<QSlider*>(slider->GetWidget()) : nullptr;
    if (widget != nullptr && slider->IsWindowEnabled())
        widget->setValue(nPos); // a move of the user's: the slider reports it to the dialog
}

void InstallCompressOptionsDialog() {
    AVISetSaveOptionsHook(RunCompressOptions);
}
