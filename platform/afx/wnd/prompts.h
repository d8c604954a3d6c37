// Prompts of commands: the string resource with a command's id holds "status text\ntool tip". While
// the pointer is over a button or a menu item, its status text stands in the frame's message pane
// (fly-by help) and its tip is the button's tool tip; leaving puts back the idle message.
#pragma once

#include <functional>

#include "platform/afx/core/afxcore.h"

class QWidget;

// The text of the message pane when nothing is pointed at ("Ready" unless registered otherwise).
#define AFX_IDS_IDLEMESSAGE 0xE001
// To a frame: show a command's status text (wParam the id) or the text at lParam (wParam 0).
#define WM_SETMESSAGESTRING 0x0362

CString AfxCommandStatusText(UINT nID);
CString AfxCommandToolTip(UINT nID);
// Gives a button (or field) of a bar the prompts of its command: the id is asked for whenever the
// pointer enters, so buttons renumbered at run time prompt for their new command. The message pane is
// the one of the top-level frame of the window hWndBar.
void AfxAttachCommandPrompt(QWidget* widget, HWND hWndBar, std::function<UINT()> currentId);
