// File handles over POSIX descriptors. The descriptor's own offset is the file pointer, so it moves
// with every read and write exactly as the handle's pointer does.
#include "platform/win32/files.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/win32/errors.h"
#include "platform/win32/handle_table.h"
#include "platform/win32/native_path.h"
#include "platform/win32/write_fault.h"

namespace kivic::win32 {
namespace {

class FileObject : public KernelObject {
public:
    FileObject(int fd, DWORD access, std::string path) : fd_(fd), access_(access), path_(std::move(path)) {}
    ~FileObject() override { ::close(fd_); }
    int Descriptor() const { return fd_; }
    const std::string& Path() const { return path_; }
    bool CanRead() const { return access_ & GENERIC_READ; }
    bool CanWrite() const { return access_ & GENERIC_WRITE; }

private:
    int fd_;
    DWORD access_;
    std::string path_;
};

std::shared_ptr<FileObject> FileOf(HANDLE file) {
    return LookupHandleAs<FileObject>(file);
}

void SetErrnoError() {
    SetLastError(Win32ErrorFromErrno(errno));
}

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

bool IsDirectory(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A missing file in a missing folder is a path error, as on Windows.
DWORD MissingPathError(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) {
        return ERROR_FILE_NOT_FOUND;
    }
    return IsDirectory(path.substr(0, slash)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

DWORD OpenError(int err, const std::string& path) {
    if (err == ENOENT) {
        return MissingPathError(path);
    }
    if (err == ENOTDIR) {
        return ERROR_PATH_NOT_FOUND;
    }
    return Win32ErrorFromErrno(err);
}

// Moves the descriptor's offset; false with the last error set on failure.
// A target beyond maxPosition is refused without moving.
bool Seek(int fd, LONGLONG distance, DWORD moveMethod, LONGLONG maxPosition, LONGLONG& newPosition) {
    int whence;
    switch (moveMethod) {
    case FILE_BEGIN:
        whence = SEEK_SET;
        break;
    case FILE_CURRENT:
        whence = SEEK_CUR;
        break;
    case FILE_END:
        whence = SEEK_END;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    LONGLONG base = 0;
    if (whence != SEEK_SET) {
        const off_t here = ::lseek(fd, 0, whence);
        if (here < 0) {
            SetErrnoError();
            return false;
        }
        base = here;
    }
    if ((distance < 0 && base + distance < 0) || (distance > 0 && base > LLONG_MAX - distance)) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return false;
    }
    if (base + distance > maxPosition) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const off_t target = ::lseek(fd, base + distance, SEEK_SET);
    if (target < 0) {
        SetErrnoError();
        return false;
    }
    newPosition = target;
    return true;
}

bool FileSize(int fd, LONGLONG& size) {
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        SetErrnoError();
        return false;
    }
    size = info.st_size;
    return true;
}

// The course ReadFile and WriteFile share: the handle's access, then short transfers from the
// descriptor continued until count bytes have moved; only a read stops early, at the end of the file.
template <typename Byte, typename Transfer>
BOOL MoveBytes(HANDLE file, bool writing, Byte* buffer, DWORD count, LPDWORD moved, Transfer transfer) {
    if (moved) {
        *moved = 0;
    }
    auto object = FileOf(file);
    if (!object) {
        return FALSE;
    }
    if (writing ? !object->CanWrite() : !object->CanRead()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!buffer && count > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (writing && count > 0 && WriteFaultInjected(object->Path(), count)) {
        SetErrnoError();
        return FALSE;
    }
    DWORD done = 0;
    while (done < count) {
        const ssize_t n = transfer(object->Descriptor(), buffer + done, count - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            SetErrnoError();
            if (moved) {
                *moved = done;
            }
            return FALSE;
        }
        if (n == 0 && !writing) {
            break;
        }
        done += static_cast<DWORD>(n);
    }
    if (moved) {
        *moved = done;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

} // namespace
} // namespace kivic::win32

using namespace kivic::win32;

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/,
                   LPSECURITY_ATTRIBUTES /*security*/, DWORD creationDisposition,
                   DWORD /*flagsAndAttributes*/, HANDLE /*templateFile*/) {
    const std::string path = NativePath(fileName);
    if (path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const bool read = desiredAccess & GENERIC_READ;
    const bool write = desiredAccess & GENERIC_WRITE;
    int flags = O_CLOEXEC | (write ? (read ? O_RDWR : O_WRONLY) : O_RDONLY);
    switch (creationDisposition) {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        if (!write) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        flags |= O_TRUNC;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (IsDirectory(path)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    const bool existed = Exists(path);
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
        const int err = errno;
        SetLastError(err == EEXIST ? ERROR_FILE_EXISTS : OpenError(err, path));
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = InsertHandle(std::make_shared<FileObject>(fd, desiredAccess, path));
    const bool reportsExisting = creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS;
    SetLastError(reportsExisting && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPVOID /*overlapped*/) {
    return MoveBytes(file, false, static_cast<char*>(buffer), bytesToRead, bytesRead,
                     [](int fd, char* p, DWORD n) { return ::read(fd, p, n); });
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPVOID /*overlapped*/) {
    return MoveBytes(file, true, static_cast<const char*>(buffer), bytesToWrite, bytesWritten,
                     [](int fd, const char* p, DWORD n) { return ::write(fd, p, n); });
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
    auto object = FileOf(file);
    if (!object) {
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high half the distance is a signed 32-bit value and the result must fit 32 bits.
    LONGLONG move = distance;
    if (distanceHigh) {
        move = static_cast<LONGLONG>((static_cast<std::uint64_t>(static_cast<DWORD>(*distanceHigh)) << 32) |
                                     static_cast<DWORD>(distance));
    }
    LONGLONG position = 0;
    const LONGLONG maxPosition = distanceHigh ? LLONG_MAX : 0xFFFFFFFFll;
    if (!Seek(object->Descriptor(), move, moveMethod, maxPosition, position)) {
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh) {
        *distanceHigh = static_cast<LONG>(static_cast<std::uint64_t>(position) >> 32);
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(position);
}

BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER newPosition, DWORD moveMethod) {
    auto object = FileOf(file);
    if (!object) {
        return FALSE;
    }
    LONGLONG position = 0;
    if (!Seek(object->Descriptor(), distance.QuadPart, moveMethod, LLONG_MAX, position)) {
        return FALSE;
    }
    if (newPosition) {
        newPosition->QuadPart = position;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
    auto object = FileOf(file);
    LONGLONG size = 0;
    if (!object || !FileSize(object->Descriptor(), size)) {
        return INVALID_FILE_SIZE;
    }
    if (fileSizeHigh) {
        *fileSizeHigh = static_cast<DWORD>(static_cast<std::uint64_t>(size) >> 32);
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

BOOL GetFileSizeEx(HANDLE file, PLARGE_INTEGER size) {
    auto object = FileOf(file);
    LONGLONG bytes = 0;
    if (!object || !FileSize(object->Descriptor(), bytes)) {
        return FALSE;
    }
    if (size) {
        size->QuadPart = bytes;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL SetEndOfFile(HANDLE file) {
    auto object = FileOf(file);
    if (!object) {
        return FALSE;
    }
    if (!object->CanWrite()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const off_t here = ::lseek(object->Descriptor(), 0, SEEK_CUR);
    if (here < 0 || ::ftruncate(object->Descriptor(), here) != 0) {
        SetErrnoError();
        return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) {
    auto object = FileOf(file);
    if (!object) {
        return FALSE;
    }
    if (::fsync(object->Descriptor()) != 0 && errno != EINVAL) {
        SetErrnoError();
        return FALSE;
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
