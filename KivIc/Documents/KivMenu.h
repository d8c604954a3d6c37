// The raw camera window's menu (resource 148): the recording windows' menu with the "&Image" popup
// in front of Playback: gain, white balance with the sample mode, enhance, gamma, chroma, then Reload
// and "Save as". The prompts of these commands are registered with it.
#pragma once

#include "platform/afx/afxwin.h"

AFX_MENU_ITEM KivImageMenuPopup();

// Registers menu 148 and the prompts of the Image commands; once per process.
void RegisterKivMenu();
