// Names in the file system: delete, move, copy, attributes, folders, the current and temp folders.
#include "platform/win32/files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

#include "platform/win32/errors.h"
#include "platform/win32/native_path.h"

using kivic::win32::CopyTextOut;
using kivic::win32::NativePath;

namespace {

void SetErrnoError() {
    SetLastError(Win32ErrorFromErrno(errno));
}

BOOL Succeeded() {
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL Failed(DWORD code) {
    SetLastError(code);
    return FALSE;
}

bool StatPath(const std::string& path, struct stat& info) {
    return ::stat(path.c_str(), &info) == 0;
}

bool ParentMissing(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) {
        return false;
    }
    struct stat info;
    return !StatPath(path.substr(0, slash), info) || !S_ISDIR(info.st_mode);
}

DWORD NameError(int err, const std::string& path) {
    if (err == ENOENT && ParentMissing(path)) {
        return ERROR_PATH_NOT_FOUND;
    }
    return Win32ErrorFromErrno(err);
}

// Copies the bytes of one open file to another; false with errno set on failure.
bool CopyBytes(int from, int to) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (got == 0) {
            return true;
        }
        ssize_t done = 0;
        while (done < got) {
            const ssize_t put = ::write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            done += put;
        }
    }
}

BOOL CopyNative(const std::string& source, const std::string& target, bool failIfExists) {
    const int from = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) {
        return Failed(NameError(errno, source));
    }
    struct stat info;
    if (::fstat(from, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(from);
        return Failed(ERROR_ACCESS_DENIED);
    }
    const int to = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (failIfExists ? O_EXCL : O_TRUNC),
                          info.st_mode & 0777);
    if (to < 0) {
        const int err = errno;
        ::close(from);
        return Failed(err == EEXIST ? ERROR_FILE_EXISTS : NameError(err, target));
    }
    const bool copied = CopyBytes(from, to);
    const int err = errno;
    ::close(from);
    if (::close(to) != 0 && copied) {
        return Failed(Win32ErrorFromErrno(errno));
    }
    if (!copied) {
        ::unlink(target.c_str());
        return Failed(Win32ErrorFromErrno(err));
    }
    return Succeeded();
}

BOOL MoveNative(const std::string& source, const std::string& target, DWORD flags) {
    struct stat sourceInfo;
    if (!StatPath(source, sourceInfo)) {
        return Failed(NameError(errno, source));
    }
    struct stat targetInfo;
    if (StatPath(target, targetInfo)) {
        if (!(flags & MOVEFILE_REPLACE_EXISTING)) {
            return Failed(ERROR_ALREADY_EXISTS);
        }
        if (S_ISDIR(targetInfo.st_mode) || S_ISDIR(sourceInfo.st_mode)) {
            return Failed(ERROR_ACCESS_DENIED);
        }
    }
    if (::rename(source.c_str(), target.c_str()) == 0) {
        return Succeeded();
    }
    if (errno == EXDEV && (flags & MOVEFILE_COPY_ALLOWED) && !S_ISDIR(sourceInfo.st_mode)) {
        if (!CopyNative(source, target, false)) {
            return FALSE;
        }
        ::unlink(source.c_str());
        return Succeeded();
    }
    return Failed(NameError(errno, target));
}

} // namespace

BOOL DeleteFileA(LPCSTR fileName) {
    const std::string path = NativePath(fileName);
    struct stat info;
    if (StatPath(path, info) && S_ISDIR(info.st_mode)) {
        return Failed(ERROR_ACCESS_DENIED);
    }
    if (::unlink(path.c_str()) != 0) {
        return Failed(NameError(errno, path));
    }
    return Succeeded();
}

// Moving a file to another file system copies it, as the plain move does on Windows.
BOOL MoveFileA(LPCSTR existing, LPCSTR newName) {
    return MoveNative(NativePath(existing), NativePath(newName), MOVEFILE_COPY_ALLOWED);
}

BOOL MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags) {
    return MoveNative(NativePath(existing), NativePath(newName), flags);
}

BOOL CopyFileA(LPCSTR existing, LPCSTR newName, BOOL failIfExists) {
    return CopyNative(NativePath(existing), NativePath(newName), failIfExists);
}

