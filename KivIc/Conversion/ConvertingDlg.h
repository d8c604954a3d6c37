// The converting dialog: converts the frames of a play range into a target file with progress and
// Cancel. The frames run on the frame worker pool (each worker with its own converter and writer); this
// window, on the UI thread, only shows the progress, handles the waiting messages and passes Cancel on.
// On success it writes the information text beside the target (base name + ".txt") and opens the
// result. A failure is shown naming the file and the cause; then no information text is written and
// nothing is opened, a movie leaves nothing behind (an earlier file of its name stays), and a sequence
// keeps the frame files 0..k-1 written before the frame k that failed. Cancel keeps the frames written
// so far of either.
//
// The four formats derive from it: CAviConvertingDlg, CJpgConvertingDlg, CTifConvertingDlg and
// CBmpConvertingDlg.
#pragma once

#include <memory>
#include <string>

#include "KivIc/Conversion/ConvertProgressDlg.h"
#include "KivIc/Conversion/FrameJob.h"

// What a conversion reads from its document.
struct ConvertSource {
    long first = 0;      // play begin
    long last = -1;      // play end
    CString information; // the document's information text
    LONG width = 0;      // picture size of a converted frame
    LONG height = 0;
    DWORD frameBytes = 0;                // bytes of one packed frame bitmap
    FrameConverterFactory makeConverter; // one converter per worker
};

class CConvertingDlg : public CConvertProgressDlg {
public:
    // How a run ended: every frame written, cancelled (the frames written so far stay), or failed.
    enum class Outcome { Complete, Cancelled, Failed };

    CConvertingDlg(const ConvertSource& source, LPCTSTR lpszTarget, CWnd* pParent);
    ~CConvertingDlg() override;

    // Base name + the index printed with "%08d" + the target's extension (no folder).
    virtual CString MakeFrameFileName(long index);
    // Shows the progress, converts every frame, closes the output; on success writes the information
    // file. TRUE when the conversion ran to its end and everything was written.
    virtual BOOL Run();
    // Makes the target ready for the frames; FALSE with the cause in m_strError.
    virtual BOOL OpenOutput() = 0;
    // Finishes the target after a run that ended as `outcome`; FALSE with the cause in m_strError.
    virtual BOOL CloseOutput(Outcome outcome) = 0;
    // Opens what was written as a document (when the format has one).
    virtual void OpenResult() = 0;
    // Writes the information text into base name + ".txt" beside the target, lines ending in CR LF.
    virtual BOOL WriteInfoFile();
    // The format's own lines of the information text.
    virtual void AppendFormatInfo(CString& text);
    virtual void BuildInfoText(CString& text);

    BOOL IsRunning() const { return m_bRunning; }

    // The full path of frame file `index` and of the information file.
    CString GetFramePath(long index) const;
    CString GetInfoFilePath() const;
    const CString& GetBaseName() const { return m_strBaseName; }
    const CString& GetTargetPath() const { return m_strTarget; }
    // The message of the last failure ("" when none).
    const CString& GetErrorText() const { return m_strError; }
    // Frames written by the last run.
    long GetWrittenFrames() const { return m_nWritten; }

    // Workers of later conversions: 0 (the start value) for one per processor.
    static void SetWorkerCount(int workers);
    static int GetWorkerCount();

protected:
    // The target of the frames, made by OpenOutput.
    virtual IFrameOutput* GetOutput() = 0;
    // Shows a failure: the message box and m_strError.
    void Fail(const CString& text);
    void BringToFront();
    // The remaining-time line from the time `elapsed` (ms) that `done` frames took; nothing before
    // the first frame is done. The shown time never rises during a run.
    void ShowRemainingTime(DWORD elapsed, long done, long remaining);

    ConvertSource m_source;
    CString m_strTarget;
    CString m_strDrive;
    CString m_strDir;
    CString m_strFileName;
    CString m_strExt;
    CString m_strBaseName;
    CString m_strError;
    long m_nWritten = 0;
    BOOL m_bRunning = FALSE;
    long m_nShownSeconds = -1;
};
