#include "KivIc/Conversion/AviConvertingDlg.h"

#include "KivIc/Conversion/CompressOptionsDlg.h"
#include "KivIc/Conversion/FrameCompressor.h"

CAviConvertingDlg::CAviConvertingDlg(const ConvertSource& source, LPCTSTR lpszTarget, DWORD fccHandler,
                                     DWORD dwQuality, LPCTSTR lpszCompressorName, CWnd* pParent)
    : CConvertingDlg(source, lpszTarget, pParent), m_fccHandler(fccHandler), m_dwQuality(dwQuality),
      m_strCompressorName(lpszCompressorName != nullptr ? lpszCompressorName : "") {}

BOOL CAviConvertingDlg::OpenOutput() {
    AviOutputSettings settings;
    settings.target = m_strTarget.GetString();
    settings.width = m_source.width;
    settings.height = m_source.height;
    settings.handler = m_fccHandler;
    settings.quality = m_dwQuality;
    CString text;
    BuildInfoText(text);
    settings.infoText = text.GetString();
    m_pOutput = std::make_unique<CAviOutput>(settings);
    std::string error;
    if (!m_pOutput->Open(&error)) {
        m_strError = error.c_str();
        m_pOutput.reset();
        return FALSE;
    }
    return TRUE;
}

BOOL CAviConvertingDlg::CloseOutput(Outcome outcome) {
    if (!m_pOutput)
        return TRUE;
    std::string error;
    // A cancelled movie keeps the frames written so far; a failed one is removed, and so is one
    // cancelled before its first frame: an empty movie would take the place of an earlier one.
    const bool keep = outcome == Outcome::Complete || (outcome == Outcome::Cancelled && m_nWritten > 0);
    const bool ok = m_pOutput->Close(keep, &error);
    m_pOutput.reset();
    if (!ok)
        m_strError = error.c_str();
    return ok ? TRUE : FALSE;
}

void CAviConvertingDlg::OpenResult() {
    if (CWinApp* app = AfxGetApp())
        app->OpenDocumentFile(m_strTarget);
}

void CAviConvertingDlg::AppendFormatInfo(CString& text) {
    const CString described = CompressorDescription(m_fccHandler);
    const CString name = described.IsEmpty() ? m_strCompressorName : described;
    text += "Video codec : " + name + "\n";
    text += CString("FCC HANDLER : ") + CFrameCompressor::HandlerText(m_fccHandler).c_str() + "\n";
    CString quality;
    quality.Format("Quality : %d\n", static_cast<int>(m_dwQuality));
    text += quality;
}
