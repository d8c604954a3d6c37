// The view of the AVI document (and of the documents built on it): shows the document's display
// bitmap through the tracking view, taking it anew on every update and every frame change.
#pragma once

#include "KivIc/Tracking/TrackingView.h"

class COvisk : public CTrackingView {
    DECLARE_DYNCREATE(COvisk)
public:
    COvisk();

    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    LRESULT OnFrameChanged() override;
};
