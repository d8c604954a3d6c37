#include "platform/afx/wnd/wnd.h"

#include <mutex>
#include <unordered_map>

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QThread>
#include <QWheelEvent>
#include <QWidget>

#include "platform/afx/wnd/dc.h"
#include "platform/afx/wnd/menu.h"
#include "platform/afx/wnd/wndevents.h"
#include "platform/gdi/gdiqt.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

namespace {

// Live windows by handle: read by any thread (posting checks a window is alive), written on the GUI
// thread.
std::mutex g_registryLock;
std::unordered_map<HWND, CWnd*>& Registry() {
    static std::unordered_map<HWND, CWnd*> registry;
    return registry;
}

CWnd* g_capture = nullptr;

void InstallSurfaceProvider() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    WindowSurfaceProvider provider;
    provider.surface = [](HWND hWnd) -> QImage* {
        CWnd* wnd = CWnd::FromHandle(hWnd);
        return wnd != nullptr ? wnd->GetSurface() : nullptr;
    };
    provider.released = [](HWND hWnd) {
        CWnd* wnd = CWnd::FromHandle(hWnd);
        if (wnd != nullptr && wnd->GetWidget() != nullptr)
            wnd->GetWidget()->update();
    };
    SetWindowSurfaceProvider(provider);
}

WPARAM KeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    WPARAM w = 0;
    if (buttons & Qt::LeftButton)
        w |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        w |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        w |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier)
        w |= MK_SHIFT;
    if (mods & Qt::ControlModifier)
        w |= MK_CONTROL;
    return w;
}

LPARAM PointParam(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

constexpr int kBarExtent = 16;

} // namespace

namespace kivic::afx {

UINT VirtualKeyFromQt(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Tab:
        return VK_TAB;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Down:
        return VK_DOWN;
    default:
        if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
            return static_cast<UINT>(key);
        return static_cast<UINT>(key & 0xFF);
    }
}

bool WndEvents::eventFilter(QObject* watched, QEvent* event) {
    if (m_wnd == nullptr || watched != m_wnd->m_pWidget)
        return false;
    ++m_depth;
    bool handled = Deliver(event);
    --m_depth;
    return handled;
}

bool WndEvents::Deliver(QEvent* event) {
    CWnd* wnd = m_wnd;
    const bool custom = wnd->m_bCustomPaint;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        if (!custom)
            return false;
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint p = me->position().toPoint();
        UINT msg = WM_MOUSEMOVE;
        const bool left = me->button() == Qt::LeftButton;
        const bool right = me->button() == Qt::RightButton;
        if (event->type() == QEvent::MouseButtonPress)
            msg = left ? WM_LBUTTONDOWN : right ? WM_RBUTTONDOWN : 0;
        else if (event->type() == QEvent::MouseButtonRelease)
            msg = left ? WM_LBUTTONUP : right ? WM_RBUTTONUP : 0;
        else if (event->type() == QEvent::MouseButtonDblClick)
            msg = left ? WM_LBUTTONDBLCLK : right ? WM_RBUTTONDOWN : 0;
        if (msg != 0)
            wnd->SendMessage(msg, KeyState(me->buttons(), me->modifiers()), PointParam(p.x(), p.y()));
        return true;
    }
    case QEvent::Wheel: {
        if (!custom)
            return false;
        auto* we = static_cast<QWheelEvent*>(event);
        const QPoint g = we->globalPosition().toPoint();
        const WORD keys = static_cast<WORD>(KeyState(we->buttons(), we->modifiers()));
        const auto delta = static_cast<short>(we->angleDelta().y());
        wnd->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)), PointParam(g.x(), g.y()));
        return true;
    }
    case QEvent::Paint:
        if (!custom)
            return false;
        wnd->PaintNow();
        if (m_wnd == nullptr)
            return true;
        {
            QPainter painter(wnd->m_pWidget);
            painter.drawImage(0, 0, wnd->m_surface);
        }
        return true;
    case QEvent::Resize:
        wnd->LayoutScrollBars();
        return false;
    case QEvent::Close:
        if (custom || wnd->m_pWidget->isWindow()) {
            event->ignore();
            wnd->SendMessage(WM_CLOSE);
            return true;
        }
        return false;
    case QEvent::FocusIn:
        wnd->SendMessage(WM_SETFOCUS);
        return false;
    case QEvent::FocusOut:
        wnd->SendMessage(WM_KILLFOCUS);
        return false;
    case QEvent::KeyPress: {
        auto* ke = static_cast<QKeyEvent*>(event);
        MSG msg{wnd->m_hWnd, WM_KEYDOWN, VirtualKeyFromQt(ke->key()), 0, 0, {0, 0}};
        if (CWnd::WalkPreTranslateTree(nullptr, &msg) || m_wnd == nullptr)
            return true;
        if (!custom)
            return false;
        wnd->SendMessage(WM_KEYDOWN, msg.wParam, 1);
        return true;
    }
    default:
        return false;
    }
}

