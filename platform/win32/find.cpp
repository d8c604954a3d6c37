// Folder searches. The matching names are collected when the search starts and handed out one by
// one, so files created or removed meanwhile do not disturb the walk.
#include "platform/win32/files.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "platform/win32/errors.h"
#include "platform/win32/handle_table.h"
#include "platform/win32/native_path.h"

namespace kivic::win32 {
namespace {

struct FoundEntry {
    std::string name;
    struct stat info;
};

class FindObject : public KernelObject {
public:
    explicit FindObject(std::vector<FoundEntry> entries) : entries_(std::move(entries)) {}
    // Null when the walk is over.
    const FoundEntry* Next() {
        std::lock_guard lock(mutex_);
        return next_ < entries_.size() ? &entries_[next_++] : nullptr;
    }

private:
    std::mutex mutex_;
    std::vector<FoundEntry> entries_;
    std::size_t next_ = 0;
};

// '*' matches any run of characters (none included), '?' exactly one; everything else itself.
bool Matches(const char* pattern, const char* name) {
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = pattern++;
            starName = name;
        } else if (*pattern == '?' || *pattern == *name) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') {
        ++pattern;
    }
    return *pattern == '\0';
}

// A trailing ".*" also matches names without an extension ("*.*" matches every name).
bool MatchesName(const std::string& pattern, const std::string& name) {
    if (Matches(pattern.c_str(), name.c_str())) {
        return true;
    }
    return pattern.size() >= 2 && pattern.ends_with(".*") &&
           Matches(pattern.substr(0, pattern.size() - 2).c_str(), name.c_str());
}

FILETIME FileTimeOf(const struct timespec& time) {
    // 100-nanosecond steps since 1601-01-01.
    constexpr std::uint64_t epochDifference = 11644473600ull;
    const std::uint64_t ticks = (static_cast<std::uint64_t>(time.tv_sec) + epochDifference) * 10000000ull +
                                static_cast<std::uint64_t>(time.tv_nsec) / 100u;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

void Fill(const FoundEntry& entry, LPWIN32_FIND_DATAA data) {
    std::memset(data, 0, sizeof(*data));
    DWORD attributes = 0;
    if (S_ISDIR(entry.info.st_mode)) {
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    }
    if (!(entry.info.st_mode & S_IWUSR)) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    if (entry.name.size() > 1 && entry.name[0] == '.' && entry.name != "..") {
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    }
    data->dwFileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    data->ftCreationTime = FileTimeOf(entry.info.st_ctim);
    data->ftLastAccessTime = FileTimeOf(entry.info.st_atim);
    data->ftLastWriteTime = FileTimeOf(entry.info.st_mtim);
    if (!S_ISDIR(entry.info.st_mode)) {
        const auto size = static_cast<std::uint64_t>(entry.info.st_size);
        data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data->nFileSizeLow = static_cast<DWORD>(size);
    }
    entry.name.copy(data->cFileName, sizeof(data->cFileName) - 1);
}

bool HasWildcard(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

} // namespace
} // namespace kivic::win32

using namespace kivic::win32;

HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData) {
    const std::string path = NativePath(fileName);
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
    if (pattern.empty() || !findData) {
        SetLastError(pattern.empty() ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    struct stat folderInfo;
    if (::stat(folder.c_str(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::vector<FoundEntry> entries;
    if (!HasWildcard(pattern)) {
        FoundEntry entry{pattern, {}};
        if (::stat(path.c_str(), &entry.info) == 0) {
            entries.push_back(std::move(entry));
        }
    } else if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* item = ::readdir(dir)) {
            FoundEntry entry{item->d_name, {}};
            if (!MatchesName(pattern, entry.name)) {
                continue;
            }
            // A name that vanished between listing and looking is skipped.
            if (::stat((folder + "/" + entry.name).c_str(), &entry.info) == 0) {
                entries.push_back(std::move(entry));
            }
        }
        ::closedir(dir);
    } else {
        SetLastError(Win32ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    if (entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto search = std::make_shared<FindObject>(std::move(entries));
    Fill(*search->Next(), findData);
    HANDLE handle = InsertHandle(search);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData) {
    auto search = LookupHandleAs<FindObject>(findFile);
    if (!search) {
        return FALSE;
    }
    const FoundEntry* entry = search->Next();
    if (!entry) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    Fill(*entry, findData);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL FindClose(HANDLE findFile) {
    if (!LookupHandleAs<FindObject>(findFile)) {
        return FALSE;
    }
    return CloseHandle(findFile);
}
