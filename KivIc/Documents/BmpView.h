// The view of an image sequence (and of the JPEG and TIFF sequences): shows the document's display
// bitmap through the tracking view, taking it anew on every update and every frame change.
#pragma once

#include "KivIc/Tracking/TrackingView.h"

class CBmpView : public CTrackingView {
    DECLARE_DYNCREATE(CBmpView)
public:
    CBmpView();

    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    // Takes the document's display bitmap, then the playback view's refresh.
    LRESULT OnFrameChanged() override;
};