void WndEvents::timerEvent(QTimerEvent* event) {
    if (m_wnd == nullptr)
        return;
    for (const auto& t : m_wnd->m_timers) {
        if (t.second == event->timerId()) {
            m_wnd->SendMessage(WM_TIMER, t.first, 0);
            return;
        }
    }
}

} // namespace kivic::afx

// --- Identity ----------------------------------------------------------------------------------------

CWnd::CWnd() = default;

CWnd::~CWnd() {
    *m_alive = false;
    if (m_hWnd != nullptr) {
        // A window destroyed as a C++ object takes its widget with it, quietly.
        CWnd::DestroyWindow();
    }
    delete m_pClientDC;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr)
        return nullptr;
    std::lock_guard<std::mutex> lock(g_registryLock);
    auto it = Registry().find(hWnd);
    return it == Registry().end() ? nullptr : it->second;
}

CWnd* CWnd::FromWidget(const QWidget* widget) {
    return FromHandle(reinterpret_cast<HWND>(const_cast<QWidget*>(widget)));
}

void CWnd::Register() {
    m_hWnd = reinterpret_cast<HWND>(m_pWidget);
    std::lock_guard<std::mutex> lock(g_registryLock);
    Registry()[m_hWnd] = this;
}

void CWnd::Unregister() {
    std::lock_guard<std::mutex> lock(g_registryLock);
    auto it = Registry().find(m_hWnd);
    if (it != Registry().end() && it->second == this)
        Registry().erase(it);
}

BOOL IsWindow(HWND hWnd) {
    return CWnd::FromHandle(hWnd) != nullptr ? TRUE : FALSE;
}

bool AfxIsGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return app == nullptr || QThread::currentThread() == app->thread();
}

// --- Creation --------------------------------------------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) {
    return TRUE;
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    CREATESTRUCT cs{};
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.hwndParent = pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr;
    cs.lpCreateParams = pContext;
    if (!PreCreateWindow(cs))
        return FALSE;
    auto* widget = new QWidget;
    if (cs.lpszName != nullptr)
        widget->setWindowTitle(QString::fromUtf8(cs.lpszName));
    if (!AttachWidget(widget, pParentWnd, nID, static_cast<DWORD>(cs.style), true))
        return FALSE;
    if (cs.cx > 0 && cs.cy > 0)
        MoveWindow(cs.x, cs.y, cs.cx, cs.cy, FALSE);
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return FALSE;
    }
    if (m_dwStyle & WS_VISIBLE)
        ShowWindow(SW_SHOW);
    return TRUE;
}

BOOL CWnd::AttachWidget(QWidget* widget, CWnd* pParentWnd, UINT nID, DWORD dwStyle, bool customPaint) {
    if (m_hWnd != nullptr || widget == nullptr)
        return FALSE;
    InstallSurfaceProvider();
    m_pWidget = widget;
    m_bCustomPaint = customPaint;
    m_dwStyle = dwStyle;
    m_nID = static_cast<int>(nID);
    m_pParent = (dwStyle & WS_CHILD) ? pParentWnd : nullptr;
    if (!(dwStyle & WS_CHILD) && pParentWnd != nullptr)
        m_pOwner = pParentWnd;
    Register();
    m_pEvents = new kivic::afx::WndEvents(this);
    widget->installEventFilter(m_pEvents);
    QObject::connect(widget, &QObject::destroyed, m_pEvents, [this]() { OnWidgetDestroyed(); });
    if (customPaint) {
        widget->setAttribute(Qt::WA_OpaquePaintEvent);
        widget->setMouseTracking(true);
        widget->setFocusPolicy(Qt::StrongFocus);
        m_clientSize = CSize(widget->width(), widget->height());
    }
    if (dwStyle & WS_DISABLED)
        widget->setEnabled(false);
    if (m_pParent != nullptr) {
        m_pParent->m_children.push_back(this);
        m_pParent->AddChildWidget(this);
    }
    for (int bar = 0; bar < 2; ++bar) {
        m_scroll[bar].cbSize = sizeof(SCROLLINFO);
        m_scroll[bar].nMax = 100;
    }
    LayoutScrollBars();
    return TRUE;
}

