#include "platform/win32/native_path.h"

#include <algorithm>
#include <cstring>

namespace kivic::win32 {

std::string NativePath(const char* path) {
    std::string native = path ? path : "";
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

DWORD CopyTextOut(const std::string& text, DWORD bufferLength, LPSTR buffer) {
    if (!buffer || text.size() + 1 > bufferLength) {
        return static_cast<DWORD>(text.size() + 1);
    }
    text.copy(buffer, text.size());
    buffer[text.size()] = '\0';
    return static_cast<DWORD>(text.size());
}

} // namespace kivic::win32
