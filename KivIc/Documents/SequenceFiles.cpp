#include "KivIc/Documents/SequenceFiles.h"

#include <limits>
#include <vector>

#include "KivIc/Playback/SourcePath.h"
#include "platform/win32/files.h"

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

} // namespace

BOOL ParseSequenceNumber(const CString& text, LONG* pNumber) {
    const int length = text.GetLength();
    int pos = 0;
    bool negative = false;
    if (pos < length && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos == length)
        return FALSE;
    // Counted in 64 bits and stopped once past the 32-bit range, so no run of digits wraps into it.
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<LONG>::max()) + 1;
    long long value = 0;
    for (; pos < length; ++pos) {
        const char c = text[pos];
        if (c < '0' || c > '9')
            return FALSE;
        if (value <= kLimit)
            value = value * 10 + (c - '0');
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<LONG>::max() || value < std::numeric_limits<LONG>::min())
        return FALSE;
    if (pNumber != nullptr)
        *pNumber = static_cast<LONG>(value);
    return TRUE;
}

BOOL SequenceFrameNumber(const CString& fileName, const CString& base, const CString& ext, LONG* pNumber) {
    const SourcePathParts parts = SplitSourcePath(fileName);
    if (!parts.drive.IsEmpty() || !parts.dir.IsEmpty() || parts.ext != ext || base.IsEmpty())
        return FALSE;
    if (SequenceBaseName(parts.fileName) != base)
        return FALSE;
    const CString number = parts.fileName.Mid(base.GetLength());
    if (number.IsEmpty()) {
        if (pNumber != nullptr)
            *pNumber = 0;
        return TRUE;
    }
    return ParseSequenceNumber(number, pNumber);
}

CString SequenceFolder(const CString& drive, const CString& dir) {
    CString folder = drive + dir;
    if (folder.GetLength() > 1 && !IsSeparator(folder[folder.GetLength() - 1]))
        folder += "/";
    return folder;
}

CString FullSequencePath(const CString& path) {
    if (path.IsEmpty())
        return path;
    const bool absolute = IsSeparator(path[0]) || (path.GetLength() >= 2 && path[1] == ':');
    if (absolute)
        return path;
    const DWORD needed = GetFullPathNameA(path, 0, nullptr, nullptr);
    if (needed == 0)
        return CString();
    std::vector<char> buffer(needed + 1);
    const DWORD written = GetFullPathNameA(path, static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (written == 0 || written >= buffer.size())
        return CString();
    return CString(buffer.data());
}
