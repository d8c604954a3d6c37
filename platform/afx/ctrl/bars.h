// Control bars docked in a frame: the dialog bar (controls from a dialog template). Their buttons'
// commands go to the owning frame and are routed like menu commands; at idle time the frame updates
// them, and a button whose command nobody handles is disabled.
#pragma once

#include "platform/afx/ctrl/controls.h"

class QToolBar;
class CFrameWnd;

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);
    BOOL IsVisible() const;
    // Commands of the bar's controls go on to the owner (the frame).
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    DWORD GetBarStyle() const { return m_dwBarStyle; }
    void SetBarStyle(DWORD dwStyle) { m_dwBarStyle = dwStyle; }
    // The edges (CBRS_ALIGN_* bits) this bar may be docked at by the user; 0 keeps it where it is.
    void EnableDocking(DWORD dwDockStyle);
    DWORD GetDockStyle() const { return m_dwDockStyle; }

    ~CControlBar() override;

    QToolBar* m_pDockHost = nullptr; // the strip the bar docks in, owned by the frame's window
    CFrameWnd* m_pDockSite = nullptr;
    DWORD m_dwBarStyle = 0;
    DWORD m_dwDockStyle = CBRS_ALIGN_ANY;
};

class CDialogBar : public CControlBar {
    DECLARE_DYNAMIC(CDialogBar)
public:
    CDialogBar();
    ~CDialogBar() override;
    virtual BOOL Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID);

protected:
    std::vector<std::unique_ptr<CWnd>> m_controls;
};

#define ID_SEPARATOR 0
#define ID_INDICATOR_CAPS 0xE701
#define ID_INDICATOR_NUM 0xE702
#define ID_INDICATOR_SCRL 0xE703
#define TBSTYLE_FLAT 0x0800u
#define CBRS_GRIPPER 0x00400000u
#define CBRS_TOOLTIPS 0x0010u
#define CBRS_FLYBY 0x0020u
#define TBBS_BUTTON 0x0000u
#define TBBS_SEPARATOR 0x0001u
#define TBBS_CHECKBOX 0x0002u

class QStatusBar;
class QLabel;
class QAction;

// The status bar: a message pane and indicator panes.
class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    ~CStatusBar() override;
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                        UINT nID = AFX_IDW_STATUS_BAR);
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    CString GetPaneText(int nIndex) const;
    int GetCount() const { return static_cast<int>(m_panes.size()); }
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

private:
    std::vector<std::pair<UINT, QLabel*>> m_panes;
};

// A toolbar of command buttons (ids may be renumbered), updated at idle time like the other bars.
class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    ~CToolBar() override;
    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                          DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                          CRect rcBorders = CRect(0, 0, 0, 0), UINT nID = AFX_IDW_TOOLBAR);
    // The buttons registered under the id (see resources.h); bitmaps of the same id give their icons.
    BOOL LoadToolBar(UINT nIDResource);
    UINT GetItemID(int nIndex) const;
    int CommandToIndex(UINT nIDFind) const;
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    int GetCount() const { return static_cast<int>(m_buttons.size()); }
    // Presses a button as the user would.
    void PressButton(int nIndex);
    BOOL IsButtonEnabled(int nIndex) const;
    BOOL IsButtonChecked(int nIndex) const;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

private:
    std::vector<std::pair<UINT, QAction*>> m_buttons;
};
