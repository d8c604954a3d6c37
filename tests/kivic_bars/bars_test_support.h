// Shared pieces of the bar tests: the Qt application and the recorder of message boxes.
#pragma once

#include "afx/afx_test_app.h"
#include "platform/afx/afxwin.h"

inline void EnsureBarsApp() {
    AfxEnsureQtApp();
}
