#include "platform/win32/temp_file.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/win32/errors.h"
#include "platform/win32/native_path.h"

namespace kivic::win32 {
namespace {

constexpr int kAttempts = 100;
constexpr int kRandomChars = 8;

std::string RandomText() {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 engine{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kChars) - 2);
    std::string text(kRandomChars, ' ');
    for (char& c : text) {
        c = kChars[pick(engine)];
    }
    return text;
}

bool HasSeparator(const std::string& part) {
    return part.find('/') != std::string::npos;
}

DWORD CreateError(int err) {
    if (err == ENOENT || err == ENOTDIR) {
        return ERROR_PATH_NOT_FOUND;
    }
    return Win32ErrorFromErrno(err);
}

} // namespace

std::string CreateUniqueFile(const char* folder, const char* prefix, const char* extension) {
    std::string base = NativePath(folder);
    const std::string head = NativePath(prefix);
    const std::string tail = NativePath(extension);
    if (HasSeparator(head) || HasSeparator(tail)) {
        SetLastError(ERROR_INVALID_NAME);
        return {};
    }
    if (!base.empty() && base.back() != '/') {
        base += '/';
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string path = base + head + RandomText() + tail;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            SetLastError(ERROR_SUCCESS);
            return path;
        }
        if (errno != EEXIST) {
            SetLastError(CreateError(errno));
            return {};
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return {};
}

} // namespace kivic::win32
