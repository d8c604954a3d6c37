#include "KivIc/Documents/JpegView.h"

IMPLEMENT_DYNCREATE(CJpegView, CBmpView)
