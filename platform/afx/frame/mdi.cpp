#include <algorithm>
#include <functional>

#include <QCloseEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/afx/afxwin.h"

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

namespace {

// The close box, the system menu and Ctrl+F4 of a child window all close its Qt sub-window. That close
// becomes the child frame's WM_CLOSE, so the frame decides: it may refuse, or close its document.
class SubWindowCloseFilter : public QObject {
public:
    SubWindowCloseFilter(QMdiSubWindow* sub, HWND hChild) : QObject(sub), m_hChild(hChild) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Close)
            return false;
        event->ignore();
        if (CWnd* child = CWnd::FromHandle(m_hChild))
            child->SendMessage(WM_CLOSE);
        return true;
    }

private:
    HWND m_hChild;
};

// Qt does not let a child window become active while the frame is disabled (a conversion disables it
// while its progress window is up) or inactive, yet the program activates the window it opens then.
// Once the frame takes input again, the child the framework counts as active gets the active title
// bar too, so that a click on another child is a change of the active child again.
class ActivationCatchUp : public QObject {
public:
    ActivationCatchUp(QMdiArea* area, std::function<void()> catchUp)
        : QObject(area), m_catchUp(std::move(catchUp)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange || event->type() == QEvent::WindowActivate)
            QMetaObject::invokeMethod(watched, m_catchUp, Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void()> m_catchUp;
};

// The frame's Ctrl+F4 closes the active child wherever the focus is, so the child's system menu no
// longer takes that key itself (a key with two owners in reach is taken by neither).
void LeaveCtrlF4ToTheFrame(QMdiSubWindow* sub) {
    const QKeySequence ctrlF4(Qt::CTRL | Qt::Key_F4);
    QMenu* menu = sub->systemMenu();
    if (menu == nullptr)
        return;
    for (QAction* action : menu->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeAll(ctrlF4) > 0)
            action->setShortcuts(keys);
    }
}

// The Window popup's list of children: the commands of its items, nine at the most.
constexpr UINT kFirstChildCommand = 0xFF00;
constexpr UINT kListedChildren = 9;

} // namespace

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
ON_COMMAND(ID_WINDOW_TILE_HORZ, OnWindowTile)
ON_COMMAND(ID_WINDOW_CASCADE, OnWindowCascade)
ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopupMdi)
END_MESSAGE_MAP()

CMDIFrameWnd::CMDIFrameWnd() = default;
CMDIFrameWnd::~CMDIFrameWnd() = default;

QWidget* CMDIFrameWnd::MakeWidget() {
    auto* window = new QMainWindow;
    m_pMdiArea = new QMdiArea;
    m_pMdiArea->setBackground(QBrush(QColor(128, 128, 128)));
    window->setCentralWidget(m_pMdiArea);
    // Only a real change of the active child counts: the area reports "none" whenever the whole window
    // loses the focus (to a dialog, for instance), which is not a change of the active child.
    QObject::connect(m_pMdiArea, &QMdiArea::subWindowActivated, m_pMdiArea, [this](QMdiSubWindow* sub) {
        if (sub == nullptr)
            return;
        CWnd* wnd = CWnd::FromWidget(sub->widget());
        if (wnd != nullptr && wnd->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)))
            OnMdiChildActivated(static_cast<CMDIChildWnd*>(wnd));
    });
    m_pMdiArea->installEventFilter(new ActivationCatchUp(m_pMdiArea, [this] { ShowActiveChildActive(); }));
    // Ctrl+F4 closes the active child wherever the focus is in the frame (a bar's field, the list of
    // recordings), as the child's own close box does; inside the child its system menu's Close takes it.
    auto* closeChild = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4), window);
    QObject::connect(closeChild, &QShortcut::activated, window, [this] {
        CMDIChildWnd* active = MDIGetActive();
        if (QMdiSubWindow* sub = active != nullptr ? active->GetSubWindow() : nullptr)
            sub->close();
    });
    m_pClientHost = nullptr;
    return window;
}

