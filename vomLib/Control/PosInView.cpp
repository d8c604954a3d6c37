#include "vomLib/Control/PosInView.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "vomLib/Control/PosInMarker.h"

IMPLEMENT_DYNAMIC(CPosInView, CScrollView)

BEGIN_MESSAGE_MAP(CPosInView, CScrollView)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_MOUSEWHEEL()
ON_WM_MOUSEMOVE()
ON_WM_PAINT()
ON_WM_SIZE()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
END_MESSAGE_MAP()

const int CPosInView::s_zoomTable[kZoomSteps][2] = {
    {16, 1}, {15, 1}, {14, 1}, {13, 1}, {12, 1}, {11, 1}, {10, 1}, {9, 1},  {8, 1}, {7, 1}, {6, 1},
    {5, 1},  {4, 1},  {3, 1},  {2, 1},  {1, 1},  {1, 2},  {1, 3},  {1, 4},  {1, 5}, {1, 6}, {1, 7},
    {1, 8},  {1, 9},  {1, 10}, {1, 11}, {1, 12}, {1, 13}, {1, 14}, {1, 15}, {1, 16}};

namespace {

long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

CPosInView::CPosInView() {
    m_hCrossCursor = LoadCursor(nullptr, IDC_CROSS);
    m_hMoveCursor = LoadCursor(nullptr, IDC_SIZEALL);
    m_hZoomCursor = LoadCursor(nullptr, IDC_SIZENS);
    m_hRectCursor = LoadCursor(nullptr, IDC_CROSS);
    m_hCross2Cursor = LoadCursor(nullptr, IDC_CROSS);
}

CPosInView::~CPosInView() = default;

void CPosInView::SetCrosshairLines(bool bOn, HCURSOR hPointCursor) {
    m_painter.m_bCrosshairLines = bOn;
    if (hPointCursor != nullptr)
        m_hPointCursor = hPointCursor;
}

int CPosInView::ToImage(long long client) const {
    const long long n = ZoomNumerator(m_painter.m_dwZoom);
    const long long d = ZoomDenominator(m_painter.m_dwZoom);
    return static_cast<int>(FloorDiv(client * d, n));
}

void CPosInView::SetBitmap(HBITMAP hBitmap) {
    m_painter.m_hBitmap = hBitmap;
    UpdateScrollSizes();
}

void CPosInView::UpdateScrollSizes() {
    LONG w = 0;
    LONG h = 0;
    if (!m_painter.GetBitmapSize(&w, &h))
        return;
    const long long n = ZoomNumerator(m_painter.m_dwZoom);
    const long long d = ZoomDenominator(m_painter.m_dwZoom);
    SetScrollSizes(MM_TEXT, CSize(static_cast<int>(w * n / d), static_cast<int>(h * n / d)));
}

BOOL CPosInView::SetZoom(int numerator, int denominator, BOOL bRedraw) {
    // Compared and clamped in full width; only a ratio inside the limits is packed into the word.
    long long n = numerator;
    long long d = denominator;
    BOOL result = TRUE;
    if (d <= 0 || n <= 0) {
        if (d == 0 && n > 0) {
            n = 16;
            d = 1;
        } else {
            n = 1;
            d = 16;
        }
        result = FALSE;
    } else if (n * 16 < d) {
        n = 1;
        d = 16;
        result = FALSE;
    } else if (n > d * 16) {
        n = 16;
        d = 1;
        result = FALSE;
    }
    if (n > 0x7FFF || d > 0x7FFF) {
        const long long g = std::gcd(n, d);
        n /= g;
        d /= g;
        while (n > 0x7FFF || d > 0x7FFF) {
            n = (n + 1) / 2;
            d = (d + 1) / 2;
        }
    }
    LONG w = 0;
    LONG h = 0;
    if (!m_painter.GetBitmapSize(&w, &h))
        return result;
    const CPoint center = GetViewCenter();
    const DWORD before = m_painter.m_dwZoom;
    m_painter.m_dwZoom = MakeZoom(static_cast<int>(n), static_cast<int>(d));
    // A smaller picture leaves the larger one's place as background: the next paint erases it all,
    // however the caller redraws afterwards.
    if (m_painter.m_dwZoom != before)
        Invalidate(TRUE);
    UpdateScrollSizes();
    CenterOn(center.x, center.y, FALSE);
    if (bRedraw)
        m_painter.Refresh(GetSafeHwnd(), TRUE);
    return result;
}

BOOL CPosInView::SetZoomPercent(long percent, BOOL bRedraw) {
    if (percent * 16 < 100 || percent > 1600)
        return FALSE;
    return SetZoom(static_cast<int>(percent), 100, bRedraw);
}

int CPosInView::GetZoomPercent() const {
    return ZoomNumerator(m_painter.m_dwZoom) * 100 / ZoomDenominator(m_painter.m_dwZoom);
}

void CPosInView::ZoomIn(int x, int y, BOOL bRedraw) {
    const double current =
        static_cast<double>(ZoomNumerator(m_painter.m_dwZoom)) / ZoomDenominator(m_painter.m_dwZoom);
    int step = 0;
    for (int i = kZoomSteps - 1; i >= 0; --i) {
        if (static_cast<double>(s_zoomTable[i][0]) / s_zoomTable[i][1] > current) {
            step = i;
            break;
        }
    }
    if (MakeZoom(s_zoomTable[step][0], s_zoomTable[step][1]) == m_painter.m_dwZoom)
        return;
    SetZoom(s_zoomTable[step][0], s_zoomTable[step][1], FALSE);
    CenterOn(x, y, bRedraw);
}

void CPosInView::ZoomOut(int x, int y, BOOL bRedraw) {
    const double current =
        static_cast<double>(ZoomNumerator(m_painter.m_dwZoom)) / ZoomDenominator(m_painter.m_dwZoom);
    int step = kZoomSteps - 1;
    for (int i = 0; i < kZoomSteps; ++i) {
        if (static_cast<double>(s_zoomTable[i][0]) / s_zoomTable[i][1] < current) {
            step = i;
            break;
        }
    }
    if (MakeZoom(s_zoomTable[step][0], s_zoomTable[step][1]) == m_painter.m_dwZoom)
        return;
    SetZoom(s_zoomTable[step][0], s_zoomTable[step][1], FALSE);
    CenterOn(x, y, bRedraw);
}

void CPosInView::OnZoomIn(BOOL bRedraw) {
    const CPoint c = GetViewCenter();
    ZoomIn(c.x, c.y, bRedraw);
}

void CPosInView::OnZoomOut(BOOL bRedraw) {
    const CPoint c = GetViewCenter();
    ZoomOut(c.x, c.y, bRedraw);
}

void CPosInView::CenterOn(int x, int y, BOOL bRedraw) {
    RECT dst{};
    m_painter.GetRects(nullptr, &dst);
    const long long n = ZoomNumerator(m_painter.m_dwZoom);
    const long long d = ZoomDenominator(m_painter.m_dwZoom);
    const int w = static_cast<SHORT>((dst.right + 1 - dst.left) * d / n);
    const int h = static_cast<SHORT>((dst.bottom + 1 - dst.top) * d / n);
    ScrollToImage(x - w / 2, y - h / 2, bRedraw);
}

CPoint CPosInView::GetViewCenter() const {
    RECT src{};
    if (!m_painter.GetRects(&src, nullptr))
        return CPoint(0, 0);
    return CPoint(src.left + (src.right + 1 - src.left) / 2, src.top + (src.bottom + 1 - src.top) / 2);
}

void CPosInView::ScrollToImage(int x, int y, BOOL bRedraw) {
    LONG w = 0;
    LONG h = 0;
    if (!m_painter.GetBitmapSize(&w, &h))
        return;
    const long long n = ZoomNumerator(m_painter.m_dwZoom);
    const long long d = ZoomDenominator(m_painter.m_dwZoom);
    const long long maxX = w - m_painter.m_nClientWidth * d / n;
    const long long maxY = h - m_painter.m_nClientHeight * d / n;
    m_painter.m_nOriginX = static_cast<int>(std::max<long long>(std::min<long long>(x, maxX), 0));
    m_painter.m_nOriginY = static_cast<int>(std::max<long long>(std::min<long long>(y, maxY), 0));
    SyncScrollBars(bRedraw);
}

void CPosInView::SyncScrollBars(BOOL bRedraw) {
    const long long n = ZoomNumerator(m_painter.m_dwZoom);
    const long long d = ZoomDenominator(m_painter.m_dwZoom);
    SetScrollPos(SB_HORZ, static_cast<SHORT>(m_painter.m_nOriginX * n / d), TRUE);
    SetScrollPos(SB_VERT, static_cast<SHORT>(m_painter.m_nOriginY * n / d), TRUE);
    if (bRedraw)
        m_painter.Refresh(GetSafeHwnd(), FALSE);
}

CPoint CPosInView::ClientToImage(CPoint point, BOOL bAlign) const {
    if (bAlign) {
        const POINT offset = m_painter.GetAlignOffset();
        point.x -= offset.x;
        point.y -= offset.y;
    }
    return CPoint(m_painter.m_nOriginX + ToImage(point.x), m_painter.m_nOriginY + ToImage(point.y));
}

void CPosInView::ClientToImageF(CPoint point, BOOL bAlign, double* pX, double* pY) const {
    if (bAlign) {
        const POINT offset = m_painter.GetAlignOffset();
        point.x -= offset.x;
        point.y -= offset.y;
    }
    const double n = ZoomNumerator(m_painter.m_dwZoom);
    const double d = ZoomDenominator(m_painter.m_dwZoom);
    *pX = m_painter.m_nOriginX + point.x * d / n;
    *pY = m_painter.m_nOriginY + point.y * d / n;
}

CPoint CPosInView::ImageToClientF(double x, double y, BOOL bAddDestination) const {
    const double n = ZoomNumerator(m_painter.m_dwZoom);
    const double d = ZoomDenominator(m_painter.m_dwZoom);
    CPoint p(static_cast<int>((x - m_painter.m_nOriginX) * n * (1.0 / d)),
             static_cast<int>((y - m_painter.m_nOriginY) * n * (1.0 / d)));
    if (bAddDestination) {
        RECT dst{};
        if (m_painter.GetRects(nullptr, &dst))
            p.Offset(dst.left, dst.top);
    }
    return p;
}

// --- Mouse -------------------------------------------------------------------------------------------

void CPosInView::RestoreCursor() {
    if (m_hSavedCursor != nullptr) {
        ::SetCursor(m_hSavedCursor);
        m_hSavedCursor = nullptr;
    }
}

void CPosInView::OnLButtonDown(UINT nFlags, CPoint point) {
    if (m_nMouseMode == ModeMoveArmed) {
        m_nMouseMode = ModeMoving;
        m_drag.m_ptPress = point;
        m_painter.m_bCrosshair = false;
    } else if (m_nMouseMode == ModeRectArmed && m_painter.HitTest(point)) {
        m_nMouseMode = ModeRubberBand;
        m_drag.m_ptPress = point;
        m_painter.m_bCrosshair = false;
    } else if (m_nMouseMode == ModeZoom) {
        m_drag.m_ptPress = point;
    }
    CScrollView::OnLButtonDown(nFlags, point);
}

void CPosInView::OnLButtonUp(UINT nFlags, CPoint point) {
    if (m_nMouseMode == ModeMoving) {
        m_nMouseMode = ModeMoveArmed;
        m_painter.m_bCrosshair = false;
    } else if (m_nMouseMode == ModeZoom) {
        RECT dst{};
        m_painter.GetRects(nullptr, &dst);
        const int x = m_painter.m_nOriginX + ToImage(m_drag.m_ptPress.x - dst.left);
        const int y = m_painter.m_nOriginY + ToImage(m_drag.m_ptPress.y - dst.top);
        ZoomIn(x, y, TRUE);
        OnZoomChanged();
    } else if (m_nMouseMode == ModeRubberBand) {
        ZoomToRect(m_drag.m_ptPress, point);
    }
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point)) {
        ::ReleaseCapture();
        m_bCaptured = FALSE;
    }
    CScrollView::OnLButtonUp(nFlags, point);
}

