#include <gtest/gtest.h>
#include <string>
#include <thread>

#include "platform/win32/win32.h"
#include "temp_folder.h"

namespace {

HANDLE OpenWith(const std::string& path, DWORD access, DWORD disposition) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

void WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
}

} // namespace

TEST(Files, WriteReadCountsAndEndOfFile) {
    TempFolder temp;
    const std::string path = temp.File("data.bin");
    HANDLE file = OpenWith(path, GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
    WriteAll(file, "0123456789");
    EXPECT_TRUE(CloseHandle(file));

    file = OpenWith(path, GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[16] = {};
    DWORD got = 99;
    ASSERT_TRUE(ReadFile(file, buffer, 4, &got, nullptr));
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    ASSERT_TRUE(ReadFile(file, buffer, sizeof(buffer), &got, nullptr));
    EXPECT_EQ(got, 6u); // short read at the end
    ASSERT_TRUE(ReadFile(file, buffer, sizeof(buffer), &got, nullptr));
    EXPECT_EQ(got, 0u); // at the end: success with nothing read
    // Writing through a read-only handle is refused.
    EXPECT_FALSE(WriteFile(file, "x", 1, &got, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(file);
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Files, Dispositions) {
    TempFolder temp;
    const std::string path = temp.File("d.txt");
    EXPECT_EQ(OpenWith(path, GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(OpenWith(temp.File("no/such/d.txt"), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    HANDLE file = OpenWith(path, GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    WriteAll(file, "abc");
    CloseHandle(file);
    EXPECT_EQ(OpenWith(path, GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));

    file = OpenWith(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileSize(file, nullptr), 3u); // kept
    CloseHandle(file);

    file = OpenWith(path, GENERIC_WRITE, CREATE_ALWAYS);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileSize(file, nullptr), 0u); // emptied
    WriteAll(file, "xyz");
    CloseHandle(file);

    file = OpenWith(path, GENERIC_WRITE, TRUNCATE_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(file, nullptr), 0u);
    CloseHandle(file);
    EXPECT_EQ(OpenWith(temp.Path(), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE); // a folder
}

TEST(Files, BackslashesAreFolderSeparators) {
    TempFolder temp;
    ASSERT_TRUE(CreateDirectoryA((temp.Path() + "\\sub").c_str(), nullptr));
    std::string windowsPath = temp.Path() + "\\sub\\f.dat";
    HANDLE file = OpenWith(windowsPath, GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_NE(GetFileAttributesA(temp.File("sub/f.dat").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Files, PositionsPastFourGiB) {
    TempFolder temp;
    const std::string path = temp.File("sparse.bin");
    HANDLE file = OpenWith(path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const LONGLONG far = 5LL * 1024 * 1024 * 1024 + 123; // 5 GiB + 123
    LONG high = static_cast<LONG>(far >> 32);
    const DWORD low = SetFilePointer(file, static_cast<LONG>(static_cast<DWORD>(far)), &high, FILE_BEGIN);
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
    EXPECT_EQ(low, static_cast<DWORD>(far));
    EXPECT_EQ(high, 1);
    WriteAll(file, "tail");

    DWORD sizeHigh = 0;
    EXPECT_EQ(GetFileSize(file, &sizeHigh), static_cast<DWORD>(far + 4));
    EXPECT_EQ(sizeHigh, 1u);
    LARGE_INTEGER size;
    ASSERT_TRUE(GetFileSizeEx(file, &size));
    EXPECT_EQ(size.QuadPart, far + 4);

    // Back from the end, then read the bytes just written.
    LARGE_INTEGER move;
    move.QuadPart = -4;
    LARGE_INTEGER now;
    ASSERT_TRUE(SetFilePointerEx(file, move, &now, FILE_END));
    EXPECT_EQ(now.QuadPart, far);
    char buffer[8] = {};
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(file, buffer, sizeof(buffer), &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "tail");

    // The hole before reads as zeros.
    high = 1;
    SetFilePointer(file, 0, &high, FILE_BEGIN);
    ASSERT_TRUE(ReadFile(file, buffer, 4, &got, nullptr));
    EXPECT_EQ(std::string(buffer, 4), std::string(4, '\0'));
    CloseHandle(file);
}

TEST(Files, PointerWhoseLowHalfIsAllOnes) {
    TempFolder temp;
    HANDLE file = OpenWith(temp.File("p.bin"), GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
    LONG high = 0;
    SetLastError(77);
    EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR)); // 0xFFFFFFFF is a valid position
    EXPECT_EQ(high, 0);

    // Before the start: a real failure, and the pointer stays where it was.
    SetFilePointer(file, 10, nullptr, FILE_BEGIN);
    EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 10u);

    // Without a high half the result must fit 32 bits.
    high = 1;
    SetFilePointer(file, 0, &high, FILE_BEGIN);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_NE(GetLastError(), static_cast<DWORD>(NO_ERROR));
    CloseHandle(file);
}

TEST(Files, SetEndOfFileCutsAtThePointer) {
    TempFolder temp;
    const std::string path = temp.File("cut.bin");
    HANDLE file = OpenWith(path, GENERIC_WRITE, CREATE_ALWAYS);
    WriteAll(file, "0123456789");
    SetFilePointer(file, 4, nullptr, FILE_BEGIN);
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_EQ(TempFolder::Read(path), "0123");
}

TEST(Files, DeleteMoveCopy) {
    TempFolder temp;
    const std::string a = temp.File("a.txt");
    const std::string b = temp.File("b.txt");
    const std::string c = temp.File("c.txt");
    TempFolder::Write(a, "first");
    TempFolder::Write(b, "second");

    EXPECT_FALSE(MoveFileA(a.c_str(), b.c_str())); // never replaces
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ASSERT_TRUE(MoveFileExA(a.c_str(), b.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(TempFolder::Read(b), "first");
    EXPECT_EQ(GetFileAttributesA(a.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    ASSERT_TRUE(CopyFileA(b.c_str(), c.c_str(), TRUE));
    EXPECT_EQ(TempFolder::Read(c), "first");
    EXPECT_FALSE(CopyFileA(b.c_str(), c.c_str(), TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    ASSERT_TRUE(MoveFileA(c.c_str(), a.c_str()));
    EXPECT_EQ(TempFolder::Read(a), "first");

    EXPECT_TRUE(DeleteFileA(a.c_str()));
    EXPECT_FALSE(DeleteFileA(a.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA(temp.Path().c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(Files, FoldersAndAttributes) {
    TempFolder temp;
    const std::string sub = temp.File("sub");
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryA(sub.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileAttributesA(sub.c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    TempFolder::Write(sub + "/f", "x");
    EXPECT_EQ(GetFileAttributesA((sub + "/f").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_FALSE(RemoveDirectoryA(sub.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
    DeleteFileA((sub + "/f").c_str());
    EXPECT_TRUE(RemoveDirectoryA(sub.c_str()));
}

TEST(Files, CurrentTempAndFullPaths) {
    TempFolder temp;
    char saved[4096];
    ASSERT_GT(GetCurrentDirectoryA(sizeof(saved), saved), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(temp.Path().c_str()));
    char buffer[4096];
    const DWORD length = GetCurrentDirectoryA(sizeof(buffer), buffer);
    char expected[4096];
    ASSERT_NE(realpath(temp.Path().c_str(), expected), nullptr);
    EXPECT_STREQ(buffer, expected);
    EXPECT_EQ(GetCurrentDirectoryA(3, buffer), length + 1); // too small: the size needed

    LPSTR filePart = nullptr;
    ASSERT_GT(GetFullPathNameA("a\\..\\b\\.\\c.txt", sizeof(buffer), buffer, &filePart), 0u);
    EXPECT_EQ(std::string(buffer), std::string(expected) + "/b/c.txt");
    ASSERT_NE(filePart, nullptr);
    EXPECT_STREQ(filePart, "c.txt");
    ASSERT_TRUE(SetCurrentDirectoryA(saved));

    EXPECT_FALSE(SetCurrentDirectoryA(temp.File("missing").c_str()));

    const char* old = std::getenv("TMPDIR");
    const std::string oldValue = old ? old : "";
    setenv("TMPDIR", "/var/tmp", 1);
    ASSERT_EQ(GetTempPathA(sizeof(buffer), buffer), 9u);
    EXPECT_STREQ(buffer, "/var/tmp/");
    unsetenv("TMPDIR");
    GetTempPathA(sizeof(buffer), buffer);
    EXPECT_STREQ(buffer, "/tmp/");
    if (old) {
        setenv("TMPDIR", oldValue.c_str(), 1);
    }
}

TEST(LastError, IsPerThread) {
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD seenByOther = 0;
    std::thread other([&] {
        SetLastError(ERROR_DISK_FULL);
        DeleteFileA("/nonexistent-folder-kivic/x");
        seenByOther = GetLastError();
    });
    other.join();
    EXPECT_EQ(seenByOther, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(LastError, ErrnoMapping) {
    EXPECT_EQ(Win32ErrorFromErrno(ENOENT), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Win32ErrorFromErrno(EACCES), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Win32ErrorFromErrno(ENOSPC), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(Win32ErrorFromErrno(0), static_cast<DWORD>(ERROR_SUCCESS));
    // A read-only file system is write-protected media, with the system's own text, not a refusal.
    EXPECT_EQ(Win32ErrorFromErrno(EROFS), static_cast<DWORD>(ERROR_WRITE_PROTECT));
    char text[128] = "";
    ASSERT_GT(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             Win32ErrorFromErrno(EROFS), 0, text, sizeof text, nullptr),
              0u);
    EXPECT_STREQ(text, "The media is write protected.\r\n");
}
