#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "platform/win32/win32.h"
#include "temp_folder.h"

namespace {

// Every name a search finds, in a sorted set (the file system decides the order).
std::set<std::string> FindAll(const std::string& pattern, DWORD* firstError = nullptr) {
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (firstError) {
        *firstError = GetLastError();
    }
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.insert(data.cFileName);
    } while (FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(search));
    return names;
}

class FindFiles : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name :
             {"run00000001.bmp", "run00000002.bmp", "run00000010.bmp", "run.txt", "other.bmp", "noext"}) {
            TempFolder::Write(temp.File(name), "12345");
        }
        CreateDirectoryA(temp.File("folder.bmp").c_str(), nullptr);
    }
    TempFolder temp;
};

} // namespace

TEST_F(FindFiles, StarAndQuestionMark) {
    using Names = std::set<std::string>;
    EXPECT_EQ(FindAll(temp.File("run*.bmp")),
              (Names{"run00000001.bmp", "run00000002.bmp", "run00000010.bmp"}));
    EXPECT_EQ(FindAll(temp.File("run0000000?.bmp")), (Names{"run00000001.bmp", "run00000002.bmp"}));
    EXPECT_EQ(FindAll(temp.File("*.bmp")),
              (Names{"run00000001.bmp", "run00000002.bmp", "run00000010.bmp", "other.bmp", "folder.bmp"}));
    EXPECT_EQ(FindAll(temp.File("*t*")), (Names{"run.txt", "other.bmp", "noext"}));
    // "*.*" takes names without an extension too, and the folder's own entries.
    const Names all = FindAll(temp.File("*.*"));
    EXPECT_TRUE(all.count("noext"));
    EXPECT_TRUE(all.count("."));
    EXPECT_EQ(all.size(), 9u);
}

TEST_F(FindFiles, ExactNameAndEntryDetails) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((temp.Path() + "\\run.txt").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "run.txt");
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_NE(data.ftLastWriteTime.dwHighDateTime, 0u);
    EXPECT_FALSE(FindNextFileA(search, &data));
    FindClose(search);

    // A folder is found by its name too.
    search = FindFirstFileA(temp.File("folder.bmp").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_NE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    FindClose(search);
}

TEST_F(FindFiles, NothingFound) {
    DWORD error = 0;
    EXPECT_TRUE(FindAll(temp.File("*.avi"), &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(FindAll(temp.File("missing/*.bmp"), &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
}
