// The library exception: where it was thrown, a code, the system error code and a message.
#pragma once

#include <cerrno>
#include <string>

#include "platform/win32/errors.h"

class vomException {
public:
    vomException(const char* file, int line, int code, DWORD lastError, std::string message)
        : m_file(file), m_line(line), m_code(code), m_lastError(lastError), m_message(std::move(message)) {}
    virtual ~vomException() = default;

    const char* File() const { return m_file; }
    int Line() const { return m_line; }
    int Code() const { return m_code; }
    DWORD LastError() const { return m_lastError; }
    const std::string& Message() const { return m_message; }
    const char* what() const { return m_message.c_str(); }

private:
    const char* m_file;
    int m_line;
    int m_code;
    DWORD m_lastError;
    std::string m_message;
};

// Throws a vomException carrying this source position, errno and the last system error.
#define VOM_THROW(message) throw vomException(__FILE__, __LINE__, errno, GetLastError(), (message))
