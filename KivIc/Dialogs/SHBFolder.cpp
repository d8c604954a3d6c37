#include "KivIc/Dialogs/SHBFolder.h"

CSHBFolder::CSHBFolder() {
    char buffer[MAX_PATH] = {};
    if (GetCurrentDirectoryA(MAX_PATH, buffer) == 0) {
        CString message;
        message.Format("Error Code :%lX", static_cast<unsigned long>(GetLastError()));
        AfxMessageBox(message);
        return;
    }
    m_strPath = buffer;
}

BOOL CSHBFolder::IsValidFolder(LPCTSTR lpszPath) const {
    if (lpszPath == nullptr || *lpszPath == '\0')
        return FALSE;
    const DWORD attributes = GetFileAttributesA(lpszPath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
