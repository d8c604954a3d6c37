#include "KivIc/Documents/TiffChildFrame.h"

IMPLEMENT_DYNCREATE(CTiffChildFrame, CBmpChildFrame)
