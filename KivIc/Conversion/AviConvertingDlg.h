// Conversion into an AVI movie: 30 frames per second, every frame compressed by the chosen compressor
// and a key frame, the information text in the stream's 'txts' chunk. The movie replaces the target
// only once it is finished; a cancelled run keeps the frames written so far.
#pragma once

#include "KivIc/Conversion/AviOutput.h"
#include "KivIc/Conversion/ConvertingDlg.h"

class CAviConvertingDlg : public CConvertingDlg {
public:
    CAviConvertingDlg(const ConvertSource& source, LPCTSTR lpszTarget, DWORD fccHandler, DWORD dwQuality,
                      LPCTSTR lpszCompressorName, CWnd* pParent);

    BOOL OpenOutput() override;
    BOOL CloseOutput(Outcome outcome) override;
    void OpenResult() override;
    // "Video codec", "FCC HANDLER" and "Quality" lines. The codec is named from the compressor table by
    // its handler, so the text names the compressor that wrote the frames.
    void AppendFormatInfo(CString& text) override;

protected:
    IFrameOutput* GetOutput() override { return m_pOutput.get(); }

    DWORD m_fccHandler;
    DWORD m_dwQuality;
    CString m_strCompressorName;
    std::unique_ptr<CAviOutput> m_pOutput;
};
