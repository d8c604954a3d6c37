// Read-only file of the utility library: the handle and the current 64-bit position.
#pragma once

#include <cstdint>

#include "platform/win32/types.h"
#include "vomLib/Utility/vomException.h"

class vomRfile {
public:
    // Empty exception types of the file layer; the system error code stays set.
    struct XSeek {};
    struct XRead {};
    struct XOpen {};

    vomRfile() = default;
    virtual ~vomRfile();
    vomRfile(const vomRfile&) = delete;
    vomRfile& operator=(const vomRfile&) = delete;

    // Opens an existing file for reading, shared for reading; throws XOpen on failure. A file that is
    // already open is closed first.
    virtual void open(const char* path);
    void close();
    // Absolute 64-bit seek from the file start; throws XSeek.
    void seek(std::int64_t position);
    // Reads up to bytes into buffer and returns the count read; throws XRead on a failed read. A count
    // below bytes means the end of the file was reached.
    DWORD read(void* buffer, DWORD bytes);
    // The file's length in bytes, or -1 when it cannot be told.
    std::int64_t size() const;
    bool isOpen() const;
    // The position that the last seek or read left.
    std::int64_t position() const;

protected:
    HANDLE m_handle = nullptr;
    DWORD m_posLow = 0;
    LONG m_posHigh = 0;
};
