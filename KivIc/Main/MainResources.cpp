#include "KivIc/Main/MainResources.h"

#include <QStyle>

#include "KivIc/Bars/CommandIcons.h"
#include "KivIc/Main/MainFrame.h"
#include "KivIc/Playback/PlaybackMenu.h"
#include "KivIc/Tracking/TrackingMenu.h"

namespace {

constexpr UINT kAboutCommand = 57664;

AFX_MENU_ITEM Item(const char* text, UINT id) {
    return AFX_MENU_ITEM(CString(text), id);
}

AFX_MENU_ITEM FilePopup() {
    return AFX_MENU_ITEM(CString("&File"), 0,
                         {Item("&New\tCtrl+N", ID_FILE_NEW), Item("&Open...\tCtrl+O", ID_FILE_OPEN),
                          Item("&Close", ID_FILE_CLOSE), AFX_MENU_ITEM(),
                          Item("Recent File", ID_FILE_MRU_FILE1), AFX_MENU_ITEM(),
                          Item("E&xit", ID_APP_EXIT)});
}

AFX_MENU_ITEM ViewPopup() {
    return AFX_MENU_ITEM(CString("&View"), 0,
                         {Item("&Toolbar", ID_VIEW_TOOLBAR), Item("&Status Bar", ID_VIEW_STATUS_BAR),
                          Item("&Control Bar", ID_VIEW_CTRLBAR), Item("&Image List", ID_VIEW_IMGLISTBAR),
                          Item("&Position List", ID_VIEW_POSBAR)});
}

AFX_MENU_ITEM WindowPopup() {
    return AFX_MENU_ITEM(CString("&Window"), 0,
                         {Item("&Tile", ID_WINDOW_TILE_HORZ), Item("&Cascade", ID_WINDOW_CASCADE)});
}

AFX_MENU_ITEM HelpPopup() {
    return AFX_MENU_ITEM(CString("&Help"), 0, {Item("&About KivIc...", kAboutCommand)});
}

} // namespace

std::vector<AFX_MENU_ITEM> BuildRecordingMenu(std::vector<AFX_MENU_ITEM> ownPopups) {
    std::vector<AFX_MENU_ITEM> menu{FilePopup(), ViewPopup()};
    for (AFX_MENU_ITEM& popup : ownPopups)
        menu.push_back(std::move(popup));
    menu.push_back(PlaybackMenuPopup());
    menu.push_back(PictureMenuPopup());
    menu.push_back(TrackingMenuPopup());
    menu.push_back(WindowPopup());
    menu.push_back(HelpPopup());
    return menu;
}

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
    AfxRegisterStandardIcon(kAboutCommand, QStyle::SP_MessageBoxInformation);
}

} // namespace

void RegisterMainFrameResources() {
    static const bool done = [] {
        RegisterPlaybackStrings();
        RegisterPrompts();
        RegisterToolIcons();
        AfxRegisterString(IDR_MAINFRAME, "KivIc");
        AfxRegisterMenu(IDR_MAINFRAME,
                        {FilePopup(), ViewPopup(), PlaybackMenuPopup(), WindowPopup(), HelpPopup()});
        AfxRegisterToolBar(IDR_MAINTOOLBAR, {{ID_FILE_OPEN, "Open a recording"},
                                             {0, ""},
                                             {ID_SYNC_MODE, "Synchronized playback of all recordings"},
                                             {0, ""},
                                             {ID_WINDOW_TILE_HORZ, "Tile the windows"},
                                             {kAboutCommand, "About KivIc"}});
        return true;
    }();
    (void)done;
}
