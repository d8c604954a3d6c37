// The program's own button faces: small glyphs drawn for the playback commands and the main frame's
// tools, registered as the icons of the commands' ids so that toolbar and control-bar buttons show
// them instead of text.
#pragma once

#include "platform/win32/types.h"

class QImage;

enum class CommandGlyph {
    Play,
    PlayBackward,
    Stop,
    StepForward,
    StepBackward,
    FirstFrame,
    LastFrame,
    Trigger,
    Loop,
    RangeBegin,
    RangeEnd,
    PointInput,
    FrameRate,
    More,
    Synchronize,
    Tile,
};

// The glyph on a transparent square of the given side.
QImage DrawCommandGlyph(CommandGlyph glyph, int side = 32);
void RegisterCommandIcon(UINT nID, CommandGlyph glyph);
// The faces of the control bar's buttons, under both the document and the synchronised ids; once
// per process, with the Qt application made.
void RegisterCtrlBarIcons();
