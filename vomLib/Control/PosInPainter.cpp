#include "vomLib/Control/PosInPainter.h"

BOOL CPosInPainter::GetBitmapSize(LONG* pWidth, LONG* pHeight) const {
    BITMAP bm{};
    if (m_hBitmap == nullptr || GetObject(m_hBitmap, sizeof(bm), &bm) != sizeof(bm))
        return FALSE;
    *pWidth = bm.bmWidth;
    *pHeight = bm.bmHeight;
    return TRUE;
}

BOOL CPosInPainter::GetRects(RECT* pSource, RECT* pDestination) const {
    LONG width = 0;
    LONG height = 0;
    if (!GetBitmapSize(&width, &height))
        return FALSE;
    const long long n = ZoomNumerator(m_dwZoom);
    const long long d = ZoomDenominator(m_dwZoom);
    if (n <= 0 || d <= 0)
        return FALSE;
    const long long cw = m_nClientWidth;
    const long long ch = m_nClientHeight;
    long long dl = m_nDestX;
    long long dt = m_nDestY;
    long long dr = dl + cw - 1;
    long long db = dt + ch - 1;
    const long long sl = m_nOriginX;
    const long long st = m_nOriginY;
    long long sr = sl + cw * d / n - 1;
    long long sb = st + ch * d / n - 1;
    // The source never reaches past the bitmap's last column or row.
    if (sr > width - 1) {
        sr = width - 1;
        dr = (width - sl) * n / d - 1;
    }
    if (sb > height - 1) {
        sb = height - 1;
        db = (height - st) * n / d;
    }
    if (m_dwAlign & POSIN_ALIGN_VFILL) {
        dt = 0;
        db = ch;
    } else if (db < ch && !(m_dwAlign & POSIN_ALIGN_TOP)) {
        if (m_dwAlign & POSIN_ALIGN_VCENTER) {
            dt += (ch - db) / 2;
            db = db + (ch - db) / 2;
        } else if (m_dwAlign & POSIN_ALIGN_BOTTOM) {
            dt += ch - db;
            db = ch;
        }
    }
    if (m_dwAlign & POSIN_ALIGN_HFILL) {
        dl = 0;
        dr = cw;
    } else if (dr < cw && !(m_dwAlign & POSIN_ALIGN_LEFT)) {
        if (m_dwAlign & POSIN_ALIGN_HCENTER) {
            dl += (cw - dr) / 2;
            dr = dr + (cw - dr) / 2;
        } else if (m_dwAlign & POSIN_ALIGN_RIGHT) {
            dl += cw - dr;
            dr = cw;
        }
    }
    dr = (sr - sl + 1) * n / d + dl - 1;
    db = (sb - st + 1) * n / d + dt - 1;
    if (pSource != nullptr)
        *pSource =
            RECT{static_cast<LONG>(sl), static_cast<LONG>(st), static_cast<LONG>(sr), static_cast<LONG>(sb)};
    if (pDestination != nullptr)
        *pDestination =
            RECT{static_cast<LONG>(dl), static_cast<LONG>(dt), static_cast<LONG>(dr), static_cast<LONG>(db)};
    return TRUE;
}

POINT CPosInPainter::GetAlignOffset() const {
    RECT dst{};
    if (!GetRects(nullptr, &dst))
        return POINT{0, 0};
    return POINT{dst.left - m_nDestX, dst.top - m_nDestY};
}

BOOL CPosInPainter::HitTest(POINT point) const {
    RECT dst{};
    if (!GetRects(nullptr, &dst))
        return FALSE;
    return point.x >= dst.left && point.x <= dst.right && point.y >= dst.top && point.y <= dst.bottom;
}

void CPosInPainter::Draw(HDC hDC) {
    RECT src{};
    RECT dst{};
    if (!GetRects(&src, &dst))
        return;
    HDC mem = CreateCompatibleDC(hDC);
    HGDIOBJ old = SelectObject(mem, m_hBitmap);
    const int oldMode = SetStretchBltMode(hDC, COLORONCOLOR);
    StretchBlt(hDC, dst.left, dst.top, dst.right - dst.left + 1, dst.bottom - dst.top + 1, mem, src.left,
               src.top, src.right - src.left + 1, src.bottom - src.top + 1, SRCCOPY);
    SetStretchBltMode(hDC, oldMode);
    SelectObject(mem, old);
    DeleteDC(mem);
    if (m_bCrosshair && m_bCrosshairLines) {
        const long long n = ZoomNumerator(m_dwZoom);
        const long long d = ZoomDenominator(m_dwZoom);
        const POINT offset = GetAlignOffset();
        POINT p{static_cast<LONG>((m_dPointerX - m_nOriginX) * n / d) + offset.x + m_nDestX,
                static_cast<LONG>((m_dPointerY - m_nOriginY) * n / d) + offset.y + m_nDestY};
        if (HitTest(p))
            DrawCross(hDC, p);
    }
}

void CPosInPainter::Refresh(HWND hWnd, BOOL bErase) {
    RECT rc{};
    if (::GetClientRect(hWnd, &rc)) {
        m_nClientWidth = static_cast<SHORT>(rc.right - rc.left);
        m_nClientHeight = static_cast<SHORT>(rc.bottom - rc.top);
    }
    ::InvalidateRect(hWnd, nullptr, bErase);
    ::UpdateWindow(hWnd);
}

void CPosInPainter::DrawCross(HDC hDC, POINT point) const {
    RECT dst{};
    if (!GetRects(nullptr, &dst))
        return;
    HPEN pen = CreatePen(m_nCrossPenStyle, 1, m_crCross);
    HGDIOBJ old = SelectObject(hDC, pen);
    // Window coordinates are the device coordinates here, so the rectangle needs no conversion.
    const int half = m_nCrossWidth / 2;
    for (int i = -half; i <= half; ++i) {
        MoveToEx(hDC, point.x + i, dst.top, nullptr);
        LineTo(hDC, point.x + i, dst.bottom + 1);
        MoveToEx(hDC, dst.left, point.y + i, nullptr);
        LineTo(hDC, dst.right + 1, point.y + i);
    }
    SelectObject(hDC, old);
    DeleteObject(pen);
}
