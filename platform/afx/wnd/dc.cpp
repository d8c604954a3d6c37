#include "platform/afx/wnd/dc.h"

#include "platform/afx/wnd/wnd.h"
#include "platform/gdi/gdiqt.h"

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CDC, CObject)

BOOL CGdiObject::DeleteObject() {
    if (m_hObject == nullptr)
        return FALSE;
    BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return ok;
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (hObject == nullptr)
        return FALSE;
    DeleteObject();
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    return Attach(reinterpret_cast<HGDIOBJ>(::CreatePen(nPenStyle, nWidth, crColor)));
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    return Attach(reinterpret_cast<HGDIOBJ>(::CreateSolidBrush(crColor)));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    return Attach(reinterpret_cast<HGDIOBJ>(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight)));
}

CDC::~CDC() {
    if (m_bOwned && m_hDC != nullptr)
        ::DeleteDC(m_hDC);
}

CDC* CDC::FromHandle(HDC hDC) {
    // A short ring of wrappers per thread: handlers use them only for the call they are given them in.
    thread_local CDC ring[16];
    thread_local int next = 0;
    CDC* dc = &ring[next];
    next = (next + 1) % 16;
    dc->m_bOwned = false;
    dc->m_hDC = hDC;
    return dc;
}

BOOL CDC::Attach(HDC hDC) {
    if (hDC == nullptr)
        return FALSE;
    m_hDC = hDC;
    m_bOwned = true;
    return TRUE;
}

HDC CDC::Detach() {
    HDC h = m_hDC;
    m_hDC = nullptr;
    m_bOwned = false;
    return h;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    return Attach(::CreateCompatibleDC(pDC != nullptr ? pDC->m_hDC : nullptr));
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr)
        return FALSE;
    BOOL ok = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_bOwned = false;
    return ok;
}

CPoint CDC::MoveTo(int x, int y) {
    POINT old{0, 0};
    ::MoveToEx(m_hDC, x, y, &old);
    return CPoint(old);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    HBRUSH brush = ::CreateSolidBrush(clr);
    ::FillRect(m_hDC, lpRect, brush);
    ::DeleteObject(brush);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
    RECT rc{x, y, x + cx, y + cy};
    FillSolidRect(&rc, clr);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_pWnd(pWnd) {
    QImage* surface = pWnd->GetSurface();
    if (surface != nullptr)
        Attach(CreateDCOnImage(surface));
}

CPaintDC::~CPaintDC() = default;

CClientDC::CClientDC(CWnd* pWnd) : m_pWnd(pWnd) {
    m_hDC = ::GetDC(pWnd->GetSafeHwnd());
}

CClientDC::~CClientDC() {
    if (m_hDC != nullptr)
        ::ReleaseDC(m_pWnd->GetSafeHwnd(), m_hDC);
    m_hDC = nullptr;
}