void CWnd::AddChildWidget(CWnd* pChild) {
    QWidget* host = GetClientWidget();
    if (host != nullptr && pChild->m_pWidget->parentWidget() != host)
        pChild->m_pWidget->setParent(host);
    if (pChild->m_dwStyle & WS_VISIBLE)
        pChild->m_pWidget->show();
}

QWidget* CWnd::GetClientWidget() const {
    return m_pWidget;
}

void CWnd::OnWidgetDestroyed() {
    // Qt destroyed the widget with its parent: the window is gone without the usual sequence.
    if (m_pEvents != nullptr)
        m_pEvents->detach();
    Unregister();
    if (g_capture == this)
        g_capture = nullptr;
    if (m_pParent != nullptr)
        std::erase(m_pParent->m_children, this);
    for (CWnd* child : m_children)
        child->m_pParent = nullptr;
    m_children.clear();
    m_pWidget = nullptr;
    m_hWnd = nullptr;
    if (m_pEvents != nullptr)
        m_pEvents->deleteLater();
    m_pEvents = nullptr;
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr)
        return FALSE;
    SendMessage(WM_DESTROY);
    std::vector<CWnd*> children = m_children;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (CWnd::FromHandle((*it)->m_hWnd) == *it)
            (*it)->DestroyWindow();
    }
    if (m_hWnd == nullptr)
        return TRUE; // a handler destroyed us already
    if (g_capture == this)
        g_capture = nullptr;
    for (const auto& t : m_timers)
        m_pEvents->killTimer(t.second);
    m_timers.clear();
    if (m_pParent != nullptr)
        std::erase(m_pParent->m_children, this);
    m_pParent = nullptr;
    Unregister();
    QWidget* widget = m_pWidget;
    kivic::afx::WndEvents* events = m_pEvents;
    m_pWidget = nullptr;
    m_pEvents = nullptr;
    m_hWnd = nullptr;
    if (widget != nullptr) {
        QObject::disconnect(widget, &QObject::destroyed, events, nullptr);
        widget->removeEventFilter(events);
        events->detach();
        widget->hide();
        // A window that closes itself from one of its own events keeps its widget until that event ends.
        if (events->depth() > 0) {
            widget->deleteLater();
            events->deleteLater();
        } else {
            delete widget;
            delete events;
        }
    }
    PostNcDestroy();
    return TRUE;
}

void CWnd::PostNcDestroy() {}

// --- Messages ----------------------------------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) {
    std::vector<CWnd*> children = m_children;
    for (CWnd* child : children) {
        if (CWnd::FromHandle(child->m_hWnd) != child)
            continue;
        child->SendMessage(message, wParam, lParam);
        if (bDeep)
            child->SendMessageToDescendants(message, wParam, lParam, TRUE);
    }
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    const std::shared_ptr<bool> alive = m_alive;
    m_messageStack.push_back({message, wParam, lParam});
    if (!OnWndMsg(message, wParam, lParam, &result) && *alive)
        result = DefWindowProc(message, wParam, lParam);
    if (*alive && !m_messageStack.empty())
        m_messageStack.pop_back();
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_NOTIFY) {
        LRESULT lResult = 0;
        if (OnNotify(wParam, lParam, &lResult)) {
            *pResult = lResult;
            return TRUE;
        }
        return FALSE;
    }
    const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), message, 0, 0);
    if (e == nullptr)
        return FALSE;
    AFX_CALL call{};
    call.message = message;
    call.wParam = wParam;
    call.lParam = lParam;
    e->pfn(this, call);
    *pResult = call.result;
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        CRect rc;
        GetClientRect(&rc);
        HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
        ::FillRect(dc, &rc, brush);
        DeleteObject(brush);
        return 1;
    }
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    default:
        return 0;
    }
}

