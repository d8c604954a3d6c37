// The main frame's resources: its menu (shown while no recording window is open), its toolbar, its
// title, and the popups that every recording window's menu shares with it.
#pragma once

#include <vector>

#include "platform/afx/afxwin.h"

// Registers menu and title 147 and toolbar 153; once per process.
void RegisterMainFrameResources();

// A recording window's menu: the frame's File and View popups, the document's own popups, the
// "Playback", "Picture" and "Tracking" popups, then Window and Help.
std::vector<AFX_MENU_ITEM> BuildRecordingMenu(std::vector<AFX_MENU_ITEM> ownPopups = {});