void CMDIFrameWnd::ShowActiveChildActive() {
    CMDIChildWnd* active = MDIGetActive();
    QMdiSubWindow* sub = active != nullptr ? active->GetSubWindow() : nullptr;
    if (sub != nullptr && sub->isVisible() && m_pMdiArea->activeSubWindow() != sub)
        m_pMdiArea->setActiveSubWindow(sub);
}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext*) {
    return TRUE;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const {
    // A child whose window went away by any route is no longer active.
    CMDIChildWnd* active = m_pActiveChild != nullptr && CWnd::FromHandle(m_hActiveChild) == m_pActiveChild
                               ? m_pActiveChild
                               : nullptr;
    if (pbMaximized != nullptr) {
        QMdiSubWindow* sub = active != nullptr ? active->GetSubWindow() : nullptr;
        *pbMaximized = sub != nullptr && sub->isMaximized();
    }
    return active;
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame() {
    CMDIChildWnd* child = MDIGetActive();
    return child != nullptr ? static_cast<CFrameWnd*>(child) : this;
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate) {
    if (pWndActivate == nullptr || !pWndActivate->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)))
        return;
    auto* child = static_cast<CMDIChildWnd*>(pWndActivate);
    if (QMdiSubWindow* sub = child->GetSubWindow())
        m_pMdiArea->setActiveSubWindow(sub);
    OnMdiChildActivated(child);
}

void CMDIFrameWnd::OnMdiChildActivated(CMDIChildWnd* pChild) {
    if (pChild == MDIGetActive() || pChild->GetSafeHwnd() == nullptr)
        return;
    CMDIChildWnd* old = MDIGetActive();
    m_pActiveChild = pChild;
    m_hActiveChild = pChild->GetSafeHwnd();
    const HWND hOld = old != nullptr ? old->GetSafeHwnd() : nullptr;
    const HWND hNew = pChild->GetSafeHwnd();
    if (old != nullptr)
        old->SendMessage(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hOld), reinterpret_cast<LPARAM>(hNew));
    if (m_pActiveChild == pChild && pChild->GetSafeHwnd() != nullptr)
        pChild->SendMessage(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hOld), reinterpret_cast<LPARAM>(hNew));
    UpdateMenuForActiveChild();
    OnUpdateFrameTitle(TRUE);
}

void CMDIFrameWnd::OnMdiChildDestroying(CMDIChildWnd* pChild) {
    if (pChild != m_pActiveChild)
        return;
    m_pActiveChild = nullptr;
    m_hActiveChild = nullptr;
    pChild->SendMessage(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(pChild->GetSafeHwnd()), 0);
}

void CMDIFrameWnd::UpdateMenuForActiveChild() {
    CMDIChildWnd* active = MDIGetActive();
    CMenu* menu =
        active != nullptr && active->m_pMenuShared != nullptr ? active->m_pMenuShared : m_pMenuDefault;
    if (menu != GetMenu())
        SetMenu(menu);
}

void CMDIFrameWnd::MDITile(int) {
    m_pMdiArea->tileSubWindows();
}

void CMDIFrameWnd::MDICascade() {
    // Qt's own cascade sizes each window to what its contents ask at the least, which leaves a child
    // frame no more than its title bar, and keeps the order of opening, so the active window may hide
    // the others' title bars. Here the windows step down from the top left one title bar at a time in
    // their stacking order, the active one last and in front, each as large as the area leaves the
    // last one (half the area at least; the steps start again at the top left when they run out).
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : m_pMdiArea->subWindowList(QMdiArea::StackingOrder)) {
        if (sub->isVisible() && !sub->isMinimized())
            windows.push_back(sub);
    }
    if (windows.isEmpty())
        return;
    const QRect area = m_pMdiArea->viewport()->rect();
    const int step = std::max(
        1, windows.front()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.front()));
    const int count = static_cast<int>(windows.size());
    const QSize size = QSize(area.width() - (count - 1) * step, area.height() - (count - 1) * step)
                           .expandedTo(QSize(area.width() / 2, area.height() / 2));
    const int places =
        std::max(1, std::min(area.width() - size.width(), area.height() - size.height()) / step + 1);
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* sub = windows[i];
        if (sub->isMaximized())
            sub->showNormal();
        const int offset = (i % places) * step;
        sub->setGeometry(QRect(QPoint(offset, offset), size));
        sub->raise();
    }
}

void CMDIFrameWnd::MDINext() {
    m_pMdiArea->activateNextSubWindow();
}

void CMDIFrameWnd::OnWindowTile() {
    MDITile();
}

void CMDIFrameWnd::OnWindowCascade() {
    MDICascade();
}

