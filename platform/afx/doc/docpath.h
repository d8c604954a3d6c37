// Names of document files as the templates see them: the extension that picks a template, and the
// canonical form that tells whether two names are one file.
#pragma once

#include "platform/afx/core/afxcore.h"

// The extension of the name's last part, with its dot (".avi"); empty when the name has none. A
// leading dot alone (".profile") makes no extension.
CString AfxFileExtension(LPCTSTR lpszPathName);

// The absolute path with "." and ".." and links resolved as far as the folders exist. Names of one
// file give the same text; names that differ only by case are different files.
CString AfxCanonicalPath(LPCTSTR lpszPathName);

// Whether one of the extensions of a template's list (".a" or ".a;.b") is ext, in any case.
BOOL AfxExtensionListed(const CString& list, const CString& ext);
