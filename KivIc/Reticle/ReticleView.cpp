#include "KivIc/Reticle/ReticleView.h"

IMPLEMENT_DYNAMIC(CReticleView, CPosInView)

BEGIN_MESSAGE_MAP(CReticleView, CPosInView)
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_RBUTTONDOWN()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CReticleView::CReticleView() = default;

CReticleDoc* CReticleView::GetReticleDoc() const {
    CDocument* doc = GetDocument();
    return doc != nullptr && doc->IsKindOf(RUNTIME_CLASS(CReticleDoc)) ? static_cast<CReticleDoc*>(doc)
                                                                       : nullptr;
}

double CReticleView::ImageYFromBottom(long height, double y) const {
    const double n = ZoomNumerator(m_painter.m_dwZoom);
    const double d = ZoomDenominator(m_painter.m_dwZoom);
    return (static_cast<double>(height) - y) - d / n;
}

void CReticleView::ClientToImageBottomUp(CPoint point, double* pX, double* pY) const {
    ClientToImageF(point, TRUE, pX, pY);
    CReticleDoc* doc = GetReticleDoc();
    const long height = doc != nullptr ? doc->GetReticleImageHeight() : 0;
    *pY = ImageYFromBottom(height, *pY);
}

void CReticleView::ClientToImage(CPoint point, double* pX, double* pY) const {
    ClientToImageBottomUp(point, pX, pY);
    if (CReticleDoc* doc = GetReticleDoc()) {
        *pX -= doc->GetOriginX();
        *pY -= doc->GetOriginY();
    }
}

BOOL CReticleView::TogglePointInput() {
    CReticleDoc* doc = GetReticleDoc();
    if (doc == nullptr)
        return FALSE;
    if (doc->IsPointInput()) {
        doc->EndPointInput();
        m_painter.m_bCrosshair = false;
    } else if (doc->BeginPointInput()) {
        m_painter.m_bCrosshair = true;
    }
    m_painter.Refresh(GetSafeHwnd(), TRUE);
    return doc->IsPointInput();
}

void CReticleView::OnLButtonDown(UINT nFlags, CPoint point) {
    CReticleDoc* doc = GetReticleDoc();
    if (doc == nullptr || !doc->IsPointInput()) {
        CPosInView::OnLButtonDown(nFlags, point);
        return;
    }
    double x = 0.0;
    double y = 0.0;
    ClientToImage(point, &x, &y);
    if (!doc->AddReticlePoint(x, y)) {
        // A row that cannot be written ends point input, so no click is lost unnoticed.
        doc->EndPointInput();
        m_painter.m_bCrosshair = false;
        AfxMessageBox("The reticle file could not be written; point input has ended.",
                      MB_OK | MB_ICONEXCLAMATION);
        m_painter.Refresh(GetSafeHwnd(), TRUE);
    }
}

void CReticleView::OnRButtonDown(UINT nFlags, CPoint point) {
    CReticleDoc* doc = GetReticleDoc();
    if (doc == nullptr || !doc->IsPointInput()) {
        CPosInView::OnRButtonDown(nFlags, point);
        return;
    }
    double x = 0.0;
    double y = 0.0;
    ClientToImageBottomUp(point, &x, &y);
    doc->SetReticleOrigin(x, y);
    m_painter.Refresh(GetSafeHwnd(), TRUE);
}

void CReticleView::OnMouseMove(UINT nFlags, CPoint point) {
    CPosInView::OnMouseMove(nFlags, point);
}

BOOL CReticleView::OnEraseBkgnd(CDC* pDC) {
    CRect rc;
    GetClientRect(&rc);
    CBrush brush(RGB(180, 180, 180));
    pDC->FillRect(&rc, &brush);
    return TRUE;
}

void CReticleView::DrawOverlay(CDC* pDC) {
    CReticleDoc* doc = GetReticleDoc();
    if (doc == nullptr || !doc->IsPointInput())
        return;
    const double y = ImageYFromBottom(doc->GetReticleImageHeight(), doc->GetOriginY());
    const CPoint p = ImageToClientF(doc->GetOriginX(), y, TRUE);
    m_painter.DrawCross(*pDC, p);
}

void CReticleView::OnInitialUpdate() {
    CPosInView::OnInitialUpdate();
    SetScrollSizes(MM_TEXT, CSize(100, 100));
    SetZoom(1, 1, FALSE);
}

void CReticleView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) {
    m_nActive = bActivate;
    CPosInView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}