std::vector<CMDIChildWnd*> CMDIFrameWnd::ListedChildren() const {
    std::vector<CMDIChildWnd*> children;
    for (QMdiSubWindow* sub : m_pMdiArea->subWindowList(QMdiArea::CreationOrder)) {
        CWnd* wnd = CWnd::FromWidget(sub->widget());
        if (wnd != nullptr && wnd->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)) && wnd->GetSafeHwnd() != nullptr)
            children.push_back(static_cast<CMDIChildWnd*>(wnd));
    }
    return children;
}

void CMDIFrameWnd::ListChildrenInWindowMenu(CMenu* pPopup) {
    bool windowMenu = false;
    for (UINT i = 0; i < pPopup->GetMenuItemCount(); ++i) {
        const UINT id = pPopup->GetMenuItemID(static_cast<int>(i));
        windowMenu = windowMenu || id == ID_WINDOW_CASCADE || id == ID_WINDOW_TILE_HORZ;
    }
    if (!windowMenu)
        return;
    // The list made when it last opened goes, with the separator before it.
    const auto isListed = [](UINT id) {
        return id >= kFirstChildCommand && id < kFirstChildCommand + kListedChildren;
    };
    bool removed = false;
    while (pPopup->GetMenuItemCount() > 0 &&
           isListed(pPopup->GetMenuItemID(static_cast<int>(pPopup->GetMenuItemCount() - 1)))) {
        pPopup->DeleteMenu(pPopup->GetMenuItemCount() - 1, MF_BYPOSITION);
        removed = true;
    }
    if (removed && pPopup->GetMenuItemCount() > 0 &&
        pPopup->GetMenuItemID(static_cast<int>(pPopup->GetMenuItemCount() - 1)) == 0)
        pPopup->DeleteMenu(pPopup->GetMenuItemCount() - 1, MF_BYPOSITION);
    const std::vector<CMDIChildWnd*> children = ListedChildren();
    if (children.empty())
        return;
    pPopup->AppendMenu(MF_SEPARATOR);
    for (size_t i = 0; i < children.size() && i < kListedChildren; ++i) {
        CString title;
        children[i]->GetWindowText(title);
        title.Replace("&", "&&"); // an ampersand of the title is no mnemonic
        CString text;
        text.Format("&%u %s", static_cast<unsigned>(i + 1), title.GetString());
        pPopup->AppendMenu(MF_STRING, kFirstChildCommand + i, text);
    }
}

