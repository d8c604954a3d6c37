// The menu of every recording window and the popups it shares with the main frame's own menu (File,
// View, Window, Help), with the main frame's commands that the View popup carries and the main frame's
// resource id.
#pragma once

#include <vector>

#include "platform/afx/afxwin.h"

// The main frame's menu built from the shared popups, its title, and the program's icon, which the
// progress windows show too.
enum : UINT {
    IDR_MAINFRAME = 147,
};

// The main frame's commands that show or hide its bars (the View popup).
enum : UINT {
    ID_VIEW_CTRLBAR = 59394,
    ID_VIEW_IMGLISTBAR = 32887,
    ID_VIEW_POSBAR = 32888,
};

AFX_MENU_ITEM FileMenuPopup();
AFX_MENU_ITEM ViewMenuPopup();
AFX_MENU_ITEM WindowMenuPopup();
AFX_MENU_ITEM HelpMenuPopup();

// A recording window's menu: the File and View popups, the document's own popups, the "Playback",
// "Picture" and "Tracking" popups, then Window and Help.
std::vector<AFX_MENU_ITEM> BuildRecordingMenu(std::vector<AFX_MENU_ITEM> ownPopups = {});
