// The window of an image sequence: the tracking window as it is; the JPEG and TIFF windows derive
// from it.
#pragma once

#include "KivIc/Tracking/TrackingChildFrame.h"

class CBmpChildFrame : public CTrackingChildFrame {
    DECLARE_DYNCREATE(CBmpChildFrame)
};
