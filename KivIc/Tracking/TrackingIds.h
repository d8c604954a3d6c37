// Command ids and the message of the tracking windows. The point-position bar's three buttons send
// their control ids as commands; the Tracking menu carries them too, with the 2-D setup, the point
// input switch and the export of the tracked positions.
#pragma once

#include "KivIc/Bars/PosDlgBar.h"

enum : UINT {
    ID_TRACK_START = IDC_POS_STARTTRACKING,
    ID_TRACK_VANISH = IDC_POS_VANISH,
    ID_TRACK_MATCHING_PARAM = IDC_POS_MATCHINGPARAM,
    ID_TRACK_SETUP_2D = 3001,
    // Clicks on the picture set the selected point (check mark while on).
    ID_TRACK_POINT_INPUT = 3002,
    ID_TRACK_EXPORT = 3003,
};
