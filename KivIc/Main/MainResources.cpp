#include "KivIc/Main/MainResources.h"

#include <QStyle>

#include "KivIc/Bars/CommandIcons.h"
#include "KivIc/Documents/RecordingMenu.h"
#include "KivIc/Main/MainFrame.h"
#include "KivIc/Playback/PlaybackMenu.h"

namespace {

void RegisterPrompts() {
    RegisterCommandPrompts({
        {ID_SYNC_MODE, "Play all open recordings together on a common time axis\nSynchronized Playback"},
        {ID_SYNC_STEP_BACK, "Show the previous frame of all recordings\nReverse Step"},
        {ID_SYNC_SEEK_BEGIN, "Show the first frame of all recordings\nStart Frame"},
        {ID_SYNC_STOP, "Stop playing all recordings\nStop"},
        {ID_SYNC_PLAY, "Play all recordings forward\nPlay"},
        {ID_SYNC_PLAY_BACK, "Play all recordings backward\nRewind Play"},
        {ID_SYNC_STEP_FORWARD, "Show the next frame of all recordings\nForward Step"},
        {ID_SYNC_SEEK_END, "Show the last frame of all recordings\nEnd Frame"},
        {ID_SYNC_SEEK_T0, "Show the trigger time of all recordings\nT0 Jump"},
        {ID_SYNC_LOOP, "Play all recordings over and over again\nLoop"},
        {ID_VIEW_CTRLBAR, "Show or hide the control bar\nControl Bar"},
        {ID_VIEW_IMGLISTBAR, "Show or hide the list of open recordings\nImage List"},
        {ID_VIEW_POSBAR, "Show or hide the list of tracked points\nPosition List"},
        {ID_FILE_OPEN, "Open a recording\nOpen"},
        {ID_WINDOW_TILE_HORZ, "Arrange the windows side by side\nTile"},
    });
}

void RegisterToolIcons() {
    RegisterCommandIcon(ID_SYNC_MODE, CommandGlyph::Synchronize);
    RegisterCommandIcon(ID_WINDOW_TILE_HORZ, CommandGlyph::Tile);
    AfxRegisterStandardIcon(ID_FILE_OPEN, QStyle::SP_DialogOpenButton);
    AfxRegisterStandardIcon(ID_APP_ABOUT, QStyle::SP_MessageBoxInformation);
}

} // namespace

void RegisterMainFrameResources() {
    static const bool done = [] {
        RegisterPlaybackStrings();
        RegisterPrompts();
        RegisterToolIcons();
        AfxRegisterString(IDR_MAINFRAME, "KivIc");
        AfxRegisterMenu(IDR_MAINFRAME, {FileMenuPopup(), ViewMenuPopup(), PlaybackMenuPopup(),
                                        WindowMenuPopup(), HelpMenuPopup()});
        AfxRegisterToolBar(IDR_MAINTOOLBAR, {{ID_FILE_OPEN, "Open a recording"},
                                             {0, ""},
                                             {ID_SYNC_MODE, "Synchronized playback of all recordings"},
                                             {0, ""},
                                             {ID_WINDOW_TILE_HORZ, "Tile the windows"},
                                             {ID_APP_ABOUT, "About KivIc"}});
        return true;
    }();
    (void)done;
}
