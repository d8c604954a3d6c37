// The document template of raw camera recordings (resource 148, "BREM File (*.cm8)", ".cm8").
#pragma once

#include "platform/afx/afxwin.h"

// Registers the template's strings and menu and adds the template to the application, which owns it.
CMultiDocTemplate* RegisterKivTemplate(CWinApp* app);
