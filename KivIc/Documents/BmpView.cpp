#include "KivIc/Documents/BmpView.h"

#include "KivIc/Playback/VesloDoc.h"

IMPLEMENT_DYNCREATE(CBmpView, CTrackingView)

CBmpView::CBmpView() = default;

void CBmpView::TakeDocumentBitmap() {
    CVesloDoc* doc = GetVesloDoc();
    // A gap in the sequence shows no picture.
    SetBitmap(doc != nullptr ? doc->GetFrameBitmap() : nullptr);
}

void CBmpView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    TakeDocumentBitmap();
    CTrackingView::OnUpdate(pSender, lHint, pHint);
}

LRESULT CBmpView::OnFrameChanged() {
    TakeDocumentBitmap();
    return CTrackingView::OnFrameChanged();
}
