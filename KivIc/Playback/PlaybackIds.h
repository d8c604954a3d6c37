// Command ids of the recording windows: the playback commands (renumbered to the main frame's
// synchronised ones in synchronised mode), the zoom, mouse-mode and information commands, the file
// documents' Reload and "Save as", the main frame's synchronised commands, and the playback layer's
// strings.
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
    ID_MOUSE_MOVE = 1040,
    ID_MOUSE_ZOOM = 1042,
    ID_MOUSE_ZOOM_RECT = 1043,
    ID_ZOOM_IN = 1125,
    ID_ZOOM_OUT = 1127,
    ID_ZOOM_ORIGINAL = 32872,
    ID_PICTURE_INFO = 32786,
    ID_RETICLE_INPUT = 2000,
    ID_CTRL_2001 = 2001,
    ID_FRAME_RATE = 2004,
    // The file documents' windows.
    ID_IMAGE_RELOAD = 32822,
    ID_FILE_CONVERT_SAVE = 32827,
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

// String resources of the playback layer.
enum : UINT {
    IDS_PICTURE_INFO_FORMAT = 104,
    IDS_NO_INFORMATION = 105,
};
