// Command ids of the recording windows: the playback commands with the main frame's synchronised ones
// (the control bar's buttons carry them: Bars/PlaybackCommands.h), the zoom, mouse-mode and information
// commands, the file documents' Reload and "Save as", and the playback layer's strings.
#pragma once

#include "KivIc/Bars/PlaybackCommands.h"
#include "platform/win32/types.h"

enum : UINT {
    ID_MOUSE_MOVE = 1040,
    ID_MOUSE_ZOOM = 1042,
    ID_MOUSE_ZOOM_RECT = 1043,
    ID_ZOOM_IN = 1125,
    ID_ZOOM_OUT = 1127,
    ID_ZOOM_ORIGINAL = 32872,
    ID_PICTURE_INFO = 32786,
    // The file documents' windows.
    ID_IMAGE_RELOAD = 32822,
    ID_FILE_CONVERT_SAVE = 32827,
};

// String resources of the playback layer.
enum : UINT {
    IDS_PICTURE_INFO_FORMAT = 104,
    IDS_NO_INFORMATION = 105,
};
