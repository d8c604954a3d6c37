// Private-profile (ini) files: sections in brackets, key=value lines, ';' comments.
// Look-ups are case-insensitive and the first match wins; the writer rewrites the file with CR LF.
// A file name without a folder is taken from the current folder.
#pragma once

#include "platform/win32/types.h"

// A null section lists the section names, a null key the keys of a section (each NUL-terminated,
// a second NUL at the end). Values are trimmed, one pair of enclosing quotes is removed.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR returned, DWORD size,
                               LPCSTR fileName);
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);
// A null value deletes the key, a null key deletes the section.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
