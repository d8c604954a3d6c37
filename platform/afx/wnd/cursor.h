// Cursors: the system shapes by their ids and the current cursor, shown over the window that has the
// capture or last saw the mouse.
#pragma once

#include "platform/win32/types.h"

#define IDC_ARROW reinterpret_cast<LPCSTR>(32512)
#define IDC_IBEAM reinterpret_cast<LPCSTR>(32513)
#define IDC_WAIT reinterpret_cast<LPCSTR>(32514)
#define IDC_CROSS reinterpret_cast<LPCSTR>(32515)
#define IDC_UPARROW reinterpret_cast<LPCSTR>(32516)
#define IDC_SIZENWSE reinterpret_cast<LPCSTR>(32642)
#define IDC_SIZENESW reinterpret_cast<LPCSTR>(32643)
#define IDC_SIZEWE reinterpret_cast<LPCSTR>(32644)
#define IDC_SIZENS reinterpret_cast<LPCSTR>(32645)
#define IDC_SIZEALL reinterpret_cast<LPCSTR>(32646)
#define IDC_NO reinterpret_cast<LPCSTR>(32648)

// A system cursor (hInstance null, one of the IDC_ ids); null for unknown ids.
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);
#define LoadCursor LoadCursorA
// Makes the cursor current and returns the previous one (null at first).
HCURSOR SetCursor(HCURSOR hCursor);
HCURSOR GetCursor();
BOOL DestroyCursor(HCURSOR hCursor);
// The id a cursor handle stands for (tests, diagnostics); 0 for none.
UINT AfxCursorId(HCURSOR hCursor);
