#include "KivIc/Playback/VesloView.h"

#include <cstdint>

#include "KivIc/Playback/VesloChildFrame.h"
#include "KivIc/Playback/VesloDoc.h"

IMPLEMENT_DYNCREATE(CVesloView, CReticleView)

BEGIN_MESSAGE_MAP(CVesloView, CReticleView)
ON_MESSAGE(WM_FRAMECHANGED, OnFrameChangedMessage)
END_MESSAGE_MAP()

CVesloView::CVesloView() = default;

CVesloDoc* CVesloView::GetVesloDoc() const {
    CDocument* doc = GetDocument();
    return doc != nullptr && doc->IsKindOf(RUNTIME_CLASS(CVesloDoc)) ? static_cast<CVesloDoc*>(doc) : nullptr;
}

LRESULT CVesloView::OnFrameChangedMessage(WPARAM, LPARAM) {
    return OnFrameChanged();
}

LRESULT CVesloView::OnFrameChanged() {
    Invalidate(TRUE);
    UpdateWindow();
    return 0;
}

void CVesloView::SetBitmap(HBITMAP hBitmap) {
    if (hBitmap != nullptr && hBitmap != reinterpret_cast<HBITMAP>(-1)) {
        BITMAP info{};
        if (GetObjectA(hBitmap, sizeof info, &info) == static_cast<int>(sizeof info)) {
            const auto width = static_cast<std::int16_t>(info.bmWidth);
            const auto height = static_cast<std::int16_t>(info.bmHeight);
            if (width > 0 && height > 0 &&
                (static_cast<unsigned short>(width) != m_nBitmapWidth ||
                 static_cast<unsigned short>(height) != m_nBitmapHeight)) {
                CFrameWnd* frame = GetParentFrame();
                if (frame != nullptr && frame->IsKindOf(RUNTIME_CLASS(CVesloChildFrame)))
                    static_cast<CVesloChildFrame*>(frame)->ResetZoom();
            }
            m_nBitmapWidth = static_cast<unsigned short>(width);
            m_nBitmapHeight = static_cast<unsigned short>(height);
        }
    }
    CReticleView::SetBitmap(hBitmap);
}

void CVesloView::TakeDocumentBitmap() {
    CVesloDoc* doc = GetVesloDoc();
    SetBitmap(doc != nullptr ? doc->GetFrameBitmap() : nullptr);
}

int CVesloView::GetZoomPercentShown() const {
    const DWORD zoom = GetZoom();
    const auto numerator = static_cast<std::int16_t>(zoom >> 16);
    const auto denominator = static_cast<std::int16_t>(zoom & 0xFFFF);
    return denominator != 0 ? numerator * 100 / denominator : 0;
}

void CVesloView::OnZoomChanged() {
    CFrameWnd* frame = GetParentFrame();
    if (frame != nullptr && frame->IsKindOf(RUNTIME_CLASS(CVesloChildFrame)))
        static_cast<CVesloChildFrame*>(frame)->ShowZoom(GetZoomPercentShown());
}

void CVesloView::OnInitialUpdate() {
    CReticleView::OnInitialUpdate();
    SetScrollSizes(MM_TEXT, CSize(100, 100));
}