LRESULT CWnd::Default() {
    if (m_messageStack.empty())
        return 0;
    const CurrentMessage m = m_messageStack.back();
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT nID = LOWORD(wParam);
    const int nCode = HIWORD(wParam);
    // A control notification goes to the control's parent, which routes it like a command.
    (void)lParam;
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr == nullptr)
        return FALSE;
    AFX_NOTIFY notify{pResult, hdr};
    return OnCmdMsg(static_cast<UINT>(hdr->idFrom), static_cast<int>(MAKELONG(hdr->code, WM_NOTIFY)), &notify,
                    nullptr);
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
    for (CWnd* wnd = CWnd::FromHandle(pMsg->hwnd); wnd != nullptr; wnd = wnd->GetParent()) {
        if (wnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (wnd->m_hWnd == hWndStop)
            break;
    }
    return FALSE;
}

// --- Geometry and state ----------------------------------------------------------------------------

void CWnd::GetClientRect(LPRECT lpRect) const {
    if (m_pWidget == nullptr) {
        *lpRect = RECT{0, 0, 0, 0};
        return;
    }
    int w = m_pWidget->width();
    int h = m_pWidget->height();
    if (m_bBarShown[SB_VERT])
        w -= kBarExtent;
    if (m_bBarShown[SB_HORZ])
        h -= kBarExtent;
    *lpRect = RECT{0, 0, std::max(0, w), std::max(0, h)};
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    if (m_pWidget == nullptr) {
        *lpRect = RECT{0, 0, 0, 0};
        return;
    }
    const QPoint g = m_pWidget->mapToGlobal(QPoint(0, 0));
    *lpRect = RECT{g.x(), g.y(), g.x() + m_pWidget->width(), g.y() + m_pWidget->height()};
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL) {
    if (m_pWidget == nullptr)
        return;
    m_pWidget->setGeometry(x, y, std::max(0, nWidth), std::max(0, nHeight));
    LayoutScrollBars();
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
               bRepaint);
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const {
    if (m_pWidget == nullptr)
        return;
    const QPoint g = m_pWidget->mapToGlobal(QPoint(lpPoint->x, lpPoint->y));
    lpPoint->x = g.x();
    lpPoint->y = g.y();
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const {
    if (m_pWidget == nullptr)
        return;
    const QPoint l = m_pWidget->mapFromGlobal(QPoint(lpPoint->x, lpPoint->y));
    lpPoint->x = l.x();
    lpPoint->y = l.y();
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (m_pWidget == nullptr)
        return FALSE;
    const BOOL wasVisible = m_pWidget->isVisible();
    switch (nCmdShow) {
    case SW_HIDE:
        m_pWidget->hide();
        m_dwStyle &= ~WS_VISIBLE;
        break;
    case SW_SHOWMAXIMIZED:
        // A window manager maximises the window; without one (a bare X server) it would keep its size,
        // so a top-level window is given the screen's work area first.
        if (m_pWidget->isWindow() && m_pWidget->screen() != nullptr)
            m_pWidget->setGeometry(m_pWidget->screen()->availableGeometry());
        m_pWidget->showMaximized();
        m_dwStyle |= WS_VISIBLE;
        break;
    case SW_MINIMIZE:
        m_pWidget->showMinimized();
        m_dwStyle |= WS_VISIBLE;
        break;
    default:
        m_pWidget->show();
        m_dwStyle |= WS_VISIBLE;
        break;
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    return m_pWidget != nullptr && m_pWidget->isVisible();
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    if (m_pWidget == nullptr)
        return FALSE;
    const BOOL wasDisabled = !m_pWidget->isEnabled();
    m_pWidget->setEnabled(bEnable != FALSE);
    if (bEnable)
        m_dwStyle &= ~WS_DISABLED;
    else
        m_dwStyle |= WS_DISABLED;
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    return m_pWidget != nullptr && !(m_dwStyle & WS_DISABLED) && m_pWidget->isEnabled();
}

void CWnd::SetWindowText(LPCTSTR lpszString) {
    if (m_pWidget != nullptr)
        m_pWidget->setWindowTitle(QString::fromUtf8(lpszString != nullptr ? lpszString : ""));
}

void CWnd::GetWindowText(CString& rString) const {
    rString = m_pWidget != nullptr ? m_pWidget->windowTitle().toUtf8().constData() : "";
}

int CWnd::GetWindowTextLength() const {
    CString s;
    GetWindowText(s);
    return s.GetLength();
}

int CWnd::SetDlgCtrlID(int nID) {
    const int old = m_nID;
    m_nID = nID;
    return old;
}

CWnd* CWnd::GetDlgItem(int nID) const {
    for (CWnd* child : m_children) {
        if (child->m_nID == nID)
            return child;
    }
    return nullptr;
}

void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) {
    if (CWnd* item = GetDlgItem(nID))
        item->SetWindowText(lpszString);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString.Empty();
    if (CWnd* item = GetDlgItem(nID))
        item->GetWindowText(rString);
    return rString.GetLength();
}

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* item = GetDlgItem(nID);
    return item != nullptr ? item->SendMessage(message, wParam, lParam) : 0;
}

