// Paths handed to the substitutes may carry the backslashes that the original code builds paths
// with; the file system wants slashes.
#pragma once

#include <string>

#include "platform/win32/types.h"

namespace kivic::win32 {

// The path with every '\' turned into '/'. A null path gives an empty text.
std::string NativePath(const char* path);

// Copies a text out the way the path queries do: when it fits with its NUL, returns its length;
// otherwise leaves the buffer alone and returns the size needed, NUL included.
DWORD CopyTextOut(const std::string& text, DWORD bufferLength, LPSTR buffer);

} // namespace kivic::win32
