// Conversion into a numbered sequence of image files, base name + "%08d" + the target's extension in the
// target's folder, each written by the worker that made the frame. After a complete run the frames of
// an earlier, longer sequence of the same name are removed; a cancelled run leaves exactly the frames
// 0..k that were written in order.
#pragma once

#include "KivIc/Conversion/ConvertingDlg.h"
#include "KivIc/Conversion/SequenceOutput.h"

class CSequenceConvertingDlg : public CConvertingDlg {
public:
    CSequenceConvertingDlg(const ConvertSource& source, LPCTSTR lpszTarget, SequenceKind kind,
                           DWORD dwQuality, CWnd* pParent);

    BOOL OpenOutput() override;
    BOOL CloseOutput(Outcome outcome) override;

protected:
    IFrameOutput* GetOutput() override { return m_pOutput.get(); }

    SequenceKind m_kind;
    DWORD m_dwQuality;
    std::unique_ptr<CSequenceOutput> m_pOutput;
};

// JPEG files at the quality of the compression options' scale (7500 is the codec's 75).
class CJpgConvertingDlg : public CSequenceConvertingDlg {
public:
    CJpgConvertingDlg(const ConvertSource& source, LPCTSTR lpszTarget, DWORD dwQuality, CWnd* pParent);
    // No document type reads JPEG sequences: nothing is opened.
    void OpenResult() override {}
    void AppendFormatInfo(CString& text) override;
};

// 24-bit RGB TIFF files.
class CTifConvertingDlg : public CSequenceConvertingDlg {
public:
    CTifConvertingDlg(const ConvertSource& source, LPCTSTR lpszTarget, CWnd* pParent);
    // No document type reads TIFF sequences: nothing is opened.
    void OpenResult() override {}
};

// 24-bit bitmap files, rows padded to 4 bytes; the sequence is opened from its first file.
class CBmpConvertingDlg : public CSequenceConvertingDlg {
public:
    CBmpConvertingDlg(const ConvertSource& source, LPCTSTR lpszTarget, CWnd* pParent);
    void OpenResult() override;
};
