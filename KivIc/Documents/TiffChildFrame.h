// The window of a TIFF sequence.
#pragma once

#include "KivIc/Documents/BmpChildFrame.h"

class CTiffChildFrame : public CBmpChildFrame {
    DECLARE_DYNCREATE(CTiffChildFrame)
};