void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned) {
    CString s;
    if (bSigned)
        s.Format("%d", static_cast<int>(nValue));
    else
        s.Format("%u", nValue);
    SetDlgItemText(nID, s);
}

UINT CWnd::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const {
    CString s;
    GetDlgItemText(nID, s);
    s.Trim();
    const char* p = s;
    char* end = nullptr;
    long long v = bSigned ? std::strtoll(p, &end, 10) : static_cast<long long>(std::strtoull(p, &end, 10));
    const bool ok = !s.IsEmpty() && end != nullptr && *end == '\0' &&
                    (bSigned ? (v >= INT32_MIN && v <= INT32_MAX) : (v >= 0 && v <= UINT32_MAX));
    if (lpTrans != nullptr)
        *lpTrans = ok ? TRUE : FALSE;
    return ok ? static_cast<UINT>(v) : 0;
}

CWnd* CWnd::GetTopLevelParent() const {
    const CWnd* wnd = this;
    while (wnd->GetParent() != nullptr)
        wnd = wnd->GetParent();
    return const_cast<CWnd*>(wnd);
}

CWnd* CWnd::SetFocus() {
    CWnd* old = GetFocus();
    if (m_pWidget != nullptr)
        m_pWidget->setFocus(Qt::OtherFocusReason);
    return old;
}

CWnd* CWnd::GetFocus() {
    if (QApplication::instance() == nullptr)
        return nullptr;
    return FromWidget(QApplication::focusWidget());
}

CWnd* CWnd::SetCapture() {
    CWnd* old = g_capture;
    g_capture = this;
    return old;
}

CWnd* CWnd::GetCapture() {
    return g_capture;
}

BOOL ReleaseCapture() {
    g_capture = nullptr;
    return TRUE;
}

HWND GetCapture() {
    return g_capture != nullptr ? g_capture->GetSafeHwnd() : nullptr;
}

HWND SetCapture(HWND hWnd) {
    HWND old = GetCapture();
    g_capture = CWnd::FromHandle(hWnd);
    return old;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    CWnd* wnd = CWnd::FromHandle(hWnd);
    if (wnd == nullptr)
        return FALSE;
    wnd->GetClientRect(lpRect);
    return TRUE;
}

BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    CWnd* wnd = CWnd::FromHandle(hWnd);
    if (wnd == nullptr)
        return FALSE;
    wnd->InvalidateRect(lpRect, bErase);
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
    CWnd* wnd = CWnd::FromHandle(hWnd);
    if (wnd == nullptr)
        return FALSE;
    wnd->UpdateWindow();
    return TRUE;
}

void CWnd::Invalidate(BOOL bErase) {
    InvalidateRect(nullptr, bErase);
}

void CWnd::InvalidateRect(LPCRECT, BOOL bErase) {
    m_bDirty = true;
    if (bErase)
        m_bErase = true;
    if (m_pWidget != nullptr)
        m_pWidget->update();
}

void CWnd::UpdateWindow() {
    if (m_pWidget == nullptr || !m_bCustomPaint)
        return;
    PaintNow();
    m_pWidget->update();
}

QImage* CWnd::GetSurface() {
    if (!m_bCustomPaint || m_pWidget == nullptr)
        return nullptr;
    CRect rc;
    GetClientRect(&rc);
    const QSize size(std::max(1, rc.Width()), std::max(1, rc.Height()));
    if (m_surface.size() != size) {
        QImage next(size, QImage::Format_RGB32);
        next.fill(Qt::white);
        if (!m_surface.isNull()) {
            QPainter p(&next);
            p.drawImage(0, 0, m_surface);
        }
        m_surface = next;
        m_bDirty = true;
        m_bErase = true;
    }
    return &m_surface;
}