LRESULT CMDIFrameWnd::OnInitMenuPopupMdi(WPARAM wParam, LPARAM) {
    CMenu* popup = CMenu::FromHandle(reinterpret_cast<HMENU>(wParam));
    if (popup == nullptr)
        return 0;
    ListChildrenInWindowMenu(popup);
    OnInitMenuPopup(popup, 0, FALSE);
    return 0;
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (nID >= kFirstChildCommand && nID < kFirstChildCommand + kListedChildren &&
        (nCode == CN_COMMAND || nCode == CN_UPDATE_COMMAND_UI)) {
        const std::vector<CMDIChildWnd*> children = ListedChildren();
        const size_t index = nID - kFirstChildCommand;
        if (index >= children.size())
            return FALSE;
        if (nCode == CN_UPDATE_COMMAND_UI) {
            auto* state = static_cast<CCmdUI*>(pExtra);
            state->Enable(TRUE);
            state->SetCheck(children[index] == MDIGetActive() ? 1 : 0);
        } else if (pHandlerInfo == nullptr) {
            MDIActivate(children[index]);
        }
        return TRUE;
    }
    if (CMDIChildWnd* child = MDIGetActive()) {
        if (child->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    } else {
        CWinApp* app = AfxGetApp();
        if (app != nullptr && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    }
    return CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg) {
    // Keys typed into the frame's bars reach the active child frame first.
    CMDIChildWnd* child = MDIGetActive();
    if (child != nullptr) {
        CWnd* target = CWnd::FromHandle(pMsg->hwnd);
        bool inside = false;
        for (CWnd* w = target; w != nullptr; w = w->GetParent())
            inside = inside || w == child;
        if (!inside && child->PreTranslateMessage(pMsg))
            return TRUE;
    }
    return CFrameWnd::PreTranslateMessage(pMsg);
}

// --- Child frames -------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
ON_WM_MDIACTIVATE()
END_MESSAGE_MAP()

CMDIChildWnd::CMDIChildWnd() = default;
CMDIChildWnd::~CMDIChildWnd() {
    if (GetSafeHwnd() != nullptr)
        CMDIChildWnd::DestroyWindow();
}

QMdiSubWindow* CMDIChildWnd::GetSubWindow() const {
    return GetWidget() != nullptr ? qobject_cast<QMdiSubWindow*>(GetWidget()->parentWidget()) : nullptr;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                             CCreateContext* pContext) {
    m_nIDHelp = nIDResource;
    if (pContext != nullptr && pContext->m_pNewDocTemplate != nullptr)
        m_pMenuShared = pContext->m_pNewDocTemplate->m_pMenuShared;
    if (!Create(nullptr, nullptr, dwDefaultStyle, CRect(0, 0, 0, 0), pParentWnd, 0, pContext))
        return FALSE;
    if (HICON icon = AfxIconHandle(nIDResource))
        SetIcon(icon, TRUE);
    return TRUE;
}

BOOL CMDIChildWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    CWnd* parent = pParentWnd != nullptr ? pParentWnd : AfxGetMainWnd();
    if (parent == nullptr || !parent->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))
        return FALSE;
    m_pMDIFrame = static_cast<CMDIFrameWnd*>(parent);
    CREATESTRUCT cs{};
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle | WS_CHILD);
    cs.lpCreateParams = pContext;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    if (!PreCreateWindow(cs))
        return FALSE;
    auto* widget = new QWidget;
    m_pClientHost = widget;
    m_pClientLayout = new QVBoxLayout(widget);
    m_pClientLayout->setContentsMargins(0, 0, 0, 0);
    if (lpszWindowName != nullptr)
        m_strTitle = lpszWindowName;
    if (!AttachWidget(widget, m_pMDIFrame, nID, static_cast<DWORD>(cs.style) & ~WS_VISIBLE, false)) {
        delete widget;
        return FALSE;
    }
    QMdiSubWindow* sub = m_pMDIFrame->GetMdiArea()->addSubWindow(widget);
    sub->resize(cs.cx > 0 ? cs.cx : 480, cs.cy > 0 ? cs.cy : 360);
    sub->installEventFilter(new SubWindowCloseFilter(sub, GetSafeHwnd()));
    LeaveCtrlF4ToTheFrame(sub);
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

BOOL CMDIChildWnd::DestroyWindow() {
    if (GetSafeHwnd() == nullptr)
        return FALSE;
    CMDIFrameWnd* mdi = m_pMDIFrame;
    QPointer<QMdiSubWindow> sub = GetSubWindow();
    if (mdi != nullptr)
        mdi->OnMdiChildDestroying(this);
    // The frame may delete itself here; only locals are used afterwards.
    CFrameWnd::DestroyWindow();
    if (sub != nullptr) {
        sub->hide();
        sub->deleteLater();
    }
    if (mdi != nullptr && mdi->MDIGetActive() == nullptr) {
        for (QMdiSubWindow* other : mdi->GetMdiArea()->subWindowList(QMdiArea::ActivationHistoryOrder)) {
            if (other == sub || other->isHidden())
                continue;
            CWnd* wnd = CWnd::FromWidget(other->widget());
            if (wnd != nullptr && wnd->IsKindOf(RUNTIME_CLASS(CMDIChildWnd))) {
                mdi->MDIActivate(wnd);
                break;
            }
        }
        mdi->UpdateMenuForActiveChild();
    }
    return TRUE;
}

void CMDIChildWnd::MDIActivate() {
    if (m_pMDIFrame != nullptr)
        m_pMDIFrame->MDIActivate(this);
}

void CMDIChildWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible) {
    CFrameWnd::InitialUpdateFrame(pDoc, FALSE);
    if (bMakeVisible) {
        if (QMdiSubWindow* sub = GetSubWindow())
            sub->show();
        GetWidget()->show();
        m_dwStyle |= WS_VISIBLE;
        MDIActivate();
    }
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL) {
    CDocument* doc = GetActiveDocument();
    const CString title = doc != nullptr ? doc->GetTitle() : m_strTitle;
    if (GetWidget() != nullptr)
        GetWidget()->setWindowTitle(QString::fromUtf8(title.GetString()));
}

void CMDIChildWnd::OnMDIActivate(BOOL bActivate, CWnd*, CWnd*) {
    CView* view = GetActiveView();
    if (view != nullptr)
        view->OnActivateView(bActivate, view, view);
}