void CPosInView::ZoomToRect(CPoint a, CPoint b) {
    CRect client;
    GetClientRect(&client);
    auto clampIn = [&](CPoint p) {
        return CPoint(std::clamp<LONG>(p.x, 0, std::max<LONG>(client.right - 1, 0)),
                      std::clamp<LONG>(p.y, 0, std::max<LONG>(client.bottom - 1, 0)));
    };
    a = clampIn(a);
    b = clampIn(b);
    const long long n = ZoomNumerator(m_painter.m_dwZoom);
    const long long d = ZoomDenominator(m_painter.m_dwZoom);
    int ex = static_cast<SHORT>((std::abs(b.x - a.x) + 1) * d / n);
    int ey = static_cast<SHORT>((std::abs(b.y - a.y) + 1) * d / n);
    if (ex == 0)
        ex = 1;
    if (ey == 0)
        ey = 1;
    const float sx = static_cast<float>(client.Width()) / static_cast<float>(ex);
    const float sy = static_cast<float>(client.Height()) / static_cast<float>(ey);
    const float s = std::min(sx, sy);
    const double scaled = 100.0 * static_cast<double>(s);
    const int numerator = scaled >= 1e9 ? 1000000000 : static_cast<int>(scaled);
    const CPoint ia = ClientToImage(a, TRUE);
    const CPoint ib = ClientToImage(b, TRUE);
    const int lx = std::min(ia.x, ib.x);
    const int hx = std::max(ia.x, ib.x);
    const int ly = std::min(ia.y, ib.y);
    const int hy = std::max(ia.y, ib.y);
    const CPoint center(lx + (hx + 1 - lx) / 2, ly + (hy + 1 - ly) / 2);
    SetZoom(numerator, 100, FALSE);
    CenterOn(center.x, center.y, TRUE);
    m_nMouseMode = ModeNone;
    m_painter.m_bCrosshair = false;
    NotifyZoomChanged();
    RestoreCursor();
}

