// The commands of the control bar's buttons, which the recording windows and the main frame handle
// and their menus carry: the playback commands of a recording, the main frame's synchronised ones
// (the nine playback buttons carry these instead in synchronised mode), the play-range edges, point
// input and the frame-rate dialog.
#pragma once

#include "platform/win32/types.h"

enum : UINT {
    ID_PLAY_START_FRAME = 1028,
    ID_PLAY_REVERSE_STEP = 1030,
    ID_PLAY_REWIND = 1112, // play backward
    ID_PLAY_STOP = 1031,
    ID_PLAY_PLAY = 1032,
    ID_PLAY_FORWARD_STEP = 1033,
    ID_PLAY_END_FRAME = 1034,
    ID_PLAY_T0 = 1039,
    ID_PLAY_LOOP = 1165,
    ID_PLAY_SET_BEGIN = 1111,
    ID_PLAY_SET_END = 1113,
    ID_RETICLE_INPUT = 2000,
    ID_CTRL_2001 = 2001,
    ID_FRAME_RATE = 2004,
};

// The main frame's synchronised playback: the mode, and the nine playback commands in the control bar's
// order of renumbering.
enum : UINT {
    ID_SYNC_MODE = 1000,
    ID_SYNC_STEP_BACK = 1001,
    ID_SYNC_SEEK_BEGIN = 1002,
    ID_SYNC_STOP = 1003,
    ID_SYNC_PLAY = 1004,
    ID_SYNC_PLAY_BACK = 1005,
    ID_SYNC_STEP_FORWARD = 1006,
    ID_SYNC_SEEK_END = 1007,
    ID_SYNC_SEEK_T0 = 1008,
    ID_SYNC_LOOP = 1009,
};

// The nine playback buttons in the bar's order: the recording's command and the synchronised one.
inline constexpr UINT kPlaybackCommandPairs[][2] = {
    {ID_PLAY_START_FRAME, ID_SYNC_SEEK_BEGIN},
    {ID_PLAY_REVERSE_STEP, ID_SYNC_STEP_BACK},
    {ID_PLAY_REWIND, ID_SYNC_PLAY_BACK},
    {ID_PLAY_STOP, ID_SYNC_STOP},
    {ID_PLAY_PLAY, ID_SYNC_PLAY},
    {ID_PLAY_FORWARD_STEP, ID_SYNC_STEP_FORWARD},
    {ID_PLAY_END_FRAME, ID_SYNC_SEEK_END},
    {ID_PLAY_T0, ID_SYNC_SEEK_T0},
    {ID_PLAY_LOOP, ID_SYNC_LOOP},
};
