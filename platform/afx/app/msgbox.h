// The message boxes of the program: a Qt message box behind MessageBoxA (and so AfxMessageBox), with
// the buttons, icon and default button of the box type and the window of the owner as its parent.
#pragma once

#include "platform/win32/system.h"

// Installs the Qt message box as the process's notifier; returns the notifier it replaces. A box
// asked for from a thread other than the GUI thread is not shown (nothing may block a worker on the
// user): its text goes to the debug output and it answers with its first button.
MessageBoxNotifier AfxInstallQtMessageBoxNotifier();