void CPosInView::OnRButtonDown(UINT nFlags, CPoint point) {
    if (m_nMouseMode == ModeZoom)
        m_drag.m_ptRightPress = point;
    CScrollView::OnRButtonDown(nFlags, point);
}

void CPosInView::OnRButtonUp(UINT nFlags, CPoint point) {
    if (m_nMouseMode == ModeZoom) {
        const int x = m_painter.m_nOriginX + ToImage(m_drag.m_ptRightPress.x);
        const int y = m_painter.m_nOriginY + ToImage(m_drag.m_ptRightPress.y);
        ZoomOut(x, y, FALSE);
        m_painter.Refresh(GetSafeHwnd(), TRUE);
        OnZoomChanged();
    }
    CScrollView::OnRButtonUp(nFlags, point);
}

void CPosInView::OnMouseMove(UINT nFlags, CPoint point) {
    ClientToImageF(point, TRUE, &m_painter.m_dPointerX, &m_painter.m_dPointerY);
    const bool leftDown = (nFlags & MK_LBUTTON) != 0;
    if (!m_bCaptured && m_painter.HitTest(point)) {
        SetCapture();
        m_bCaptured = TRUE;
        HCURSOR cursor = nullptr;
        switch (m_nMouseMode) {
        case ModeZoom:
            cursor = m_hZoomCursor;
            break;
        case ModeRectArmed:
        case ModeRubberBand:
            cursor = m_hRectCursor;
            break;
        case ModeMoveArmed:
        case ModeMoving:
            cursor = m_hMoveCursor;
            break;
        default:
            if (m_painter.m_bCrosshair)
                cursor = m_painter.m_bCrosshairLines && m_hPointCursor != nullptr ? m_hPointCursor
                                                                                  : m_hCrossCursor;
            break;
        }
        if (cursor != nullptr) {
            HCURSOR previous = ::SetCursor(cursor);
            if (m_hSavedCursor == nullptr)
                m_hSavedCursor = previous;
        }
    }
    if (m_nMouseMode == ModeRubberBand && !leftDown)
        m_nMouseMode = ModeRectArmed;
    if (m_nMouseMode == ModeZoom && leftDown &&
        (std::abs(point.x - m_drag.m_ptPress.x) > m_drag.m_nToleranceX ||
         std::abs(point.y - m_drag.m_ptPress.y) > m_drag.m_nToleranceY))
        m_nMouseMode = ModeRubberBand;
    if (m_nMouseMode == ModeMoving) {
        LONG w = 0;
        LONG h = 0;
        if (m_painter.GetBitmapSize(&w, &h)) {
            const long long n = ZoomNumerator(m_painter.m_dwZoom);
            const long long d = ZoomDenominator(m_painter.m_dwZoom);
            const long long maxX = w - m_painter.m_nClientWidth * d / n;
            const long long maxY = h - m_painter.m_nClientHeight * d / n;
            const long long nx = std::max<long long>(
                std::min<long long>(m_painter.m_nOriginX - (point.x - m_drag.m_ptPress.x) * d / n, maxX), 0);
            const long long ny = std::max<long long>(
                std::min<long long>(m_painter.m_nOriginY - (point.y - m_drag.m_ptPress.y) * d / n, maxY), 0);
            if (nx != m_painter.m_nOriginX || ny != m_painter.m_nOriginY) {
                ScrollToImage(static_cast<int>(nx), static_cast<int>(ny), FALSE);
                m_painter.Refresh(GetSafeHwnd(), FALSE);
                m_drag.m_ptPress = point;
            }
        }
    } else if (m_nMouseMode == ModeRubberBand) {
        m_painter.Refresh(GetSafeHwnd(), FALSE);
        RECT dst{};
        if (m_painter.GetRects(nullptr, &dst)) {
            const CPoint end(std::clamp<LONG>(point.x, dst.left, dst.right),
                             std::clamp<LONG>(point.y, dst.top, dst.bottom));
            CClientDC dc(this);
            const RECT band{std::min(m_drag.m_ptPress.x, end.x), std::min(m_drag.m_ptPress.y, end.y),
                            std::max(m_drag.m_ptPress.x, end.x), std::max(m_drag.m_ptPress.y, end.y)};
            PosInWnd::DrawRect(dc, band, 1, m_drag.m_crRubberBand);
        }
    }
    if (!leftDown && m_bCaptured && !m_painter.HitTest(point)) {
        ::ReleaseCapture();
        m_bCaptured = FALSE;
        RestoreCursor();
        if (m_nMouseMode == ModeMoving)
            m_nMouseMode = ModeMoveArmed;
    }
    CScrollView::OnMouseMove(nFlags, point);
}

