// The "Tracking" popup that every recording window's menu holds: the 2-D setup, the point input
// switch, the three commands of the point-position bar and the export of the tracked positions. The
// prompts of these commands are registered with it.
#pragma once

#include "platform/afx/afxwin.h"

AFX_MENU_ITEM TrackingMenuPopup();

// The prompts of the tracking commands; once per process.
void RegisterTrackingStrings();
