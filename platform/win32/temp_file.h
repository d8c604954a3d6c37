// A new file under a name that no other file has: for what is written aside and then moved into
// place, or only tried and deleted again.
#pragma once

#include <string>

namespace kivic::win32 {

// Creates an empty file named prefix + a few random letters and digits + extension (with its dot, or
// empty) in folder (backslashes allowed; empty: the current folder) and returns its path. The file is
// created exclusively: a name that exists, or appears meanwhile, is never opened, another is tried. It
// gets the permissions a newly created file of the program gets. On failure the text is empty and the
// last error says why (ERROR_PATH_NOT_FOUND for a missing folder, ERROR_ACCESS_DENIED, ERROR_DISK_FULL,
// ERROR_INVALID_NAME for a prefix or extension holding a slash).
std::string CreateUniqueFile(const char* folder, const char* prefix, const char* extension);

} // namespace kivic::win32
