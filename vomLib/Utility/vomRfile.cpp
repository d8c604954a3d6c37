#include "vomLib/Utility/vomRfile.h"

#include "platform/win32/errors.h"
#include "platform/win32/files.h"

vomRfile::~vomRfile() {
    close();
}

void vomRfile::open(const char* path) {
    close();
    if (path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        throw XOpen{};
    }
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) {
        throw XOpen{};
    }
    m_handle = handle;
    m_posLow = 0;
    m_posHigh = 0;
}

void vomRfile::close() {
    if (isOpen()) {
        CloseHandle(m_handle);
    }
    m_handle = nullptr;
    m_posLow = 0;
    m_posHigh = 0;
}

void vomRfile::seek(std::int64_t position) {
    if (!isOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        throw XSeek{};
    }
    if (position < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        throw XSeek{};
    }
    LONG high = static_cast<LONG>(position >> 32);
    // A position whose low half is all ones is valid; only the last error tells it from a failure.
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(m_handle, static_cast<LONG>(static_cast<DWORD>(position)), &high, FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        throw XSeek{};
    }
    m_posLow = low;
    m_posHigh = high;
}

DWORD vomRfile::read(void* buffer, DWORD bytes) {
    if (!isOpen()) {
        SetLastError(ERROR_INVALID_HANDLE);
        throw XRead{};
    }
    DWORD got = 0;
    if (!ReadFile(m_handle, buffer, bytes, &got, nullptr)) {
        throw XRead{};
    }
    const std::int64_t next = position() + got;
    m_posLow = static_cast<DWORD>(next);
    m_posHigh = static_cast<LONG>(next >> 32);
    return got;
}

std::int64_t vomRfile::size() const {
    if (!isOpen()) {
        return -1;
    }
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(m_handle, &length)) {
        return -1;
    }
    return length.QuadPart;
}

bool vomRfile::isOpen() const {
    return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE;
}

std::int64_t vomRfile::position() const {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<DWORD>(m_posHigh)) << 32) |
                                     m_posLow);
}
