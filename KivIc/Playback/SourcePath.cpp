#include "KivIc/Playback/SourcePath.h"

#include <algorithm>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

SourcePathParts SplitSourcePath(const CString& path) {
    SourcePathParts parts;
    CString rest = path;
    if (rest.GetLength() >= 2 && rest[1] == ':') {
        parts.drive = rest.Left(2);
        rest = rest.Mid(2);
    }
    const int slash = std::max(rest.ReverseFind('/'), rest.ReverseFind('\\'));
    parts.dir = rest.Left(slash + 1);
    const CString name = rest.Mid(slash + 1);
    const int dot = name.ReverseFind('.');
    if (dot >= 0) {
        parts.fileName = name.Left(dot);
        parts.ext = name.Mid(dot);
    } else {
        parts.fileName = name;
    }
    return parts;
}

CString FolderOf(const CString& path) {
    const SourcePathParts parts = SplitSourcePath(path);
    return parts.drive + parts.dir;
}

CString ExtensionOf(const CString& path) {
    CString ext = SplitSourcePath(path).ext;
    if (!ext.IsEmpty() && ext[0] == '.')
        ext = ext.Mid(1);
    ext.MakeLower();
    return ext;
}

CString SequenceBaseName(const CString& fileName) {
    const int length = fileName.GetLength();
    int end = length;
    while (end > 1 && IsDigit(fileName[end - 1]))
        --end;
    if (end < length && end > 1 && (fileName[end - 1] == '+' || fileName[end - 1] == '-'))
        --end;
    return fileName.Left(end);
}
