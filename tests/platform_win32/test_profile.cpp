#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/win32.h"
#include "temp_folder.h"

namespace {

class Profile : public ::testing::Test {
protected:
    std::string Get(const char* section, const char* key, const char* defaultValue = "dflt",
                    DWORD size = 256) {
        std::string buffer(size, '#');
        last = GetPrivateProfileStringA(section, key, defaultValue, buffer.data(), size, ini.c_str());
        return std::string(buffer.c_str());
    }
    // The raw bytes a list query returns, up to and including the final double NUL.
    std::string List(const char* section, DWORD size = 256) {
        std::string buffer(size, '#');
        last = GetPrivateProfileStringA(section, nullptr, "", buffer.data(), size, ini.c_str());
        return buffer.substr(0, std::min<std::size_t>(last + 1, size));
    }
    BOOL Put(const char* section, const char* key, const char* value) {
        return WritePrivateProfileStringA(section, key, value, ini.c_str());
    }

    TempFolder temp;
    std::string ini = temp.File("settings.ini");
    DWORD last = 0;
};

} // namespace

TEST_F(Profile, LookUpIsCaseInsensitiveAndFirstMatchWins) {
    TempFolder::Write(ini, "; leading comment\n"
                           "[Option]\r\n"
                           "Root_Folder = /data/rec  \r\n"
                           "root_folder=/second\n"
                           ";Speed=999\n"
                           "  Speed\t=\t 250 \n"
                           "[option]\n"
                           "Extra=ignored, the first section of the name wins\n"
                           "[Other]\n"
                           "Quoted=\"  spaced value  \"\n"
                           "Single='x'\n"
                           "Half=\"open\n"
                           "Empty=\n");
    EXPECT_EQ(Get("OPTION", "ROOT_FOLDER"), "/data/rec");
    EXPECT_EQ(last, 9u);
    EXPECT_EQ(Get("option", "speed"), "250");
    EXPECT_EQ(Get("Option", "Extra"), "dflt");
    EXPECT_EQ(Get("Other", "Quoted"), "  spaced value  ");
    EXPECT_EQ(Get("Other", "Single"), "x");
    EXPECT_EQ(Get("Other", "Half"), "\"open");
    EXPECT_EQ(Get("Other", "Empty"), "");
    EXPECT_EQ(GetPrivateProfileIntA("OPTION", "speed", 5, ini.c_str()), 250u);
    EXPECT_EQ(GetPrivateProfileIntA("OPTION", "none", 5, ini.c_str()), 5u);
    EXPECT_EQ(GetPrivateProfileIntA("Other", "Single", 5, ini.c_str()), 0u);
}

TEST_F(Profile, DefaultsHaveTrailingBlanksStripped) {
    EXPECT_EQ(Get("S", "K", "  value  "), "  value");
    EXPECT_EQ(last, 7u); // missing file
    TempFolder::Write(ini, "[S]\nK=1\n");
    EXPECT_EQ(Get("S", "Other", "d \t"), "d");
    EXPECT_EQ(Get("T", "K", nullptr), "");
    EXPECT_EQ(last, 0u);
}

TEST_F(Profile, LongValuesAreCutToTheBuffer) {
    const std::string longValue(5000, 'v');
    TempFolder::Write(ini, "[S]\nLong=" + longValue + "\n");
    EXPECT_EQ(Get("S", "Long", "", 4096), std::string(4095, 'v'));
    EXPECT_EQ(last, 4095u);
    EXPECT_EQ(Get("S", "Long", "", 5001), longValue);
    EXPECT_EQ(last, 5000u);
    EXPECT_EQ(Get("S", "Long", "", 1), "");
    EXPECT_EQ(last, 0u);
}

TEST_F(Profile, SectionAndKeyLists) {
    TempFolder::Write(ini, "[One]\na=1\nB=2\nA=3\n[Two]\n[one]\nc=4\n");
    EXPECT_EQ(List(nullptr), std::string("One\0Two\0\0", 9));
    EXPECT_EQ(last, 8u);
    EXPECT_EQ(List("ONE"), std::string("a\0B\0\0", 5));
    EXPECT_EQ(List("Two"), std::string("\0", 1));
    EXPECT_EQ(last, 0u);
    // A list that does not fit ends in two NULs all the same.
    std::string small(6, '#');
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", small.data(), 6, ini.c_str()), 4u);
    EXPECT_EQ(small, std::string("One\0T\0", 6).replace(4, 2, std::string("\0\0", 2)));
}

TEST_F(Profile, WriterReplacesInPlaceAndAppends) {
    TempFolder::Write(ini, "; settings\n[A]\nx=1\ny=2\n\n[B]\nz=3\n");
    ASSERT_TRUE(Put("a", "X", "10"));
    EXPECT_EQ(TempFolder::Read(ini), "; settings\r\n[A]\r\nX=10\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
    ASSERT_TRUE(Put("A", "new", "n"));
    EXPECT_EQ(TempFolder::Read(ini), "; settings\r\n[A]\r\nX=10\r\ny=2\r\nnew=n\r\n\r\n[B]\r\nz=3\r\n");
    ASSERT_TRUE(Put("C", "k", "v"));
    EXPECT_EQ(TempFolder::Read(ini),
              "; settings\r\n[A]\r\nX=10\r\ny=2\r\nnew=n\r\n\r\n[B]\r\nz=3\r\n[C]\r\nk=v\r\n");
    EXPECT_EQ(Get("c", "K"), "v");
}

TEST_F(Profile, WriterDeletesKeysAndSections) {
    TempFolder::Write(ini, "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n");
    ASSERT_TRUE(Put("A", "x", nullptr));
    EXPECT_EQ(TempFolder::Read(ini), "[A]\r\ny=2\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n");
    ASSERT_TRUE(Put("b", nullptr, nullptr));
    EXPECT_EQ(TempFolder::Read(ini), "[A]\r\ny=2\r\n[C]\r\nw=4\r\n");
    ASSERT_TRUE(Put("A", "missing", nullptr)); // nothing to delete is no error
    ASSERT_TRUE(Put("Missing", nullptr, nullptr));
    EXPECT_EQ(TempFolder::Read(ini), "[A]\r\ny=2\r\n[C]\r\nw=4\r\n");
}

TEST_F(Profile, WriterCreatesTheFileAndLeavesNoTemporaries) {
    ASSERT_TRUE(Put("Option", "Root", "/x"));
    EXPECT_EQ(TempFolder::Read(ini), "[Option]\r\nRoot=/x\r\n");
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(temp.File("settings.ini.??????").c_str(), &data);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", temp.File("no/such/folder.ini").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(Profile, ConcurrentWritersLoseNothing) {
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([this, t] {
            for (int i = 0; i < 20; ++i) {
                const std::string key = "k" + std::to_string(t) + "_" + std::to_string(i);
                WritePrivateProfileStringA("S", key.c_str(), std::to_string(i).c_str(), ini.c_str());
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
    for (int t = 0; t < 4; ++t) {
        for (int i = 0; i < 20; ++i) {
            const std::string key = "k" + std::to_string(t) + "_" + std::to_string(i);
            EXPECT_EQ(GetPrivateProfileIntA("S", key.c_str(), -1, ini.c_str()), static_cast<UINT>(i)) << key;
        }
    }
}
