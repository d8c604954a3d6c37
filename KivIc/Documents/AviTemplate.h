// The document template of AVI movies (resource 144, extension ".avi").
#pragma once

#include "platform/afx/afxwin.h"

constexpr UINT IDR_AVITYPE = 144;

// Registers the template's strings and menu and adds the template to the application, which owns it.
CMultiDocTemplate* RegisterAviTemplate(CWinApp* app);
