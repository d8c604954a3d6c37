#include "platform/afx/doc/docpath.h"

#include <filesystem>
#include <system_error>

CString AfxFileExtension(LPCTSTR lpszPathName) {
    if (lpszPathName == nullptr)
        return CString();
    return std::filesystem::path(lpszPathName).extension().string().c_str();
}

CString AfxCanonicalPath(LPCTSTR lpszPathName) {
    if (lpszPathName == nullptr || *lpszPathName == '\0')
        return CString();
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(lpszPathName, error);
    if (!error)
        return canonical.string().c_str();
    std::filesystem::path absolute = std::filesystem::absolute(lpszPathName, error);
    if (error)
        absolute = lpszPathName;
    return absolute.lexically_normal().string().c_str();
}

BOOL AfxExtensionListed(const CString& list, const CString& ext) {
    if (ext.IsEmpty())
        return FALSE;
    int start = 0;
    while (start <= list.GetLength()) {
        int semi = list.Find(';', start);
        if (semi < 0)
            semi = list.GetLength();
        if (list.Mid(start, semi - start).CompareNoCase(ext) == 0)
            return TRUE;
        start = semi + 1;
    }
    return FALSE;
}
