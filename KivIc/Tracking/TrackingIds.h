// Command ids of the tracking windows, and the commands a recording window refuses while a long
// operation works on its document. The point-position bar's three buttons send their control ids as
// commands; the Tracking menu carries them too, with the 2-D setup, the point input switch and the
// export of the tracked positions.
#pragma once

#include "KivIc/Bars/PosDlgBar.h"
#include "KivIc/Playback/PlaybackIds.h"

enum : UINT {
    ID_TRACK_START = IDC_POS_STARTTRACKING,
    ID_TRACK_VANISH = IDC_POS_VANISH,
    ID_TRACK_MATCHING_PARAM = IDC_POS_MATCHINGPARAM,
    ID_TRACK_SETUP_2D = 3001,
    // Clicks on the picture set the selected point (check mark while on).
    ID_TRACK_POINT_INPUT = 3002,
    ID_TRACK_EXPORT = 3003,
};

// What a recording window refuses while a tracking run or a conversion works on its document (it is
// busy): moving, playing, synchronising, reloading, converting or closing the document, changing its
// points, its setup or its rate, and the reticle's point input. The window's own Stop stays: it ends a run.
inline constexpr UINT kRefusedWhileBusy[] = {
    ID_PLAY_START_FRAME, ID_PLAY_REVERSE_STEP, ID_PLAY_REWIND,  ID_PLAY_PLAY,      ID_PLAY_FORWARD_STEP,
    ID_PLAY_END_FRAME,   ID_PLAY_T0,           ID_PLAY_LOOP,    ID_PLAY_SET_BEGIN, ID_PLAY_SET_END,
    ID_RETICLE_INPUT,    ID_FRAME_RATE,        ID_TRACK_START,  ID_TRACK_VANISH,   ID_TRACK_MATCHING_PARAM,
    ID_TRACK_SETUP_2D,   ID_TRACK_POINT_INPUT, ID_TRACK_EXPORT, ID_FILE_CLOSE,     ID_IMAGE_RELOAD,
    ID_FILE_CONVERT_SAVE};

inline constexpr bool IsRefusedWhileBusy(UINT id) {
    if (id >= ID_SYNC_MODE && id <= ID_SYNC_LOOP)
        return true;
    for (UINT refused : kRefusedWhileBusy) {
        if (refused == id)
            return true;
    }
    return false;
}
