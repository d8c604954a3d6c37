// The document template of image sequences (resource 145, extension ".bmp"), and the document
// strings of the JPEG (123) and TIFF (124) sequences, which no template of the program uses.
#pragma once

#include "platform/afx/afxwin.h"

constexpr UINT IDR_BMPTYPE = 145;
constexpr UINT IDR_JPGTYPE = 123;
constexpr UINT IDR_TIFTYPE = 124;

// Registers the strings of all three and the sequence menu, and adds the BMP template to the
// application, which owns it.
CMultiDocTemplate* RegisterBmpTemplate(CWinApp* app);
