#include "platform/afx/frame/frame.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/afx/afxwin.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopupMessage)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateMessage)
ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
END_MESSAGE_MAP()

CFrameWnd* CWnd::GetParentFrame() const {
    for (CWnd* wnd = GetParent(); wnd != nullptr; wnd = wnd->GetParent()) {
        if (wnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            return static_cast<CFrameWnd*>(wnd);
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const {
    CFrameWnd* frame = IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(const_cast<CWnd*>(this))
                                                          : GetParentFrame();
    while (frame != nullptr && frame->GetParentFrame() != nullptr)
        frame = frame->GetParentFrame();
    return frame;
}

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() {
    if (GetSafeHwnd() != nullptr)
        CWnd::DestroyWindow();
    for (CControlBar* bar : m_listControlBars)
        bar->m_pDockSite = nullptr;
    delete m_pMenuDefault;
}

QWidget* CFrameWnd::MakeWidget() {
    auto* window = new QMainWindow;
    m_pClientHost = new QWidget;
    m_pClientLayout = new QVBoxLayout(m_pClientHost);
    m_pClientLayout->setContentsMargins(0, 0, 0, 0);
    m_pClientLayout->setSpacing(0);
    window->setCentralWidget(m_pClientHost);
    return window;
}

QMainWindow* CFrameWnd::GetMainWindow() const {
    return qobject_cast<QMainWindow*>(GetWidget());
}

QWidget* CFrameWnd::GetClientWidget() const {
    return m_pClientHost != nullptr ? m_pClientHost : GetWidget();
}

void CFrameWnd::AddChildWidget(CWnd* pChild) {
    if (pChild->IsKindOf(RUNTIME_CLASS(CControlBar))) {
        m_listControlBars.push_back(static_cast<CControlBar*>(pChild));
        static_cast<CControlBar*>(pChild)->m_pDockSite = this;
        if (pChild->IsKindOf(RUNTIME_CLASS(CStatusBar)) && GetMainWindow() != nullptr) {
            GetMainWindow()->setStatusBar(qobject_cast<QStatusBar*>(pChild->GetWidget()));
            return;
        }
        auto* bar = static_cast<CControlBar*>(pChild);
        DockControlBarWidget(bar, bar->GetBarStyle() & CBRS_ALIGN_ANY);
        return;
    }
    CWnd::AddChildWidget(pChild);
    if (m_pClientLayout != nullptr && pChild->GetWidget()->parentWidget() == m_pClientHost)
        m_pClientLayout->addWidget(pChild->GetWidget());
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                          CCreateContext* pContext) {
    m_nIDHelp = nIDResource;
    CString strings;
    AfxLoadString(nIDResource, strings);
    const int nl = strings.Find('\n');
    m_strTitle = nl >= 0 ? strings.Left(nl) : strings;
    if (!Create(nullptr, m_strTitle, dwDefaultStyle, CRect(0, 0, 0, 0), pParentWnd, 0, pContext))
        return FALSE;
    // The icon of the frame's resource id, when the program registered one.
    if (HICON icon = AfxIconHandle(nIDResource))
        SetIcon(icon, TRUE);
    if (AfxFindMenu(nIDResource) != nullptr && m_pMenuDefault == nullptr) {
        m_pMenuDefault = new CMenu;
        m_pMenuDefault->LoadMenu(nIDResource);
        SetMenu(m_pMenuDefault);
    }
    return TRUE;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    CREATESTRUCT cs{};
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpCreateParams = pContext;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    if (!PreCreateWindow(cs))
        return FALSE;
    if (lpszWindowName != nullptr)
        m_strTitle = lpszWindowName;
    QWidget* widget = MakeWidget();
    widget->setWindowTitle(QString::fromUtf8(m_strTitle.GetString()));
    if (cs.cx > 0 && cs.cy > 0)
        widget->resize(cs.cx, cs.cy);
    else if (!IsMDIChild())
        widget->resize(800, 600);
    if (!AttachWidget(widget, pParentWnd, nID, static_cast<DWORD>(cs.style), false)) {
        delete widget;
        return FALSE;
    }
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs) {
    auto* context = lpcs != nullptr ? static_cast<CCreateContext*>(lpcs->lpCreateParams) : nullptr;
    if (!OnCreateClient(lpcs, context))
        return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
    if (pContext != nullptr && pContext->m_pNewViewClass != nullptr) {
        if (CreateView(pContext, AFX_IDW_PANE_FIRST) == nullptr)
            return FALSE;
    }
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
    auto* view = static_cast<CWnd*>(pContext->m_pNewViewClass->CreateObject());
    if (view == nullptr)
        return nullptr;
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, CRect(0, 0, 0, 0),
                      this, nID, pContext)) {
        // A view whose creation failed after its window existed deleted itself with the window.
        return nullptr;
    }
    return view;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible) {
    if (GetActiveView() == nullptr) {
        CWnd* pane = GetDlgItem(AFX_IDW_PANE_FIRST);
        if (pane != nullptr && pane->IsKindOf(RUNTIME_CLASS(CView)))
            SetActiveView(static_cast<CView*>(pane), FALSE);
    }
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    (void)pDoc;
    if (bMakeVisible) {
        ShowWindow(SW_SHOW);
        if (CView* view = GetActiveView())
            view->OnActivateView(TRUE, view, view);
    }
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify) {
    CView* old = m_pViewActive;
    if (pViewNew == old)
        return;
    m_pViewActive = pViewNew;
    if (bNotify) {
        if (old != nullptr)
            old->OnActivateView(FALSE, pViewNew, old);
        if (pViewNew != nullptr)
            pViewNew->OnActivateView(TRUE, pViewNew, old);
    }
}

CDocument* CFrameWnd::GetActiveDocument() {
    CView* view = GetActiveView();
    return view != nullptr ? view->GetDocument() : nullptr;
}

void CFrameWnd::OnUpdateFrameTitle(BOOL) {
    CString title = m_strTitle;
    if (CDocument* doc = GetActiveDocument()) {
        if (!title.IsEmpty())
            title += " - ";
        title += doc->GetTitle();
    }
    if (GetWidget() != nullptr)
        GetWidget()->setWindowTitle(QString::fromUtf8(title.GetString()));
}

void CFrameWnd::RecalcLayout(BOOL) {}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CView* view = GetActiveView()) {
        if (view->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    }
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT nID = LOWORD(wParam);
    const int nCode = HIWORD(wParam);
    (void)lParam;
    if (nID != 0 && nCode == 0) {
        CCmdUI state;
        state.m_nID = nID;
        state.DoUpdate(this, TRUE);
        if (!state.m_bEnabled) {
            TRACE("command %u is disabled, dropped\n", nID);
            return TRUE;
        }
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

void CFrameWnd::PostNcDestroy() {
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
    delete this;
}

void CFrameWnd::OnClose() {
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this) {
        // A document that must not close now keeps the whole program open.
        if (!app->SaveAllModified())
            return;
        app->CloseAllDocuments(FALSE);
        DestroyWindow();
        app->PostQuit();
        return;
    }
    CDocument* doc = GetActiveDocument();
    if (doc != nullptr) {
        if (!doc->CanCloseFrame(this))
            return;
        // The only frame of its document closes the document (which destroys the frame).
        int frames = 0;
        POSITION pos = doc->GetFirstViewPosition();
        while (pos != nullptr) {
            CView* view = doc->GetNextView(pos);
            if (view->GetParentFrame() != this)
                ++frames;
        }
        if (frames == 0) {
            doc->OnCloseDocument();
            return;
        }
        doc->PreCloseFrame(this);
    }
    DestroyWindow();
}

LRESULT CFrameWnd::OnInitMenuPopupMessage(WPARAM wParam, LPARAM) {
    OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)), 0, FALSE);
    return 0;
}

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL) {
    if (pPopupMenu == nullptr)
        return;
    // An update handler may add items (the recent files); it leaves m_nIndex on the last one it made.
    for (UINT i = 0; i < pPopupMenu->GetMenuItemCount(); ++i) {
        const UINT id = pPopupMenu->GetMenuItemID(static_cast<int>(i));
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;
        CCmdUI state;
        state.m_pMenu = pPopupMenu;
        state.m_nIndex = i;
        state.m_nID = id;
        state.DoUpdate(this, m_bAutoMenuEnable);
        i = state.m_nIndex;
    }
}

