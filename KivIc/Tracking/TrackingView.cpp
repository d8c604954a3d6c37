#include "KivIc/Tracking/TrackingView.h"

#include <algorithm>
#include <cmath>

#include "KivIc/Tracking/TrackingDoc.h"
#include "vomLib/Control/PosInMarker.h"

IMPLEMENT_DYNCREATE(CTrackingView, CVesloView)

BEGIN_MESSAGE_MAP(CTrackingView, CVesloView)
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CTrackingView::CTrackingView() = default;

CTrackingDoc* CTrackingView::GetTrackingDoc() const {
    return CTrackingDoc::From(GetDocument());
}

long CTrackingView::PictureHeight() const {
    CTrackingDoc* doc = GetTrackingDoc();
    return doc != nullptr ? doc->GetReticleImageHeight() : 0;
}

// --- Coordinates ------------------------------------------------------------------------------------

BOOL CTrackingView::ClientToTablePoint(CPoint point, double* pX, double* pY) const {
    const long height = PictureHeight();
    if (height <= 0 || !m_painter.HitTest(point))
        return FALSE;
    double u = 0.0;
    double v = 0.0;
    ClientToImageF(point, TRUE, &u, &v);
    // The centre of the screen pixel, in picture pixels whose centres are whole numbers.
    const double half = 0.5 * ZoomDenominator(GetZoom()) / ZoomNumerator(GetZoom());
    *pX = u + half - 0.5;
    *pY = static_cast<double>(height) - (v + half - 0.5);
    return TRUE;
}

CPoint CTrackingView::TablePointToClient(double x, double y) const {
    const double row = static_cast<double>(PictureHeight()) - y;
    return ImageToClientF(x + 0.5, row + 0.5, TRUE);
}

CRect CTrackingView::PixelsToClient(int left, int top, int right, int bottom) const {
    const CPoint topLeft = ImageToClientF(left, top, TRUE);
    // Below 1:1 several pixels share a screen pixel: the last one's is included.
    const CPoint last = ImageToClientF(right, bottom, TRUE);
    const CPoint end = ImageToClientF(right + 1, bottom + 1, TRUE);
    return CRect(topLeft.x, topLeft.y, std::max(end.x, last.x + 1), std::max(end.y, last.y + 1));
}

// --- Drawing ----------------------------------------------------------------------------------------

void CTrackingView::DrawOverlay(CDC* pDC) {
    CVesloView::DrawOverlay(pDC);
    CTrackingDoc* doc = GetTrackingDoc();
    if (doc == nullptr || !doc->IsTrackingInput() || doc->GetPointCount() <= 0)
        return;
    const long height = PictureHeight();
    PointFrame* table = doc->GetPointFrameTable();
    const FrameRecord* record = table->FindFrame(static_cast<std::int32_t>(doc->GetCurrentFrame()));
    if (record == nullptr || height <= 0)
        return;
    const TrackingJobPar& params = doc->GetJobTable()->params;
    const int count = std::min(doc->GetPointCount(), record->EntryCount());
    for (int i = 0; i < count; ++i) {
        const PointEntry& entry = *record->GetEntry(i);
        if (entry.state != PointEntry::kFound)
            continue;
        const PositionRow p = table->GetPosition(entry);
        PosInWnd::DrawMarker(*pDC, TablePointToClient(p.x, p.y), PosInWnd::MarkerCircle, kMarkerSize,
                             kMarkerColour);
        // The template is cut around the pixel nearest to the point; a point without parameters has
        // no template to show.
        const MatParam4Point* point = params.Get(i);
        const MatchingParam* mp = point != nullptr ? point->Get(0) : nullptr;
        if (mp == nullptr || mp->templateRadiusX < 0 || mp->templateRadiusY < 0)
            continue;
        const int cx = static_cast<int>(std::lround(p.x));
        const int cy = static_cast<int>(std::lround(static_cast<double>(height) - p.y));
        const CRect frame = PixelsToClient(cx - mp->templateRadiusX, cy - mp->templateRadiusY,
                                           cx + mp->templateRadiusX, cy + mp->templateRadiusY);
        PosInWnd::DrawRect(*pDC, frame, 1, kTemplateColour);
    }
}

LRESULT CTrackingView::OnFrameChanged() {
    if (CTrackingDoc* doc = GetTrackingDoc())
        doc->FollowShownFrame();
    return CVesloView::OnFrameChanged();
}

void CTrackingView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    if (CTrackingDoc* doc = GetTrackingDoc())
        doc->FollowShownFrame();
    CVesloView::OnUpdate(pSender, lHint, pHint);
}

// --- Point input ------------------------------------------------------------------------------------

void CTrackingView::OnLButtonDown(UINT nFlags, CPoint point) {
    CTrackingDoc* doc = GetTrackingDoc();
    if (doc != nullptr && doc->IsTrackingRun()) {
        // Nothing is set while a run works on the document; zooming and panning still work.
        if (GetMouseMode() != ModeNone)
            CPosInView::OnLButtonDown(nFlags, point);
        return;
    }
    if (doc == nullptr || !doc->IsTrackingInput() || GetMouseMode() != ModeNone) {
        CVesloView::OnLButtonDown(nFlags, point);
        return;
    }
    const int row = doc->GetSelectedPositionRow();
    double x = 0.0;
    double y = 0.0;
    if (row < 0 || row >= doc->GetPointCount() || !ClientToTablePoint(point, &x, &y))
        return;
    doc->SetPointPosition(row, x, y);
    m_painter.Refresh(GetSafeHwnd(), FALSE);
}
