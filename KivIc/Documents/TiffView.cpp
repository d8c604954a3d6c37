#include "KivIc/Documents/TiffView.h"

IMPLEMENT_DYNCREATE(CTiffView, CBmpView)
