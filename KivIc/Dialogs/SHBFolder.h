// A folder path and the check that a text names an existing folder.
#pragma once

#include "platform/afx/afxwin.h"

class CSHBFolder {
public:
    // Starts with the current folder; when it cannot be read the user sees the system error code and
    // the path stays empty.
    CSHBFolder();
    virtual ~CSHBFolder() = default;

    // TRUE when the text names an existing folder: absolute or relative to the current folder, the
    // root "/" included, a trailing slash allowed.
    BOOL IsValidFolder(LPCTSTR lpszPath) const;
    const CString& GetPath() const { return m_strPath; }

private:
    CString m_strPath;
};
