// The save dialog of a conversion ("Conversion"): the target file and type below which a small
// template shows the compressor and quality; "Custom..." picks the AVI compressor (tried before it is
// taken) or the JPEG quality. Each time it opens it shows the defaults "Microsoft Video 1", 'msvc' and
// 10000. Before it closes, the name is checked against what the conversion will really write: the
// movie, or the frame files and information file of a sequence.
#pragma once

#include <string>
#include <vector>

#include "platform/afx/afxwin.h"

class CConvFileSave : public CFileDialog {
    DECLARE_DYNAMIC(CConvFileSave)
public:
    enum {
        IDD = 181,
        IDC_COMPRESSOR_NAME = 1083,
        IDC_QUALITY = 1085,
        IDC_CUSTOM = 1086,
        IDS_CONVERSION = 59412,
    };
    // The entries of the type list, 1-based as the filter index.
    enum { kTypeAvi = 1, kTypeBmp = 2, kTypeTiff = 3, kTypeJpeg = 4 };

    explicit CConvFileSave(CWnd* pParentWnd = nullptr);

    INT_PTR DoModal() override;

    void SetCompressorName(const CString& name) { m_strCompressorName = name; }
    CString& GetCompressorName() { return m_strCompressorName; }
    void SetQuality(DWORD quality) { m_dwQuality = quality; }
    DWORD& GetQuality() { return m_dwQuality; }
    void SetHandler(DWORD handler) { m_dwHandler = handler; }
    DWORD& GetHandler() { return m_dwHandler; }
    // The chosen entry of the type list (kTypeAvi ...).
    int GetFileType() const { return m_nFileType; }
    // The size of the frames to be converted: a compressor that cannot take them is refused when it is
    // chosen, and OK with such a compressor in force (the default one too) keeps the dialog open. 0 x 0
    // (the start) tries only 640 x 480.
    void SetFrameSize(LONG width, LONG height);

    // "Custom..." for an AVI target: the compression-options dialog over a trial movie; a compressor
    // that takes the trial frames becomes the dialog's choice, one that does not is refused with a
    // message. Throws CMovieException when the trial movie cannot be made.
    void TestCompressor();
    // "Custom..." for a JPEG target: the quality dialog, starting at 7500.
    void AskJpegQuality();
    // The compressor name and quality into the template's fields.
    void ShowSettings();

    // The files a conversion to path writes: the movie itself, or for a sequence (".bmp", ".jpg",
    // ".tif" in any case) the frame files base + "%08d" + extension and the information file base +
    // ".txt", base being the file title without a trailing frame number.
    static bool IsSequenceTarget(const CString& path);
    static CString SequenceBase(const CString& path);

protected:
    BOOL OnInitDialog() override;
    void OnTypeChange() override;
    BOOL OnFileNameOK() override;
    void OnCustom();
    DECLARE_MESSAGE_MAP()

private:
    void EnableCustom();
    // TRUE when an open document shows what the conversion to path would write.
    static BOOL IsOutputOpen(const CString& path);
    // The base name of the sequence that frame files named from base open as. It differs from base
    // when base ends in a digit (which joins the frame number) or in "+" or "-" (which becomes its sign).
    static CString OpenedSequenceBase(const CString& base);
    // Asks before files of the target are replaced; FALSE when the user keeps them.
    BOOL ConfirmReplace(const CString& path);
    // Whether the compressor takes frames of the recording's size at that quality, as the conversion
    // opens it; TRUE while the size is not known.
    BOOL TakesRecordingFrames(DWORD handler, DWORD quality) const;

    CString m_strCompressorName = "Microsoft Video 1";
    DWORD m_dwQuality = 10000;
    DWORD m_dwHandler;
    int m_nFileType = kTypeAvi;
    LONG m_nFrameWidth = 0;
    LONG m_nFrameHeight = 0;
    CString m_strTitle;
    BOOL m_bConfirmReplace = FALSE;
};
