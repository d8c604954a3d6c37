// The view of a JPEG sequence.
#pragma once

#include "KivIc/Documents/BmpView.h"

class CJpegView : public CBmpView {
    DECLARE_DYNCREATE(CJpegView)
};