void CWnd::PaintNow() {
    if (m_bPainting || m_pWidget == nullptr)
        return;
    GetSurface();
    if (!m_bDirty)
        return;
    m_bPainting = true;
    m_bDirty = false;
    if (m_bErase) {
        m_bErase = false;
        HDC dc = CreateDCOnImage(&m_surface);
        SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        DeleteDC(dc);
    }
    SendMessage(WM_PAINT);
    m_bPainting = false;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT) {
    const DWORD old = m_dwStyle;
    m_dwStyle = (m_dwStyle & ~dwRemove) | dwAdd;
    return old != m_dwStyle;
}

void CWnd::CenterWindow(CWnd*) {}

void CWnd::BringWindowToTop() {
    if (m_pWidget != nullptr) {
        m_pWidget->raise();
        m_pWidget->activateWindow();
    }
}

BOOL CWnd::SetMenu(CMenu* pMenu) {
    m_pMenu = pMenu;
    return TRUE;
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
    return MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

void CWnd::SetCheckState(int) {}

// --- Scroll bars ---------------------------------------------------------------------------------

QScrollBar* CWnd::GetQtScrollBar(int nBar) const {
    return nBar == SB_HORZ || nBar == SB_VERT ? m_bars[nBar] : nullptr;
}

CScrollBar* CWnd::GetScrollBarCtrl(int) const {
    return nullptr;
}

void CWnd::LayoutScrollBars() {
    if (m_pWidget == nullptr || !m_bCustomPaint)
        return;
    const int w = m_pWidget->width();
    const int h = m_pWidget->height();
    for (int bar = 0; bar < 2; ++bar) {
        if (m_bars[bar] == nullptr)
            continue;
        m_bars[bar]->setVisible(m_bBarShown[bar]);
    }
    if (m_bars[SB_HORZ] != nullptr && m_bBarShown[SB_HORZ])
        m_bars[SB_HORZ]->setGeometry(0, h - kBarExtent, w - (m_bBarShown[SB_VERT] ? kBarExtent : 0),
                                     kBarExtent);
    if (m_bars[SB_VERT] != nullptr && m_bBarShown[SB_VERT])
        m_bars[SB_VERT]->setGeometry(w - kBarExtent, 0, kBarExtent,
                                     h - (m_bBarShown[SB_HORZ] ? kBarExtent : 0));
    CRect rc;
    GetClientRect(&rc);
    if (rc.Size() != m_clientSize) {
        m_clientSize = rc.Size();
        GetSurface();
        m_bDirty = true;
        m_bErase = true;
        SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.Width(), rc.Height()));
        m_pWidget->update();
    }
}

void CWnd::SyncQtScrollBar(int nBar) {
    const SCROLLINFO& si = m_scroll[nBar];
    const bool needed =
        si.nMax > si.nMin && (si.nPage == 0 || static_cast<int>(si.nPage) <= si.nMax - si.nMin);
    if (m_bars[nBar] == nullptr && needed && m_pWidget != nullptr) {
        auto* bar = new QScrollBar(nBar == SB_HORZ ? Qt::Horizontal : Qt::Vertical, m_pWidget);
        m_bars[nBar] = bar;
        QObject::connect(bar, &QAbstractSlider::actionTriggered, m_pEvents,
                         [this, nBar](int action) { OnQtScrollAction(nBar, action); });
        QObject::connect(bar, &QAbstractSlider::sliderReleased, m_pEvents, [this, nBar]() {
            SendMessage(nBar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
        });
    }
    if (m_bars[nBar] != nullptr) {
        QScrollBar* bar = m_bars[nBar];
        const QSignalBlocker block(bar);
        const int page = static_cast<int>(si.nPage);
        bar->setRange(si.nMin, std::max(si.nMin, si.nMax - std::max(page, 1) + 1));
        bar->setPageStep(std::max(page, 1));
        bar->setValue(si.nPos);
    }
    if (needed != m_bBarShown[nBar]) {
        m_bBarShown[nBar] = needed;
        LayoutScrollBars();
    }
}

void CWnd::OnQtScrollAction(int nBar, int action) {
    QScrollBar* bar = m_bars[nBar];
    const int proposed = bar->sliderPosition();
    {
        // The window decides where the bar goes; the proposal only travels with the message.
        const QSignalBlocker block(bar);
        bar->setSliderPosition(m_scroll[nBar].nPos);
    }
    int code = SB_ENDSCROLL;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        code = SB_LINEDOWN;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        code = SB_LINEUP;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = SB_PAGEDOWN;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = SB_PAGEUP;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = SB_TOP;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = SB_BOTTOM;
        break;
    case QAbstractSlider::SliderMove:
        code = SB_THUMBTRACK;
        break;
    default:
        break;
    }
    SendMessage(nBar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL,
                MAKEWPARAM(code, static_cast<WORD>(static_cast<short>(proposed))), 0);
}

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL) {
    if (nBar != SB_HORZ && nBar != SB_VERT)
        return FALSE;
    SCROLLINFO& si = m_scroll[nBar];
    if (lpScrollInfo->fMask & SIF_RANGE) {
        si.nMin = lpScrollInfo->nMin;
        si.nMax = lpScrollInfo->nMax;
    }
    if (lpScrollInfo->fMask & SIF_PAGE)
        si.nPage = lpScrollInfo->nPage;
    if (lpScrollInfo->fMask & SIF_POS)
        si.nPos = lpScrollInfo->nPos;
    // The position stays where a full page still fits, as the system keeps it.
    const int page = static_cast<int>(si.nPage);
    const int limit = std::max(si.nMin, si.nMax - std::max(page - 1, 0));
    si.nPos = std::clamp(si.nPos, si.nMin, limit);
    SyncQtScrollBar(nBar);
    return TRUE;
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask) const {
    if (nBar != SB_HORZ && nBar != SB_VERT)
        return FALSE;
    const SCROLLINFO& si = m_scroll[nBar];
    const UINT mask = lpScrollInfo->fMask != 0 ? lpScrollInfo->fMask : nMask;
    if (mask & SIF_RANGE) {
        lpScrollInfo->nMin = si.nMin;
        lpScrollInfo->nMax = si.nMax;
    }
    if (mask & SIF_PAGE)
        lpScrollInfo->nPage = si.nPage;
    if (mask & SIF_POS)
        lpScrollInfo->nPos = si.nPos;
    if (mask & SIF_TRACKPOS)
        lpScrollInfo->nTrackPos = m_bars[nBar] != nullptr ? m_bars[nBar]->sliderPosition() : si.nPos;
    return TRUE;
}

