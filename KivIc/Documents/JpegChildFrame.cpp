#include "KivIc/Documents/JpegChildFrame.h"

IMPLEMENT_DYNCREATE(CJpegChildFrame, CBmpChildFrame)
