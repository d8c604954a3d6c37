// Free disk space, files made under a fresh name for writing aside, and a full disk on demand for the
// writes of file handles.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "platform/win32/win32.h"
#include "platform/win32/write_fault.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

// Other programs write to the same disk meanwhile; figures read around the call bound it loosely.
constexpr ULONGLONG kSlack = 256ull << 20;

TEST(DiskSpace, FiguresOfTheFileSystemThatHoldsThePath) {
    TempFolder temp;
    const std::string file = temp.File("f.bin");
    TempFolder::Write(file, "x");
    for (const std::string& path : {temp.Path(), file, temp.Path() + "/"}) {
        const fs::space_info before = fs::space(temp.Path());
        ULARGE_INTEGER available{}, total{}, free{};
        ASSERT_TRUE(GetDiskFreeSpaceExA(path.c_str(), &available, &total, &free)) << path;
        const fs::space_info after = fs::space(temp.Path());
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
        EXPECT_EQ(total.QuadPart, before.capacity);
        EXPECT_GE(available.QuadPart + kSlack, std::min(before.available, after.available));
        EXPECT_LE(available.QuadPart, std::max(before.available, after.available) + kSlack);
        EXPECT_GE(free.QuadPart + kSlack, std::min(before.free, after.free));
        EXPECT_LE(free.QuadPart, std::max(before.free, after.free) + kSlack);
        EXPECT_LE(available.QuadPart, free.QuadPart + kSlack);
        EXPECT_LE(free.QuadPart, total.QuadPart);
        EXPECT_GT(total.QuadPart, 0u);
    }
    // Backslashes, only one output, and the current folder.
    std::string windowsStyle = temp.Path();
    for (char& c : windowsStyle)
        if (c == '/')
            c = '\\';
    ULARGE_INTEGER total{};
    ASSERT_TRUE(GetDiskFreeSpaceExA(windowsStyle.c_str(), nullptr, &total, nullptr));
    EXPECT_EQ(total.QuadPart, fs::space(temp.Path()).capacity);
    ASSERT_TRUE(GetDiskFreeSpaceExA(nullptr, nullptr, &total, nullptr));
    EXPECT_EQ(total.QuadPart, fs::space(fs::current_path()).capacity);
}

TEST(DiskSpace, MissingPathFails) {
    TempFolder temp;
    ULARGE_INTEGER available{};
    available.QuadPart = 77;
    EXPECT_FALSE(GetDiskFreeSpaceExA(temp.File("gone/deeper").c_str(), &available, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(GetDiskFreeSpaceExA(temp.File("gone").c_str(), &available, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(GetDiskFreeSpaceExA("", &available, nullptr, nullptr));
    EXPECT_EQ(available.QuadPart, 77u);
}

TEST(UniqueFile, NewEmptyFilesUnderFreshNamesInTheFolder) {
    TempFolder temp;
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        const std::string path = kivic::win32::CreateUniqueFile(temp.Path().c_str(), "conv", ".avi");
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
        const fs::path p(path);
        EXPECT_EQ(p.parent_path(), fs::path(temp.Path()));
        const std::string name = p.filename().string();
        EXPECT_EQ(name.rfind("conv", 0), 0u) << name;
        EXPECT_EQ(p.extension(), ".avi");
        EXPECT_GT(name.size(), std::string("conv.avi").size());
        EXPECT_TRUE(fs::is_regular_file(path));
        EXPECT_EQ(fs::file_size(path), 0u);
        EXPECT_TRUE(seen.insert(path).second) << path;
    }
    // A trailing slash, backslashes and no extension.
    const std::string plain = kivic::win32::CreateUniqueFile((temp.Path() + "/").c_str(), "t", "");
    EXPECT_EQ(fs::path(plain).parent_path(), fs::path(temp.Path()));
    EXPECT_FALSE(fs::path(plain).has_extension());
    std::string windowsStyle = temp.Path();
    for (char& c : windowsStyle)
        if (c == '/')
            c = '\\';
    EXPECT_TRUE(fs::exists(kivic::win32::CreateUniqueFile(windowsStyle.c_str(), "t", ".tmp")));
}

TEST(UniqueFile, ThreadsNeverShareAName) {
    TempFolder temp;
    constexpr int kThreads = 8, kEach = 40;
    std::vector<std::vector<std::string>> made(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i)
                made[t].push_back(kivic::win32::CreateUniqueFile(temp.Path().c_str(), "", ".bin"));
        });
    for (auto& thread : threads)
        thread.join();
    std::set<std::string> all;
    for (const auto& list : made)
        for (const auto& path : list) {
            EXPECT_FALSE(path.empty());
            all.insert(path);
        }
    EXPECT_EQ(all.size(), static_cast<std::size_t>(kThreads * kEach));
}

TEST(UniqueFile, RefusedWhereNothingCanBeCreated) {
    TempFolder temp;
    EXPECT_TRUE(kivic::win32::CreateUniqueFile(temp.File("missing").c_str(), "a", ".avi").empty());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    TempFolder::Write(temp.File("plain"), "x");
    EXPECT_TRUE(kivic::win32::CreateUniqueFile(temp.File("plain").c_str(), "a", ".avi").empty());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(kivic::win32::CreateUniqueFile(temp.Path().c_str(), "../a", ".avi").empty());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_TRUE(kivic::win32::CreateUniqueFile(temp.Path().c_str(), "a", "/x").empty());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(std::distance(fs::directory_iterator(temp.Path()), fs::directory_iterator()), 1);
}

TEST(WriteFault, FullDiskFailsTheWriteOfThatFileOnly) {
    TempFolder temp;
    const std::string target = temp.File("target.bin");
    const std::string other = temp.File("other.bin");
    std::vector<std::pair<std::string, std::size_t>> asked;
    bool full = true;
    kivic::win32::SetWriteFaultHook([&](const std::string& path, std::size_t bytes) {
        asked.emplace_back(path, bytes);
        return full && path == target;
    });
    HANDLE a = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    HANDLE b = CreateFileA(other.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(a, INVALID_HANDLE_VALUE);
    ASSERT_NE(b, INVALID_HANDLE_VALUE);
    DWORD written = 99;
    EXPECT_FALSE(WriteFile(a, "abcdef", 6, &written, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(WriteFile(b, "xyz", 3, &written, nullptr));
    EXPECT_EQ(written, 3u);
    full = false;
    EXPECT_TRUE(WriteFile(a, "gh", 2, &written, nullptr));
    const auto previous = kivic::win32::SetWriteFaultHook({});
    EXPECT_TRUE(static_cast<bool>(previous));
    full = true; // removed: asked no more
    EXPECT_TRUE(WriteFile(a, "ij", 2, &written, nullptr));
    CloseHandle(a);
    CloseHandle(b);
    EXPECT_EQ(TempFolder::Read(target), "ghij"); // nothing of the failed write reached the file
    EXPECT_EQ(TempFolder::Read(other), "xyz");
    EXPECT_EQ(asked,
              (std::vector<std::pair<std::string, std::size_t>>{{target, 6}, {other, 3}, {target, 2}}));
}

} // namespace