BOOL CPosInView::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
    const BOOL scrolled = CScrollView::OnMouseWheel(nFlags, zDelta, pt);
    if (!scrolled)
        return FALSE;
    LONG w = 0;
    LONG h = 0;
    if (!m_painter.GetBitmapSize(&w, &h))
        return scrolled;
    const long long n = ZoomNumerator(m_painter.m_dwZoom);
    const long long d = ZoomDenominator(m_painter.m_dwZoom);
    const long long maxY = h - m_painter.m_nClientHeight * d / n;
    const long long y =
        std::max<long long>(std::min<long long>(m_painter.m_nOriginY - zDelta * d / n, maxY), 0);
    ScrollToImage(m_painter.m_nOriginX, static_cast<int>(y), TRUE);
    return scrolled;
}

void CPosInView::OnScrollBar(int nBar, UINT nSBCode, UINT nPos) {
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(nBar, &si))
        return;
    int mapMode = 0;
    SIZE total{}, page{}, line{};
    GetDeviceScrollSizes(mapMode, total, page, line);
    const int lineStep = nBar == SB_HORZ ? line.cx : line.cy;
    int pos = si.nPos;
    switch (nSBCode) {
    case SB_LINEUP:
        pos -= lineStep;
        break;
    case SB_LINEDOWN:
        pos += lineStep;
        break;
    case SB_PAGEUP:
        pos -= static_cast<int>(si.nPage);
        break;
    case SB_PAGEDOWN:
        pos += static_cast<int>(si.nPage);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        pos = static_cast<int>(static_cast<short>(nPos));
        break;
    case SB_TOP:
        pos = si.nMin;
        break;
    case SB_BOTTOM:
        pos = si.nMax;
        break;
    default:
        break;
    }
    const int clientExtent = nBar == SB_HORZ ? m_painter.m_nClientWidth : m_painter.m_nClientHeight;
    pos = std::max(std::min(pos, si.nMax - clientExtent + 1), si.nMin);
    const int image = ToImage(pos);
    if (nBar == SB_HORZ)
        ScrollToImage(image, m_painter.m_nOriginY, TRUE);
    else
        ScrollToImage(m_painter.m_nOriginX, image, TRUE);
}

// The view keeps bar and picture in step itself; the scroll view's own handling would move the bar
// a second time.
void CPosInView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    if (pScrollBar == nullptr)
        OnScrollBar(SB_HORZ, nSBCode, nPos);
}

void CPosInView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    if (pScrollBar == nullptr)
        OnScrollBar(SB_VERT, nSBCode, nPos);
}

void CPosInView::OnPaint() {
    CPaintDC dc(this);
    if (m_painter.m_hBitmap == nullptr)
        return;
    m_painter.Draw(dc);
    DrawOverlay(&dc);
}

void CPosInView::OnSize(UINT nType, int cx, int cy) {
    CScrollView::OnSize(nType, cx, cy);
    CRect client;
    GetClientRect(&client);
    m_painter.m_nClientWidth = static_cast<SHORT>(client.Width());
    m_painter.m_nClientHeight = static_cast<SHORT>(client.Height());
    OnScrollBar(SB_HORZ, SB_ENDSCROLL, 0);
    OnScrollBar(SB_VERT, SB_ENDSCROLL, 0);
    m_painter.Refresh(GetSafeHwnd(), TRUE);
}
