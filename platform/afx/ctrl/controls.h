// Controls of dialogs and bars on Qt widgets: buttons (push, check, radio, group box), edits, static
// texts, drop-down lists, up-down controls, sliders. They tell their parent what happened with
// WM_COMMAND notifications carrying their current id (sliders and up-down controls with scroll
// messages).
#pragma once

#include <memory>
#include <vector>

#include "platform/afx/wnd/resources.h"
#include "platform/afx/wnd/wnd.h"

#define ES_MULTILINE 0x0004u
#define ES_READONLY 0x0800u
#define ES_AUTOHSCROLL 0x0080u
#define BS_PUSHBUTTON 0x0000u
#define BS_DEFPUSHBUTTON 0x0001u
#define BS_AUTOCHECKBOX 0x0003u
#define BS_GROUPBOX 0x0007u
#define BS_AUTORADIOBUTTON 0x0009u
#define BST_UNCHECKED 0
#define BST_CHECKED 1
// The first control of a group (radio buttons up to the next control with this style).
#define WS_GROUP 0x00020000u
#define CBS_DROPDOWNLIST 0x0003u
#define CB_ERR (-1)
#define CBN_SELCHANGE 1
// The up-down control takes the control made just before it as its buddy.
#define UDS_AUTOBUDDY 0x0010u

// Slider styles: ticks below a horizontal slider (right of a vertical one) unless TBS_TOP, TBS_BOTH
// or TBS_NOTICKS; TBS_AUTOTICKS puts one at every tick-frequency step, else only the two ends have one.
#define TBS_AUTOTICKS 0x0001u
#define TBS_HORZ 0x0000u
#define TBS_VERT 0x0002u
#define TBS_TOP 0x0004u
#define TBS_BOTH 0x0008u
#define TBS_NOTICKS 0x0010u
// Request codes of a slider's WM_HSCROLL / WM_VSCROLL (low word of wParam).
#define TB_LINEUP 0
#define TB_LINEDOWN 1
#define TB_PAGEUP 2
#define TB_PAGEDOWN 3
#define TB_THUMBPOSITION 4
#define TB_THUMBTRACK 5
#define TB_TOP 6
#define TB_BOTTOM 7
#define TB_ENDTRACK 8

#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)

class CDataExchange;

// Push buttons, check boxes, radio buttons and group boxes. An automatic radio button that the user
// clicks becomes checked and clears the other radio buttons of its group.
class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL IsRadioButton() const;
    int GetCheck() const;
    void SetCheck(int nCheck);
    void SetCheckState(int nCheck) override { SetCheck(nCheck); }
    void SetWindowText(LPCTSTR lpszString) override;
    void GetWindowText(CString& rString) const override;
    // Presses the button as the user would (disabled buttons do nothing).
    void Click();
};

class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // Multi-line edits keep CR LF between lines, as the system's edit control does.
    void SetWindowText(LPCTSTR lpszString) override;
    void GetWindowText(CString& rString) const override;
    void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
    void SetReadOnly(BOOL bReadOnly = TRUE);
    // Lines shown (multi-line edits; 1 otherwise).
    int GetLineCount() const;

protected:
    void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()
    bool m_bMultiLine = false;
};

class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetWindowText(LPCTSTR lpszString) override;
    void GetWindowText(CString& rString) const override;
};

// A drop-down list of texts; the selection is an index, CB_ERR when nothing is chosen. A change of the
// selection by the user (not by the program) sends CBN_SELCHANGE.
class CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)
public:
    // The rectangle includes the dropped list; the closed box keeps its natural height.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // Appends the text; its index, or CB_ERR without a window.
    int AddString(LPCTSTR lpszString);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    // Selects the entry; the index, or CB_ERR (and no selection) for -1 or an index out of range.
    int SetCurSel(int nSelect);
    // The entry's text; its length, or CB_ERR (and an empty text) when out of range.
    int GetLBText(int nIndex, CString& rString) const;
    // The text of the selected entry.
    void GetWindowText(CString& rString) const override;

private:
    bool m_bQuiet = false;
};