int CWnd::SetScrollPos(int nBar, int nPos, BOOL bRedraw) {
    const int old = GetScrollPos(nBar);
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, nPos, 0};
    SetScrollInfo(nBar, &si, bRedraw);
    return old;
}

int CWnd::GetScrollPos(int nBar) const {
    return nBar == SB_HORZ || nBar == SB_VERT ? m_scroll[nBar].nPos : 0;
}

void CWnd::SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE, nMinPos, nMaxPos, 0, 0, 0};
    SetScrollInfo(nBar, &si, bRedraw);
}

void CWnd::GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const {
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE, 0, 0, 0, 0, 0};
    GetScrollInfo(nBar, &si);
    *lpMinPos = si.nMin;
    *lpMaxPos = si.nMax;
}

void CWnd::ShowScrollBar(UINT nBar, BOOL bShow) {
    for (int bar = 0; bar < 2; ++bar) {
        if (nBar == static_cast<UINT>(bar) || nBar == SB_BOTH) {
            if (!bShow) {
                m_scroll[bar].nMin = 0;
                m_scroll[bar].nMax = 0;
                m_scroll[bar].nPos = 0;
            }
            SyncQtScrollBar(bar);
        }
    }
}

int CWnd::GetScrollLimit(int nBar) const {
    const SCROLLINFO& si = m_scroll[nBar == SB_VERT ? 1 : 0];
    return std::max(si.nMin, si.nMax - std::max(static_cast<int>(si.nPage) - 1, 0));
}

// --- Drawing ---------------------------------------------------------------------------------------

CDC* CWnd::GetDC() {
    auto* dc = new CClientDC(this);
    return dc;
}

int CWnd::ReleaseDC(CDC* pDC) {
    delete pDC;
    return 1;
}

// --- Timers and data exchange -----------------------------------------------------------------

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, void*) {
    if (m_pEvents == nullptr)
        return 0;
    KillTimer(nIDEvent);
    const int id = m_pEvents->startTimer(static_cast<int>(nElapse));
    if (id == 0)
        return 0;
    m_timers.emplace_back(nIDEvent, id);
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->first == nIDEvent) {
            if (m_pEvents != nullptr)
                m_pEvents->killTimer(it->second);
            m_timers.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

// --- Default handlers ------------------------------------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCT) {
    return static_cast<int>(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) {
    Default();
}
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) {
    Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnKillFocus(CWnd*) {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
UINT CWnd::OnGetDlgCode() {
    return static_cast<UINT>(Default());
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}
