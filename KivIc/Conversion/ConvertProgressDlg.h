// The progress window of a conversion (dialog 131): remaining frames, remaining time, a progress bar
// and Cancel. It is modeless and has no parent; Cancel sets a flag that the conversion reads between
// frames.
#pragma once

#include "platform/afx/afxwin.h"

class CConvertProgressDlg : public CDialog {
public:
    enum {
        IDD = 131,
        IDC_MESSAGE = 1019,
        IDC_PROGRESS = 1109,
        IDC_REMAIN_FRAMES = 247,
        IDC_REMAIN_TIME = 233,
        IDS_REMAIN_FRAMES = 107, // "The number of remaining frames is %ld."
        IDS_REMAIN_TIME = 108,   // "Remaining time is %ld minutes %ld second."
    };

    CConvertProgressDlg();

    // Keeps caption and message, counts (last - first + 1) / step frames and shows the window.
    void StartProgress(long first, long last, long step, LPCTSTR lpszCaption, LPCTSTR lpszMessage);
    // One frame done: the count and the bar move on, the window is redrawn at once.
    void StepProgress();
    // The remaining-time line (when the window exists).
    void SetTimeText(LPCTSTR lpszText);

    BOOL IsCancelled() const { return m_bCancel; }
    int GetRemaining() const { return m_nRemain; }

protected:
    BOOL OnInitDialog() override;
    // Starts the wait cursor and raises the flag; the window goes.
    void OnCancel() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // The close box is greyed: only Cancel stops a conversion.
    void OnClose();
    DECLARE_MESSAGE_MAP()

    CString RemainText() const;

    int m_nRemain = 0;
    BOOL m_bCancel = FALSE;
    BOOL m_bWaitCursor = FALSE; // started by Cancel, ended when the conversion has stopped
    CString m_strRemain;
    CString m_strMessage;
    CString m_strCaption;
    HICON m_hIcon = nullptr;
};
