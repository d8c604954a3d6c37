// The window of a JPEG sequence.
#pragma once

#include "KivIc/Documents/BmpChildFrame.h"

class CJpegChildFrame : public CBmpChildFrame {
    DECLARE_DYNCREATE(CJpegChildFrame)
};
