// The window of an AVI document: the tracking window as it is; the raw camera window derives from it.
#pragma once

#include "KivIc/Tracking/TrackingChildFrame.h"

class CAviChildFrame : public CTrackingChildFrame {
    DECLARE_DYNCREATE(CAviChildFrame)
};
