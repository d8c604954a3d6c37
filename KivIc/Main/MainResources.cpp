#include "KivIc/Main/MainResources.h"

#include "KivIc/Main/MainFrame.h"
#include "KivIc/Playback/PlaybackMenu.h"

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
    menu.push_back(WindowPopup());
    menu.push_back(HelpPopup());
    return menu;
}

void RegisterMainFrameResources() {
    static const bool done = [] {
        RegisterPlaybackStrings();
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