DWORD GetFileAttributesA(LPCSTR fileName) {
    const std::string path = NativePath(fileName);
    struct stat info;
    if (path.empty() || !StatPath(path, info)) {
        SetLastError(path.empty() ? ERROR_PATH_NOT_FOUND : NameError(errno, path));
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = 0;
    if (S_ISDIR(info.st_mode)) {
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    }
    if (!(info.st_mode & S_IWUSR)) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() > 1 && name[0] == '.' && name != "..") {
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    }
    SetLastError(ERROR_SUCCESS);
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES /*security*/) {
    const std::string path = NativePath(pathName);
    if (::mkdir(path.c_str(), 0777) != 0) {
        return Failed(errno == ENOENT ? ERROR_PATH_NOT_FOUND : Win32ErrorFromErrno(errno));
    }
    return Succeeded();
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
    const std::string path = NativePath(pathName);
    if (::rmdir(path.c_str()) != 0) {
        return Failed(errno == ENOTDIR ? ERROR_DIRECTORY : NameError(errno, path));
    }
    return Succeeded();
}

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
    char* current = ::getcwd(nullptr, 0);
    if (!current) {
        SetErrnoError();
        return 0;
    }
    const std::string text = current;
    std::free(current);
    SetLastError(ERROR_SUCCESS);
    return CopyTextOut(text, bufferLength, buffer);
}

BOOL SetCurrentDirectoryA(LPCSTR pathName) {
    const std::string path = NativePath(pathName);
    if (::chdir(path.c_str()) != 0) {
        return Failed(errno == ENOENT ? ERROR_FILE_NOT_FOUND : Win32ErrorFromErrno(errno));
    }
    return Succeeded();
}

DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer) {
    const char* fromEnvironment = std::getenv("TMPDIR");
    std::string folder = fromEnvironment && *fromEnvironment ? fromEnvironment : "/tmp";
    if (folder.back() != '/') {
        folder += '/';
    }
    SetLastError(ERROR_SUCCESS);
    return CopyTextOut(folder, bufferLength, buffer);
}

BOOL GetDiskFreeSpaceExA(LPCSTR directoryName, PULARGE_INTEGER freeBytesAvailableToCaller,
                         PULARGE_INTEGER totalNumberOfBytes, PULARGE_INTEGER totalNumberOfFreeBytes) {
    const std::string path = directoryName != nullptr ? NativePath(directoryName) : std::string(".");
    struct statvfs info;
    if (path.empty()) {
        return Failed(ERROR_PATH_NOT_FOUND);
    }
    if (::statvfs(path.c_str(), &info) != 0) {
        return Failed(NameError(errno, path));
    }
    const ULONGLONG unit = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
    if (freeBytesAvailableToCaller) {
        freeBytesAvailableToCaller->QuadPart = unit * info.f_bavail;
    }
    if (totalNumberOfBytes) {
        totalNumberOfBytes->QuadPart = unit * info.f_blocks;
    }
    if (totalNumberOfFreeBytes) {
        totalNumberOfFreeBytes->QuadPart = unit * info.f_bfree;
    }
    return Succeeded();
}

DWORD GetFullPathNameA(LPCSTR fileName, DWORD bufferLength, LPSTR buffer, LPSTR* filePart) {
    if (filePart) {
        *filePart = nullptr;
    }
    const std::string path = NativePath(fileName);
    if (path.empty()) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    std::string joined = path;
    if (path[0] != '/') {
        char* current = ::getcwd(nullptr, 0);
        if (!current) {
            SetErrnoError();
            return 0;
        }
        joined = std::string(current) + "/" + path;
        std::free(current);
    }
    // Folds "." and ".." and repeated slashes without asking the file system, as the original does.
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        std::size_t end = joined.find('/', start);
        if (end == std::string::npos) {
            end = joined.size();
        }
        const std::string part = joined.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string full;
    for (const auto& part : parts) {
        full += '/';
        full += part;
    }
    if (full.empty()) {
        full.push_back('/');
    } else if (path.back() == '/') {
        full += '/';
    }
    SetLastError(ERROR_SUCCESS);
    const DWORD result = CopyTextOut(full, bufferLength, buffer);
    if (filePart && result < bufferLength && full.back() != '/') {
        *filePart = buffer + full.find_last_of('/') + 1;
    }
    return result;
}
