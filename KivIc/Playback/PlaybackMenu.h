// The menu pieces every recording window's menu holds: the "Playback" popup with the nine playback
// commands and synchronised mode, and the "Picture" popup with the zoom, mouse-mode and information
// commands. The playback layer's strings are registered with them.
#pragma once

#include <initializer_list>

#include "platform/afx/afxwin.h"

AFX_MENU_ITEM PlaybackMenuPopup();
AFX_MENU_ITEM PictureMenuPopup();

// The strings of the playback layer (picture information, "No Infomation") and the prompts of its
// commands; once per process.
void RegisterPlaybackStrings();

// A command's prompt: its status text, a line end, its tool tip.
struct CommandPrompt {
    UINT id;
    const char* prompt;
};
void RegisterCommandPrompts(std::initializer_list<CommandPrompt> prompts);
