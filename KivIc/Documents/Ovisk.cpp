#include "KivIc/Documents/Ovisk.h"

IMPLEMENT_DYNCREATE(COvisk, CTrackingView)

COvisk::COvisk() = default;

void COvisk::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    TakeDocumentBitmap();
    CTrackingView::OnUpdate(pSender, lHint, pHint);
}

LRESULT COvisk::OnFrameChanged() {
    TakeDocumentBitmap();
    return CTrackingView::OnFrameChanged();
}
