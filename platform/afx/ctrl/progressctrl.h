// A progress bar: a position within a range, shown as the filled part of a bar. It is driven through
// its PBM_ messages (sent to its handle, e.g. with SendDlgItemMessage) or the same calls on the
// object; the user cannot change it, so it never notifies its parent.
#pragma once

#include "platform/afx/wnd/wnd.h"

// Styles: a bar that fills from the bottom (PBS_VERTICAL); PBS_SMOOTH is accepted, the bar is always
// drawn smooth.
#define PBS_SMOOTH 0x01u
#define PBS_VERTICAL 0x04u

// Messages. PBM_SETRANGE takes the ends as the 16-bit halves of lParam; every setter returns what was
// there before (a range as MAKELONG(lower, upper), cut to 16 bits each).
#define PBM_SETRANGE (WM_USER + 1)
#define PBM_SETPOS (WM_USER + 2)
#define PBM_DELTAPOS (WM_USER + 3)
#define PBM_SETSTEP (WM_USER + 4)
#define PBM_STEPIT (WM_USER + 5)
#define PBM_SETRANGE32 (WM_USER + 6)
#define PBM_GETRANGE (WM_USER + 7)
#define PBM_GETPOS (WM_USER + 8)

// The two ends as PBM_GETRANGE fills them in.
struct PBRANGE {
    int iLow;
    int iHigh;
};
using PPBRANGE = PBRANGE*;

class CProgressCtrl : public CWnd {
    DECLARE_DYNAMIC(CProgressCtrl)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // An upper end below the lower one leaves the lower end as the only position; the position is
    // moved into the new range. Until set the range is 0..100.
    void SetRange(short nLower, short nUpper) { SetRange32(nLower, nUpper); }
    void SetRange32(int nLower, int nUpper);
    void GetRange(int& nLower, int& nUpper) const;
    int GetPos() const { return m_nPos; }
    // A position outside the range is clamped to it. Each returns the position before.
    int SetPos(int nPos);
    int OffsetPos(int nPos);
    // The increment of StepIt (10 until set); returns the one before.
    int SetStep(int nStep);
    // Advances by the step; past the upper end the bar starts again from the lower end (plus what
    // went past it), as a bar that counts in rounds does. Returns the position before.
    int StepIt();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SyncWidget();

    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
    int m_nStep = 10;
};
