#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "platform/win32/system.h"
#include "vomLib/Utility/IniProfile.h"

namespace {

class IniProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/utility_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        unsetenv("KIVIC_INI");
    }
    void TearDown() override {
        unsetenv("KIVIC_INI");
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    std::string Path(const char* name) const { return m_dir + "/" + name; }
    static void Write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    std::string m_dir;
};

} // namespace

TEST(IniProfilePath, TrailingExeIsReplacedAnyCase) {
    EXPECT_EQ(IniProfile::IniPathFor("/x/PROG.EXE"), "/x/PROG.ini");
    EXPECT_EQ(IniProfile::IniPathFor("/x/prog.exe"), "/x/prog.ini");
    EXPECT_EQ(IniProfile::IniPathFor("/x/prog.Exe"), "/x/prog.ini");
}

TEST(IniProfilePath, ExeInsideAFolderNameOrWithoutExtensionIsKept) {
    EXPECT_EQ(IniProfile::IniPathFor("/opt/a.exe.d/prog"), "/opt/a.exe.d/prog.ini");
    EXPECT_EQ(IniProfile::IniPathFor("/opt/a.exe.d/prog.exe"), "/opt/a.exe.d/prog.ini");
    EXPECT_EQ(IniProfile::IniPathFor("/usr/bin/KivIc"), "/usr/bin/KivIc.ini");
    EXPECT_EQ(IniProfile::IniPathFor("/x/prog.exe2"), "/x/prog.exe2.ini");
    EXPECT_EQ(IniProfile::IniPathFor("exe"), "exe.ini");
}

TEST_F(IniProfileTest, DefaultPathIsBesideTheProgram) {
    char module[4096] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, module, sizeof module), 0u);
    // Not taken from the command line, even when that names something else.
    SetCommandLineA("\"C:\\other\\thing.exe\" arg");
    EXPECT_EQ(IniProfile::DefaultPath(), std::string(module) + ".ini");
    EXPECT_EQ(IniProfile(nullptr).FileName(), std::string(module) + ".ini");
}

TEST_F(IniProfileTest, EnvironmentOverridesTheDefault) {
    const std::string ini = Path("override.ini");
    setenv("KIVIC_INI", ini.c_str(), 1);
    EXPECT_EQ(IniProfile::DefaultPath(), ini);
    Write(ini, "[OPTION]\r\nROOT_FOLDER=/data\r\n");
    EXPECT_EQ(IniProfile().GetString("OPTION", "ROOT_FOLDER", "none"), "/data");
}

TEST_F(IniProfileTest, ReadsValuesAndFallsBackToTheDefault) {
    const std::string ini = Path("read.ini");
    Write(ini, "; settings\n[Option]\nroot_folder = /mnt/x \nEmpty=\n");
    IniProfile profile(ini.c_str());
    EXPECT_EQ(profile.FileName(), ini);
    EXPECT_EQ(profile.GetString("OPTION", "ROOT_FOLDER", "d"), "/mnt/x"); // any case, trimmed
    EXPECT_EQ(profile.GetString("OPTION", "Empty", "d"), "");
    EXPECT_EQ(profile.GetString("OPTION", "missing", "d"), "d");
    EXPECT_EQ(profile.GetString("NOSECTION", "x", "d"), "d");
    EXPECT_EQ(IniProfile(Path("absent.ini").c_str()).GetString("OPTION", "ROOT_FOLDER", "cwd"), "cwd");
}

TEST_F(IniProfileTest, LongValuesAreCutAt4095) {
    const std::string ini = Path("long.ini");
    Write(ini, "[S]\nk=" + std::string(6000, 'v') + "\n");
    const std::string value = IniProfile(ini.c_str()).GetString("S", "k");
    EXPECT_EQ(value.size(), 4095u);
    EXPECT_EQ(value, std::string(4095, 'v'));
}

TEST_F(IniProfileTest, WriterCreatesReplacesAndDeletes) {
    const std::string ini = Path("write.ini");
    IniProfileWriter writer(ini.c_str());
    EXPECT_EQ(writer.FileName(), ini);
    EXPECT_TRUE(writer.WriteString("OPTION", "ROOT_FOLDER", "/first"));
    EXPECT_TRUE(writer.WriteString("OPTION", "ROOT_FOLDER", "/second"));
    EXPECT_TRUE(writer.WriteString("OPTION", "OTHER", "1"));
    IniProfile reader(ini.c_str());
    EXPECT_EQ(reader.GetString("OPTION", "ROOT_FOLDER"), "/second");
    EXPECT_EQ(reader.GetString("OPTION", "OTHER"), "1");
    EXPECT_TRUE(writer.WriteString("OPTION", "OTHER", nullptr));
    EXPECT_EQ(reader.GetString("OPTION", "OTHER", "gone"), "gone");
    EXPECT_EQ(IniProfileWriter(nullptr).FileName(), "");
}
