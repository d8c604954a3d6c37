#include "KivIc/Documents/Ovisk.h"

#include "KivIc/Playback/VesloDoc.h"

IMPLEMENT_DYNCREATE(COvisk, CTrackingView)

COvisk::COvisk() = default;

void COvisk::TakeDocumentBitmap() {
    CVesloDoc* doc = GetVesloDoc();
    HBITMAP bitmap = doc != nullptr ? doc->GetFrameBitmap() : nullptr;
    if (bitmap != GetBitmap())
        SetBitmap(bitmap);
}

void COvisk::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) {
    TakeDocumentBitmap();
    CTrackingView::OnUpdate(pSender, lHint, pHint);
}

LRESULT COvisk::OnFrameChanged() {
    TakeDocumentBitmap();
    return CTrackingView::OnFrameChanged();
}
