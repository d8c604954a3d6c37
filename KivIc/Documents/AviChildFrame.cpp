#include "KivIc/Documents/AviChildFrame.h"

IMPLEMENT_DYNCREATE(CAviChildFrame, CTrackingChildFrame)