// An up-down control: arrows that step a position within a range and write it into the buddy field.
class CSpinButtonCtrl : public CWnd {
    DECLARE_DYNAMIC(CSpinButtonCtrl)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetRange(short nLower, short nUpper) { SetRange32(nLower, nUpper); }
    void SetRange32(int nLower, int nUpper);
    void GetRange32(int& lower, int& upper) const;
    int SetPos(int nPos);
    int GetPos() const { return m_nPos; }
    CWnd* SetBuddy(CWnd* pWndBuddy);
    CWnd* GetBuddy() const { return m_pBuddy; }
    // One step up (positive) or down, as a click on an arrow.
    void Step(int nDelta);

private:
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
    CWnd* m_pBuddy = nullptr;
};

// A slider (track bar) that picks a position within a range. What the user does is sent to the parent
// as WM_HSCROLL (WM_VSCROLL for TBS_VERT) with a TB_ code and the slider's handle in lParam; the
// position travels in the high word for TB_THUMBTRACK and TB_THUMBPOSITION, and GetPos already holds
// the new position when the message arrives. A drag sends TB_THUMBTRACK while the thumb moves and
// TB_THUMBPOSITION on its release; every finished move ends with TB_ENDTRACK. What the program sets is
// never reported.
class CSliderCtrl : public CWnd {
    DECLARE_DYNAMIC(CSliderCtrl)
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // An upper end below the lower one leaves the lower end as the only position. The position is
    // moved into the new range.
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
    void SetRangeMin(int nMin, BOOL bRedraw = FALSE) { SetRange(nMin, m_nMax, bRedraw); }
    void SetRangeMax(int nMax, BOOL bRedraw = FALSE) { SetRange(m_nMin, nMax, bRedraw); }
    void GetRange(int& nMin, int& nMax) const;
    int GetRangeMin() const { return m_nMin; }
    int GetRangeMax() const { return m_nMax; }
    // A position outside the range is clamped to it.
    void SetPos(int nPos);
    int GetPos() const { return m_nPos; }
    // Tick marks every nFreq positions from the lower end (TBS_AUTOTICKS); nFreq < 1 counts as 1.
    void SetTicFreq(int nFreq);
    // The number of tick marks, both ends included; 0 with TBS_NOTICKS.
    UINT GetNumTics() const;
    // The step of a click beside the thumb or Page Up/Down; one fifth of the range until set. Each
    // returns the previous size.
    int SetPageSize(int nSize);
    int GetPageSize() const;
    // The step of an arrow key; 1 until set.
    int SetLineSize(int nSize);
    int GetLineSize() const { return m_nLine; }

private:
    void SyncWidget();
    void OnUserAction(int action);
    // The code, then TB_ENDTRACK.
    void Report(int code);
    void ReportOne(int code);

    DWORD m_dwStyle = 0;
    int m_nMin = 0;
    int m_nMax = 100;
    int m_nPos = 0;
    int m_nTicFreq = 1;
    int m_nPage = 0; // 0: one fifth of the range
    int m_nLine = 1;
    bool m_bQuiet = false;
};

// The position of the slider nIDC.
void DDX_Slider(CDataExchange* pDX, int nIDC, int& value);

// A button drawn from four bitmaps: up, selected (pressed), focused and disabled.
class CBitmapButton : public CButton {
    DECLARE_DYNAMIC(CBitmapButton)
public:
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    // Bitmap resource ids; 0 leaves a face out (the up face stands in for it).
    BOOL LoadBitmaps(UINT nIDBitmapResource, UINT nIDBitmapResourceSel = 0, UINT nIDBitmapResourceFocus = 0,
                     UINT nIDBitmapResourceDisabled = 0);
    void SizeToContent();
    // Shows the icon of a command (AfxRegisterIcon) on the button instead of its text, which becomes
    // the tool tip; FALSE (the text stays) when the id has no icon.
    BOOL SetCommandIcon(UINT nID);
    // Replaces a dialog's button of this id by a bitmap button in the same place.
    BOOL AutoLoad(UINT nID, CWnd* pParent, UINT up, UINT sel, UINT focus, UINT disabled);
};

// The radio buttons of the group that pCtrl belongs to, in creation order: from the nearest sibling at
// or before it with WS_GROUP up to the next sibling with WS_GROUP. Empty when pCtrl has no parent.
std::vector<CButton*> AfxGetRadioGroup(CWnd* pCtrl);

// Makes the controls of a dialog template as children of pParent; the list owns them.
void AfxCreateDialogControls(CWnd* pParent, const AFX_DLG_TEMPLATE& dialog,
                             std::vector<std::unique_ptr<CWnd>>& owned);
