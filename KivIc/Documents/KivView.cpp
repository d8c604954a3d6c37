#include "KivIc/Documents/KivView.h"

#include "KivIc/Documents/FcDoc.h"

IMPLEMENT_DYNCREATE(CKivView, COvisk)

BEGIN_MESSAGE_MAP(CKivView, COvisk)
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CKivView::CKivView() = default;

CFcDoc* CKivView::GetFcDoc() const {
    CDocument* doc = GetDocument();
    return doc != nullptr && doc->IsKindOf(RUNTIME_CLASS(CFcDoc)) ? static_cast<CFcDoc*>(doc) : nullptr;
}

BOOL CKivView::PickSamplePoint(CPoint picture) {
    CFcDoc* doc = GetFcDoc();
    if (doc == nullptr || !doc->IsAwbSampleMode())
        return FALSE;
    // The bounds are those of the converted picture (the recording's display size), which is what the
    // view shows.
    if (picture.x < 0 || picture.x >= doc->GetFrameWidth() || picture.y < 0 ||
        picture.y >= doc->GetFrameHeight())
        return FALSE;
    if (!doc->SampleWhiteBalanceAt(picture.x, picture.y))
        return FALSE;
    doc->SetAwbSampleMode(FALSE);
    return TRUE;
}

void CKivView::OnLButtonDown(UINT nFlags, CPoint point) {
    CFcDoc* doc = GetFcDoc();
    // A tracking run keeps the picture as it is: its clicks are the tracking view's, which sets nothing.
    if (doc == nullptr || !doc->IsAwbSampleMode() || doc->IsTrackingRun()) {
        COvisk::OnLButtonDown(nFlags, point);
        return;
    }
    PickSamplePoint(ClientToImage(point, TRUE));
}
