#include "KivIc/Documents/RecordingMenu.h"

#include "KivIc/Playback/PlaybackMenu.h"
#include "KivIc/Tracking/TrackingMenu.h"

namespace {

AFX_MENU_ITEM Item(const char* text, UINT id) {
    return AFX_MENU_ITEM(CString(text), id);
}

} // namespace

AFX_MENU_ITEM FileMenuPopup() {
    return AFX_MENU_ITEM(CString("&File"), 0,
                         {Item("&New\tCtrl+N", ID_FILE_NEW), Item("&Open...\tCtrl+O", ID_FILE_OPEN),
                          Item("&Close", ID_FILE_CLOSE), AFX_MENU_ITEM(),
                          Item("Recent File", ID_FILE_MRU_FILE1), AFX_MENU_ITEM(),
                          Item("E&xit", ID_APP_EXIT)});
}

AFX_MENU_ITEM ViewMenuPopup() {
    return AFX_MENU_ITEM(CString("&View"), 0,
                         {Item("&Toolbar", ID_VIEW_TOOLBAR), Item("&Status Bar", ID_VIEW_STATUS_BAR),
                          Item("&Control Bar", ID_VIEW_CTRLBAR), Item("&Image List", ID_VIEW_IMGLISTBAR),
                          Item("&Position List", ID_VIEW_POSBAR)});
}

AFX_MENU_ITEM WindowMenuPopup() {
    return AFX_MENU_ITEM(CString("&Window"), 0,
                         {Item("&Tile", ID_WINDOW_TILE_HORZ), Item("&Cascade", ID_WINDOW_CASCADE)});
}

AFX_MENU_ITEM HelpMenuPopup() {
    return AFX_MENU_ITEM(CString("&Help"), 0, {Item("&About KivIc...", ID_APP_ABOUT)});
}

std::vector<AFX_MENU_ITEM> BuildRecordingMenu(std::vector<AFX_MENU_ITEM> ownPopups) {
    std::vector<AFX_MENU_ITEM> menu{FileMenuPopup(), ViewMenuPopup()};
    for (AFX_MENU_ITEM& popup : ownPopups)
        menu.push_back(std::move(popup));
    menu.push_back(PlaybackMenuPopup());
    menu.push_back(PictureMenuPopup());
    menu.push_back(TrackingMenuPopup());
    menu.push_back(WindowMenuPopup());
    menu.push_back(HelpMenuPopup());
    return menu;
}
