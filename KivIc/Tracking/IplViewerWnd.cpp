#include "KivIc/Tracking/IplViewerWnd.h"

#include "KivIc/Tracking/IplViewer.h"
#include "KivIc/Tracking/IplViewerTable.h"

BEGIN_MESSAGE_MAP(CIplViewerWnd, CWnd)
ON_WM_PAINT()
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

BOOL CIplViewerWnd::CreateViewer(const char* title, int width, int height, bool modal, int left, int top) {
    const RECT rect{modal ? 0 : left, modal ? 0 : top, (modal ? 0 : left) + width,
                    (modal ? 0 : top) + height};
    if (!Create(nullptr, title, WS_POPUP | WS_CAPTION | WS_SYSMENU, rect, nullptr, 0))
        return FALSE;
    if (modal)
        CenterWindow();
    ShowWindow(SW_SHOW);
    return TRUE;
}

void CIplViewerWnd::OnPaint() {
    CPaintDC dc(this);
    auto* image = const_cast<IplImage*>(m_table.ImageOf(m_slot));
    if (image == nullptr || image->imageData == nullptr || DrawIplImage(dc, image) != 1) {
        static const char kProblem[] = "Problem to draw IPLib image";
        TextOutA(dc, 10, 10, kProblem, static_cast<int>(sizeof kProblem - 1));
    }
}

void CIplViewerWnd::OnKeyDown(UINT nChar, UINT, UINT) {
    if (nChar == VK_RETURN || nChar == VK_ESCAPE)
        DestroyWindow();
}

void CIplViewerWnd::PostNcDestroy() {
    m_table.Remove(m_slot);
    delete this;
}
