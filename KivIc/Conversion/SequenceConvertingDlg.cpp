#include "KivIc/Conversion/SequenceConvertingDlg.h"

CSequenceConvertingDlg::CSequenceConvertingDlg(const ConvertSource& source, LPCTSTR lpszTarget,
                                               SequenceKind kind, DWORD dwQuality, CWnd* pParent)
    : CConvertingDlg(source, lpszTarget, pParent), m_kind(kind), m_dwQuality(dwQuality) {}

BOOL CSequenceConvertingDlg::OpenOutput() {
    m_pOutput =
        std::make_unique<CSequenceOutput>(m_kind, (m_strDrive + m_strDir).GetString(),
                                          m_strBaseName.GetString(), m_strExt.GetString(), m_dwQuality);
    return TRUE;
}

BOOL CSequenceConvertingDlg::CloseOutput(Outcome outcome) {
    // Frames beyond the new end would otherwise join the new sequence.
    if (m_pOutput && outcome == Outcome::Complete)
        m_pOutput->RemoveStaleFrames(m_nWritten);
    m_pOutput.reset();
    return TRUE;
}

CJpgConvertingDlg::CJpgConvertingDlg(const ConvertSource& source, LPCTSTR lpszTarget, DWORD dwQuality,
                                     CWnd* pParent)
    : CSequenceConvertingDlg(source, lpszTarget, SequenceKind::Jpeg, dwQuality, pParent) {}

void CJpgConvertingDlg::AppendFormatInfo(CString& text) {
    CString quality;
    quality.Format("Quality : %d\n", static_cast<int>(m_dwQuality));
    text += quality;
}

CTifConvertingDlg::CTifConvertingDlg(const ConvertSource& source, LPCTSTR lpszTarget, CWnd* pParent)
    : CSequenceConvertingDlg(source, lpszTarget, SequenceKind::Tiff, 0, pParent) {}

CBmpConvertingDlg::CBmpConvertingDlg(const ConvertSource& source, LPCTSTR lpszTarget, CWnd* pParent)
    : CSequenceConvertingDlg(source, lpszTarget, SequenceKind::Bmp, 0, pParent) {}

void CBmpConvertingDlg::OpenResult() {
    if (CWinApp* app = AfxGetApp())
        app->OpenDocumentFile(GetFramePath(0));
}
