#include "KivIc/Dialogs/SHBFolder.h"

#include <vector>

namespace {

// The current folder however long it is; empty when it cannot be read (the system error code is then
// the last error).
CString CurrentFolder() {
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    while (size != 0) {
        std::vector<char> buffer(size);
        const DWORD length = GetCurrentDirectoryA(size, buffer.data());
        if (length == 0)
            break;
        if (length < size)
            return CString(buffer.data(), static_cast<int>(length));
        size = length; // the folder changed to a longer one meanwhile
    }
    return CString();
}

} // namespace

CSHBFolder::CSHBFolder() {
    m_strPath = CurrentFolder();
    if (m_strPath.IsEmpty()) {
        CString message;
        message.Format("Error Code :%lX", static_cast<unsigned long>(GetLastError()));
        AfxMessageBox(message);
    }
}

BOOL CSHBFolder::IsValidFolder(LPCTSTR lpszPath) const {
    if (lpszPath == nullptr || *lpszPath == '\0')
        return FALSE;
    const DWORD attributes = GetFileAttributesA(lpszPath);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
