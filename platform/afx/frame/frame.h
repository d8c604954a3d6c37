// Frame windows: the frame of a view (routing commands view -> document -> frame -> application),
// the MDI main frame with its child-window area, and the MDI child frame.
#pragma once

#include <vector>

#include "platform/afx/doc/view.h"

class QMainWindow;
class QMdiArea;
class QMdiSubWindow;
class QVBoxLayout;
class CControlBar;
class CMDIChildWnd;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual CView* GetActiveView() const { return m_pViewActive; }
    virtual void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    virtual CFrameWnd* GetActiveFrame() { return this; }
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    virtual BOOL IsMDIChild() const { return FALSE; }

    // Active view (and through it the document), the frame itself, then the application.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // A command whose user-interface state is disabled is dropped, however it was sent.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;
    // Brings the menu's items up to date (enable, check) before it opens.
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    // Updates the control bars' buttons (idle time).
    void OnIdleUpdateCmdUI();
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    CControlBar* GetControlBar(UINT nID);
    // Control bars dock at the frame's edges as movable strips, which the user may drag to another
    // edge that both allow, or out of the frame to float.
    // The edges (CBRS_ALIGN_* bits) at which this frame takes bars; all four until said otherwise.
    void EnableDocking(DWORD dwDockStyle);
    DWORD GetDockingEdges() const { return m_dwDockStyle; }
    // Docks the bar at an edge (AFX_IDW_DOCKBAR_TOP/BOTTOM/LEFT/RIGHT), after the bars already there;
    // 0 takes the edge its bar style names.
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0);
    // The same by one CBRS_ALIGN_* bit.
    virtual void DockControlBarWidget(CControlBar* pBar, DWORD dwAlign);
    // The edge (one CBRS_ALIGN_* bit) where the bar docks now; 0 when it floats or is no docked bar.
    DWORD GetControlBarSide(CControlBar* pBar) const;
    // Edge, order, floating and visibility of every bar with an id, kept in the framework's profile
    // under the given name and restored from it (bars made after the restore keep their places).
    void SaveBarState(LPCTSTR lpszProfileName) const;
    void LoadBarState(LPCTSTR lpszProfileName);
    // The status bar's message pane (a frame without one passes the text to its top-level frame).
    void SetMessageText(LPCTSTR lpszText);
    BOOL SetMenu(CMenu* pMenu) override;

    BOOL m_bAutoMenuEnable = TRUE;
    UINT m_nIDHelp = 0;
    CString m_strTitle;
    std::vector<CControlBar*> m_listControlBars;

protected:
    // The Qt main window of a top-level frame (null for MDI children).
    QMainWindow* GetMainWindow() const;
    QWidget* GetClientWidget() const override;
    void AddChildWidget(CWnd* pChild) override;
    virtual QWidget* MakeWidget();
    void RebuildMenuBar();
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnClose();
    LRESULT OnInitMenuPopupMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateMessage(WPARAM, LPARAM);
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CView* m_pViewActive = nullptr;
    QWidget* m_pClientHost = nullptr;
    QVBoxLayout* m_pClientLayout = nullptr;
    CMenu* m_pMenuDefault = nullptr; // the frame's own menu (owned)
    DWORD m_dwDockStyle = CBRS_ALIGN_ANY;
};

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    CMDIFrameWnd();
    ~CMDIFrameWnd() override;

    // The active child as the user last chose it; losing the focus to a dialog or another program does
    // not change it.
    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = nullptr) const;
    void MDIActivate(CWnd* pWndActivate);
    void MDITile(int nType = 0);
    void MDICascade();
    void MDINext();
    QMdiArea* GetMdiArea() const { return m_pMdiArea; }
    CFrameWnd* GetActiveFrame() override;
    // The active child's route (view, document, child frame, application), then this frame.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    // Called by the child-window area: a child became active (never null while children remain).
    void OnMdiChildActivated(CMDIChildWnd* pChild);
    // A child frame is going away.
    void OnMdiChildDestroying(CMDIChildWnd* pChild);
    // The menu bar shows the active child's menu, or the frame's own without children.
    void UpdateMenuForActiveChild();

protected:
    QWidget* MakeWidget() override;
    void OnWindowTile();
    void OnWindowCascade();
    // The popup that holds Tile or Cascade lists the children at its end ("&1 title", ...), the
    // active one checked; choosing one activates it.
    LRESULT OnInitMenuPopupMdi(WPARAM wParam, LPARAM lParam);
    void ListChildrenInWindowMenu(CMenu* pPopup);
    // The children in the order they were opened, as the Window popup lists them.
    std::vector<CMDIChildWnd*> ListedChildren() const;
    // Gives the active child the active title bar where the child-window area still shows another.
    void ShowActiveChildActive();
    DECLARE_MESSAGE_MAP()

    QMdiArea* m_pMdiArea = nullptr;
    CMDIChildWnd* m_pActiveChild = nullptr;
    HWND m_hActiveChild = nullptr; // tells a live active child from one whose window is gone
};

class CMDIChildWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    CMDIChildWnd();
    ~CMDIChildWnd() override;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;
    BOOL DestroyWindow() override;
    CMDIFrameWnd* GetMDIFrame() const { return m_pMDIFrame; }
    void MDIActivate();
    void MDIDestroy() { DestroyWindow(); }
    BOOL IsMDIChild() const override { return TRUE; }
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible) override;
    QMdiSubWindow* GetSubWindow() const;

    CMenu* m_pMenuShared = nullptr; // the template's menu, shown while this child is active

protected:
    // The framework's activation: the active view learns it was (de)activated.
    void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);
    DECLARE_MESSAGE_MAP()

    CMDIFrameWnd* m_pMDIFrame = nullptr;
};
