// The view of a TIFF sequence.
#pragma once

#include "KivIc/Documents/BmpView.h"

class CTiffView : public CBmpView {
    DECLARE_DYNCREATE(CTiffView)
};
