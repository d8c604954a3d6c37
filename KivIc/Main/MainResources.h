// The main frame's resources: its menu (shown while no recording window is open, with the popups every
// recording window's menu shares: Documents/RecordingMenu.h), its toolbar, its title and prompts.
#pragma once

#include "platform/afx/afxwin.h"

// Registers menu and title 147 and toolbar 153; once per process.
void RegisterMainFrameResources();
