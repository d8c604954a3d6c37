// A window: a Qt widget driven through numbered messages. Qt's events arrive as the matching window
// messages (mouse, wheel, size, paint, focus, keys, close) and go through the message maps; windows
// that paint themselves draw into a surface image through device contexts, which the widget shows.
#pragma once

#include <memory>

#include <QImage>

#include "platform/afx/wnd/cmdtarget.h"

class QWidget;
class QScrollBar;
class CDC;
class CMenu;
class CFrameWnd;
class CDataExchange;
struct CCreateContext;

namespace kivic::afx {
class WndEvents;
}

class CScrollBar;

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    QWidget* GetWidget() const { return m_pWidget; }
    // The live window behind a handle, or null.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd) { return FromHandle(hWnd); }
    static CWnd* FromWidget(const QWidget* widget);

    // --- Creation and destruction -------------------------------------------------------------------
    // A child (WS_CHILD with a parent) or top-level window that paints itself.
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    virtual BOOL DestroyWindow();
    // Called after the window is gone; windows that live on the heap delete themselves here.
    virtual void PostNcDestroy();
    // Binds a widget made by the caller (controls, frames); the window owns it from now on.
    BOOL AttachWidget(QWidget* widget, CWnd* pParentWnd, UINT nID, DWORD dwStyle, bool customPaint);

    // --- Messages ---------------------------------------------------------------------------------
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default handling of the message being handled now.
    LRESULT Default();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Offers the message to this window and its parents (innermost first) up to pStop.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

    // --- Geometry and state -------------------------------------------------------------------------
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    void ClientToScreen(LPPOINT lpPoint) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindow() const { return m_hWnd != nullptr; }
    virtual void SetWindowText(LPCTSTR lpszString);
    virtual void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    int GetDlgCtrlID() const { return m_nID; }
    int SetDlgCtrlID(int nID);
    CWnd* GetDlgItem(int nID) const;
    void SetDlgItemText(int nID, LPCTSTR lpszString);
    int GetDlgItemText(int nID, CString& rString) const;
    // Sends the message to the child of that id; 0 when there is none.
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
    CWnd* GetParent() const { return m_pParent; }
    CWnd* GetOwner() const { return m_pOwner != nullptr ? m_pOwner : m_pParent; }
    void SetOwner(CWnd* pOwner) { m_pOwner = pOwner; }
    CWnd* GetTopLevelParent() const;
    CFrameWnd* GetParentFrame() const;
    CFrameWnd* GetTopLevelFrame() const;
    // Child windows in creation order.
    const std::vector<CWnd*>& GetChildren() const { return m_children; }
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    // Paints at once what is invalid (into the surface), then shows it.
    void UpdateWindow();
    DWORD GetStyle() const { return m_dwStyle; }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    void BringWindowToTop();
    CMenu* GetMenu() const { return m_pMenu; }
    virtual BOOL SetMenu(CMenu* pMenu);
    void DrawMenuBar() {}
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);
    // The window's big and small icons (see AfxIconHandle); the Qt window icon holds the sizes of
    // both. Returns the icon set before.
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    HICON GetIcon(BOOL bBigIcon) const { return m_hIcon[bBigIcon ? 0 : 1]; }
    // A check state for windows that show one (buttons); others ignore it.
    virtual void SetCheckState(int nCheck);

    // --- Scroll bars ---------------------------------------------------------------------------------
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL) const;
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
    int GetScrollPos(int nBar) const;
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
    void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const;
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE);
    int GetScrollLimit(int nBar) const;
    virtual CScrollBar* GetScrollBarCtrl(int nBar) const;
    // The Qt bar behind SB_HORZ or SB_VERT (null before creation).
    QScrollBar* GetQtScrollBar(int nBar) const;

    // --- Drawing ------------------------------------------------------------------------------------
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    // The image the window paints into (windows that paint themselves).
    QImage* GetSurface();

    // --- Timers and data exchange -----------------------------------------------------------------
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, void* lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    // --- Default handlers -----------------------------------------------------------------------------
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnClose();
    void OnPaint();
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    void OnTimer(UINT_PTR nIDEvent);
    UINT OnGetDlgCode();

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

protected:
    // Windows whose widget is a native control pass unhandled events on to Qt.
    bool m_bCustomPaint = false;
    DWORD m_dwStyle = 0;
    int m_nID = 0;
    CWnd* m_pParent = nullptr;
    CWnd* m_pOwner = nullptr;
    CMenu* m_pMenu = nullptr;

    // Places the widget under the parent's widget; frames override to use their own areas.
    virtual void AddChildWidget(CWnd* pChild);
    // The widget that children are placed in.
    virtual QWidget* GetClientWidget() const;

private:
    friend class kivic::afx::WndEvents;
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    void Register();
    void Unregister();
    void LayoutScrollBars();
    void SyncQtScrollBar(int nBar);
    void PaintNow();
    void OnWidgetDestroyed();
    void OnQtScrollAction(int nBar, int action);

    QWidget* m_pWidget = nullptr;
    kivic::afx::WndEvents* m_pEvents = nullptr;
    std::vector<CWnd*> m_children;
    QImage m_surface;
    bool m_bDirty = true;
    bool m_bErase = true;
    bool m_bPainting = false;
    CSize m_clientSize;
    SCROLLINFO m_scroll[2]{};
    QScrollBar* m_bars[2]{nullptr, nullptr};
    bool m_bBarShown[2]{false, false};
    std::vector<CurrentMessage> m_messageStack;
    std::vector<std::pair<UINT_PTR, int>> m_timers; // id, Qt timer id
    CDC* m_pClientDC = nullptr;
    HICON m_hIcon[2]{nullptr, nullptr}; // big, small
    // Cleared by the destructor: a handler may delete its own window (closing a frame does).
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

class CScrollBar : public CWnd {
    DECLARE_DYNAMIC(CScrollBar)
};

// Messages addressed by handle. SendMessage on the GUI thread calls the window at once; from another
// thread it queues the call to the GUI thread and waits for it (see AfxSendMessageFromWorker).
LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Queues the message for the GUI thread (any thread may post); FALSE when the window is gone.
BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// For worker threads: hands the message to the GUI thread and waits until it was handled or hQuit is
// signalled, whichever comes first. TRUE with the handler's result when it was handled; FALSE when the
// quit event came first (the message is then dropped if it has not started) or the window is gone.
BOOL AfxSendMessageFromWorker(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, HANDLE hQuit,
                              LRESULT* pResult);
// Handles every message and event that is waiting, without blocking (the PeekMessage/DispatchMessage
// loop of long commands).
void AfxPumpMessages();
BOOL IsWindow(HWND hWnd);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetCapture(HWND hWnd);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
BOOL UpdateWindow(HWND hWnd);
// True on the thread that runs the widgets (also when no application object exists).
bool AfxIsGuiThread();
