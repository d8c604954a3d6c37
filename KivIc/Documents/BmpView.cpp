#include "KivIc/Documents/BmpView.h"

IMPLEMENT_DYNCREATE(CBmpView, CTrackingView)

CBmpView::CBmpView() = default;

void CBmpView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    TakeDocumentBitmap();
    CTrackingView::OnUpdate(pSender, lHint, pHint);
}

LRESULT CBmpView::OnFrameChanged() {
    TakeDocumentBitmap();
    return CTrackingView::OnFrameChanged();
}
