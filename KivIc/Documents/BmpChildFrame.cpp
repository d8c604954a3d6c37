#include "KivIc/Documents/BmpChildFrame.h"

IMPLEMENT_DYNCREATE(CBmpChildFrame, CTrackingChildFrame)
