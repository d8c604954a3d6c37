// Failure texts of the conversion: exceptions of the libraries below and system error codes turned
// into one readable line, so a failure on a worker thread reaches the user as a message.
#pragma once

#include <functional>
#include <string>

#include "platform/win32/types.h"

// Runs fn. An exception that escapes it (a framework exception, an AVI library exception, a library
// exception or anything else) is described in *error and gives FALSE; the exception is freed.
bool RunGuarded(const std::function<void()>& fn, std::string* error);

// The system's text of an error code, without its line end ("" for 0).
std::string SystemErrorText(DWORD code);

// "<what> \"<path>\": <cause>" with the cause of the system error code (or of the calling thread's last
// error when code is 0); just "<what> \"<path>\"." when there is none.
std::string FileFailure(const std::string& what, const std::string& path, DWORD code = 0);
