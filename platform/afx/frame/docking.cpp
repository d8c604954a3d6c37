// Where a frame's control bars dock: each bar sits in a movable strip of the frame's main window at
// one of its four edges, or floats; the strips' places go to the profile and come back from it.
#include <QMainWindow>
#include <QToolBar>

#include "platform/afx/afxwin.h"

namespace {

// The strips' layout as the main window saves it; a layout of another version is not restored.
constexpr int kBarLayoutVersion = 1;

Qt::ToolBarArea AreaOfAlign(DWORD dwAlign) {
    if (dwAlign & CBRS_ALIGN_TOP)
        return Qt::TopToolBarArea;
    if (dwAlign & CBRS_ALIGN_BOTTOM)
        return Qt::BottomToolBarArea;
    if (dwAlign & CBRS_ALIGN_LEFT)
        return Qt::LeftToolBarArea;
    if (dwAlign & CBRS_ALIGN_RIGHT)
        return Qt::RightToolBarArea;
    return Qt::TopToolBarArea;
}

Qt::ToolBarAreas AreasOfStyle(DWORD dwDockStyle) {
    Qt::ToolBarAreas areas = Qt::NoToolBarArea;
    if (dwDockStyle & CBRS_ALIGN_TOP)
        areas |= Qt::TopToolBarArea;
    if (dwDockStyle & CBRS_ALIGN_BOTTOM)
        areas |= Qt::BottomToolBarArea;
    if (dwDockStyle & CBRS_ALIGN_LEFT)
        areas |= Qt::LeftToolBarArea;
    if (dwDockStyle & CBRS_ALIGN_RIGHT)
        areas |= Qt::RightToolBarArea;
    return areas;
}

DWORD AlignOfArea(Qt::ToolBarArea area) {
    switch (area) {
    case Qt::TopToolBarArea:
        return CBRS_ALIGN_TOP;
    case Qt::BottomToolBarArea:
        return CBRS_ALIGN_BOTTOM;
    case Qt::LeftToolBarArea:
        return CBRS_ALIGN_LEFT;
    case Qt::RightToolBarArea:
        return CBRS_ALIGN_RIGHT;
    default:
        return 0;
    }
}

DWORD AlignOfDockBar(UINT nDockBarID) {
    switch (nDockBarID) {
    case AFX_IDW_DOCKBAR_TOP:
        return CBRS_ALIGN_TOP;
    case AFX_IDW_DOCKBAR_BOTTOM:
        return CBRS_ALIGN_BOTTOM;
    case AFX_IDW_DOCKBAR_LEFT:
        return CBRS_ALIGN_LEFT;
    case AFX_IDW_DOCKBAR_RIGHT:
        return CBRS_ALIGN_RIGHT;
    default:
        return 0;
    }
}

// The user may move a strip only between edges that both the bar and the frame allow.
void ApplyDockStyle(CControlBar* pBar, DWORD dwFrameStyle) {
    if (pBar->m_pDockHost == nullptr)
        return;
    const DWORD allowed = pBar->GetDockStyle() & dwFrameStyle & CBRS_ALIGN_ANY;
    pBar->m_pDockHost->setAllowedAreas(AreasOfStyle(allowed));
    pBar->m_pDockHost->setMovable(allowed != 0);
    pBar->m_pDockHost->setFloatable(allowed != 0);
}

} // namespace

void CControlBar::EnableDocking(DWORD dwDockStyle) {
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
    if (m_pDockSite != nullptr)
        ApplyDockStyle(this, m_pDockSite->GetDockingEdges());
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle) {
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
    for (CControlBar* bar : m_listControlBars)
        ApplyDockStyle(bar, m_dwDockStyle);
}

void CFrameWnd::DockControlBarWidget(CControlBar* pBar, DWORD dwAlign) {
    QMainWindow* window = GetMainWindow();
    if (window == nullptr) {
        CWnd::AddChildWidget(pBar);
        return;
    }
    if (pBar->m_pDockHost == nullptr) {
        auto* host = new QToolBar;
        host->addWidget(pBar->GetWidget());
        pBar->GetWidget()->show();
        pBar->m_pDockHost = host;
    }
    // The main window finds a strip again by this name when it restores the layout.
    if (pBar->GetDlgCtrlID() != 0)
        pBar->m_pDockHost->setObjectName(QStringLiteral("AfxBar%1").arg(pBar->GetDlgCtrlID()));
    ApplyDockStyle(pBar, m_dwDockStyle);
    // A strip docked at an edge leaves the one it was at (or stops floating).
    window->addToolBar(AreaOfAlign(dwAlign), pBar->m_pDockHost);
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID) {
    if (pBar == nullptr)
        return;
    DWORD align = AlignOfDockBar(nDockBarID);
    if (align == 0)
        align = pBar->GetBarStyle() & CBRS_ALIGN_ANY;
    DockControlBarWidget(pBar, align);
}

DWORD CFrameWnd::GetControlBarSide(CControlBar* pBar) const {
    QMainWindow* window = GetMainWindow();
    if (window == nullptr || pBar == nullptr || pBar->m_pDockHost == nullptr ||
        pBar->m_pDockHost->isFloating())
        return 0;
    return AlignOfArea(window->toolBarArea(pBar->m_pDockHost));
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL) {
    if (pBar == nullptr)
        return;
    if (pBar->m_pDockHost != nullptr)
        pBar->m_pDockHost->setVisible(bShow != FALSE);
    else
        pBar->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CFrameWnd::SaveBarState(LPCTSTR lpszProfileName) const {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return;
    if (QMainWindow* window = GetMainWindow()) {
        const QByteArray layout = window->saveState(kBarLayoutVersion).toBase64();
        app->WriteProfileString(lpszProfileName, "Layout", layout.constData());
    }
    // Bars outside the strips (the status bar) keep only their visibility.
    for (CControlBar* bar : m_listControlBars) {
        if (bar->GetDlgCtrlID() == 0)
            continue;
        CString section;
        section.Format("%s-Bar%d", lpszProfileName, bar->GetDlgCtrlID());
        app->WriteProfileInt(section, "Visible", bar->IsVisible() ? 1 : 0);
    }
}

void CFrameWnd::LoadBarState(LPCTSTR lpszProfileName) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return;
    if (QMainWindow* window = GetMainWindow()) {
        const CString layout = app->GetProfileString(lpszProfileName, "Layout", "");
        if (!layout.IsEmpty())
            window->restoreState(QByteArray::fromBase64(QByteArray(layout.GetString())), kBarLayoutVersion);
    }
    for (CControlBar* bar : m_listControlBars) {
        if (bar->GetDlgCtrlID() == 0)
            continue;
        CString section;
        section.Format("%s-Bar%d", lpszProfileName, bar->GetDlgCtrlID());
        const int visible = static_cast<int>(app->GetProfileInt(section, "Visible", -1));
        if (visible >= 0)
            ShowControlBar(bar, visible, FALSE);
    }
}
