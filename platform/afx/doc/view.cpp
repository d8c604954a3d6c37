#include "platform/afx/doc/view.h"

#include <algorithm>

#include <QWidget>

#include "platform/afx/afxwin.h"

IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CView, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::CView() = default;

CView::~CView() {
    if (m_pDocument != nullptr)
        m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return CWnd::PreCreateWindow(cs);
}

int CView::OnCreate(LPCREATESTRUCT lpcs) {
    auto* context = lpcs != nullptr ? static_cast<CCreateContext*>(lpcs->lpCreateParams) : nullptr;
    if (context != nullptr && context->m_pCurrentDoc != nullptr)
        context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy() {
    if (CFrameWnd* frame = GetParentFrame()) {
        if (frame->GetActiveView() == this)
            frame->SetActiveView(nullptr, FALSE);
    }
    CWnd::OnDestroy();
}

void CView::PostNcDestroy() {
    // Views live on the heap and go with their window; the document forgets them first.
    if (m_pDocument != nullptr)
        m_pDocument->RemoveView(this);
    delete this;
}

void CView::OnPaint() {
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
    OnInitialUpdate();
    return 0;
}

void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*) {
    Invalidate(TRUE);
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*) {
    if (bActivate && pActivateView == this && GetWidget() != nullptr)
        SetFocus();
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// --- Scrolling view ----------------------------------------------------------------------------------

const SIZE CScrollView::sizeDefault = {0, 0};

BEGIN_MESSAGE_MAP(CScrollView, CView)
ON_WM_SIZE()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

CScrollView::CScrollView() = default;

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine) {
    m_nMapMode = nMapMode;
    m_totalLog = sizeTotal;
    m_totalDev = sizeTotal; // text mapping: one logical unit is one pixel
    m_pageDev = sizePage;
    m_lineDev = sizeLine;
    if (m_pageDev.cx == 0)
        m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy == 0)
        m_pageDev.cy = m_totalDev.cy / 10;
    if (m_lineDev.cx == 0)
        m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0)
        m_lineDev.cy = m_pageDev.cy / 10;
    if (GetSafeHwnd() != nullptr)
        UpdateBars();
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const {
    nMapMode = m_nMapMode;
    sizeTotal = m_totalDev;
    sizePage = m_pageDev;
    sizeLine = m_lineDev;
}

CPoint CScrollView::GetScrollPosition() const {
    return CPoint(GetScrollPos(SB_HORZ), GetScrollPos(SB_VERT));
}

void CScrollView::ScrollToPosition(POINT pt) {
    SetScrollPos(SB_HORZ, pt.x);
    SetScrollPos(SB_VERT, pt.y);
    Invalidate(TRUE);
}

void CScrollView::UpdateBars() {
    if (m_bInsideUpdate || GetSafeHwnd() == nullptr)
        return;
    m_bInsideUpdate = true;
    // The client without bars decides which bars are needed; a needed bar narrows the other axis.
    CRect rc;
    GetClientRect(&rc);
    const QWidget* widget = GetWidget();
    int w = widget->width();
    int h = widget->height();
    bool needH = m_totalDev.cx > w;
    bool needV = m_totalDev.cy > h;
    if (needH && !needV)
        needV = m_totalDev.cy > h - 16;
    if (needV && !needH)
        needH = m_totalDev.cx > w - 16;
    const int clientW = w - (needV ? 16 : 0);
    const int clientH = h - (needH ? 16 : 0);
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    si.nMax = needH ? m_totalDev.cx - 1 : 0;
    si.nPage = needH ? static_cast<UINT>(clientW) : 0;
    si.nPos = needH ? GetScrollPos(SB_HORZ) : 0;
    SetScrollInfo(SB_HORZ, &si, TRUE);
    si.nMax = needV ? m_totalDev.cy - 1 : 0;
    si.nPage = needV ? static_cast<UINT>(clientH) : 0;
    si.nPos = needV ? GetScrollPos(SB_VERT) : 0;
    SetScrollInfo(SB_VERT, &si, TRUE);
    m_bInsideUpdate = false;
}

void CScrollView::OnSize(UINT nType, int cx, int cy) {
    CView::OnSize(nType, cx, cy);
    UpdateBars();
}

BOOL CScrollView::OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll) {
    const UINT hCode = LOBYTE(nScrollCode);
    const UINT vCode = HIBYTE(nScrollCode);
    CSize by(0, 0);
    auto step = [&](UINT code, int bar, LONG& out, LONG line, LONG page) {
        int cur = GetScrollPos(bar);
        int target = cur;
        switch (code) {
        case SB_TOP:
            target = 0;
            break;
        case SB_BOTTOM:
            target = INT32_MAX / 2;
            break;
        case SB_LINEUP:
            target = cur - line;
            break;
        case SB_LINEDOWN:
            target = cur + line;
            break;
        case SB_PAGEUP:
            target = cur - page;
            break;
        case SB_PAGEDOWN:
            target = cur + page;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            target = static_cast<int>(static_cast<short>(nPos));
            break;
        default:
            return;
        }
        out = target - cur;
    };
    step(hCode, SB_HORZ, by.cx, m_lineDev.cx, m_pageDev.cx);
    step(vCode, SB_VERT, by.cy, m_lineDev.cy, m_pageDev.cy);
    return OnScrollBy(by, bDoScroll);
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll) {
    const CPoint before = GetScrollPosition();
    int x = std::clamp(static_cast<int>(before.x + sizeScroll.cx), 0, GetScrollLimit(SB_HORZ));
    int y = std::clamp(static_cast<int>(before.y + sizeScroll.cy), 0, GetScrollLimit(SB_VERT));
    if (x == before.x && y == before.y)
        return FALSE;
    if (bDoScroll) {
        SetScrollPos(SB_HORZ, x);
        SetScrollPos(SB_VERT, y);
        Invalidate(TRUE);
    }
    return TRUE;
}

void CScrollView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar*) {
    OnScroll(MAKEWORD(nSBCode, 0xFF), nPos);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*) {
    OnScroll(MAKEWORD(0xFF, nSBCode), nPos);
}

BOOL CScrollView::OnMouseWheel(UINT, short zDelta, CPoint) {
    // A notch moves by the line size times the system's three lines, toward the top for forward turns.
    if (m_totalDev.cy <= 0 || GetScrollLimit(SB_VERT) <= 0)
        return FALSE;
    const int lines = -zDelta * 3 / WHEEL_DELTA;
    return OnScrollBy(CSize(0, lines * std::max<LONG>(1, m_lineDev.cy)), TRUE);
}