LRESULT CFrameWnd::OnIdleUpdateMessage(WPARAM, LPARAM) {
    OnIdleUpdateCmdUI();
    return 0;
}

void CFrameWnd::OnIdleUpdateCmdUI() {
    std::vector<CControlBar*> bars = m_listControlBars;
    for (CControlBar* bar : bars) {
        if (bar->GetSafeHwnd() != nullptr)
            bar->OnUpdateCmdUI(this, TRUE);
    }
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) {
    for (CControlBar* bar : m_listControlBars) {
        if (static_cast<UINT>(bar->GetDlgCtrlID()) == nID)
            return bar;
    }
    return nullptr;
}

void CFrameWnd::SetMessageText(LPCTSTR lpszText) {
    for (CControlBar* bar : m_listControlBars) {
        if (bar->IsKindOf(RUNTIME_CLASS(CStatusBar))) {
            static_cast<CStatusBar*>(bar)->SetPaneText(0, lpszText);
            return;
        }
    }
    CFrameWnd* top = GetTopLevelFrame();
    if (top != nullptr && top != this)
        top->SetMessageText(lpszText);
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
    if (wParam != 0)
        SetMessageText(AfxCommandStatusText(static_cast<UINT>(wParam)));
    else
        SetMessageText(reinterpret_cast<LPCTSTR>(lParam));
    return 0;
}

BOOL CFrameWnd::SetMenu(CMenu* pMenu) {
    CWnd::SetMenu(pMenu);
    if (pMenu != nullptr)
        pMenu->SetOwnerWnd(this);
    RebuildMenuBar();
    return TRUE;
}

void CFrameWnd::RebuildMenuBar() {
    QMainWindow* window = GetMainWindow();
    if (window == nullptr)
        return;
    QMenuBar* bar = window->menuBar();
    bar->clear();
    CMenu* menu = GetMenu();
    if (menu == nullptr)
        return;
    for (UINT i = 0; i < menu->GetMenuItemCount(); ++i) {
        if (CMenu* sub = menu->GetSubMenu(static_cast<int>(i)))
            bar->addMenu(sub->GetQMenu());
    }
}
