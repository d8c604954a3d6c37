// Positioned reads and writes on a POSIX descriptor, so a file can be read by several streams at once.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/vfw/avi_content.h"
#include "platform/win32/errors.h"
#include "platform/win32/write_fault.h"

namespace kivic::vfw {

namespace {

// A positioned read or write may move fewer bytes than asked: go on from where it stopped until all of
// size has moved; false at the end of the file or on an error.
template <typename Byte, typename Transfer>
bool Whole(std::uint64_t position, Byte* p, std::size_t size, Transfer transfer) {
    while (size > 0) {
        const ssize_t n = transfer(p, size, static_cast<off_t>(position));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<std::size_t>(n);
        position += static_cast<std::uint64_t>(n);
    }
    return true;
}

} // namespace

RandomFile::~RandomFile() {
    Close();
}

bool RandomFile::OpenRead(const std::string& path) {
    Close();
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    path_ = path;
    if (fd_ < 0)
        return false;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        Close();
        return false;
    }
    return true;
}

bool RandomFile::Create(const std::string& path) {
    Close();
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    path_ = path;
    return fd_ >= 0;
}

void RandomFile::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

std::uint64_t RandomFile::Size() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

bool RandomFile::ReadAt(std::uint64_t position, void* buffer, std::size_t size) const {
    return Whole(position, static_cast<char*>(buffer), size,
                 [this](char* p, std::size_t n, off_t at) { return ::pread(fd_, p, n, at); });
}

bool RandomFile::WriteAt(std::uint64_t position, const void* data, std::size_t size) {
    // A failed write leaves its cause as the thread's last error (the disk full, access denied), so
    // the caller of the AVI functions can name it.
    errno = 0;
    const bool written =
        !(size > 0 && kivic::win32::WriteFaultInjected(path_, size)) &&
        Whole(position, static_cast<const char*>(data), size,
              [this](const char* p, std::size_t n, off_t at) { return ::pwrite(fd_, p, n, at); });
    if (!written)
        SetLastError(errno != 0 ? Win32ErrorFromErrno(errno) : ERROR_WRITE_FAULT);
    return written;
}

} // namespace kivic::vfw
