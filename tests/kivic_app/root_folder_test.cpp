// The root folder from the program's ini file: made current when it names an existing folder, kept
// otherwise, and written back at exit; relative names on the command line still mean the start folder.
#include <fstream>

#include "KivIc/Dialogs/SHBFolder.h"
#include "kivic_app/app_fixture.h"

namespace {

std::string Current() {
    return std::filesystem::current_path().string();
}

} // namespace

TEST_F(WqLinkAppTest, AnExistingRootFolderBecomesCurrentAndIsWrittenBack) {
    const std::string root = dir.Path("root");
    std::filesystem::create_directories(root);
    TempDir::WriteAll(ini, "[OPTION]\r\nROOT_FOLDER=" + root + "\r\n");
    Recording("a.gen", "begin=0\nend=9\n");
    ASSERT_TRUE(Start({"a.gen"}));
    EXPECT_EQ(Current(), root);
    EXPECT_STREQ(app->GetRootFolder(), root.c_str());
    EXPECT_STREQ(app->GetStartFolder(), start.c_str());
    EXPECT_STREQ(app->GetIniPath(), ini.c_str());
    ASSERT_EQ(Documents().size(), 1u) << "the relative name is taken from the start folder";
    EXPECT_STREQ(Documents()[0]->GetPathName(), (start + "/a.gen").c_str());

    TempDir::WriteAll(ini, "");
    app->ExitInstance();
    EXPECT_NE(IniText().find("ROOT_FOLDER=" + root), std::string::npos) << IniText();
}

TEST_F(WqLinkAppTest, ARootFolderThatIsNoFolderKeepsTheCurrentOne) {
    const std::string file = dir.Path("plain.txt");
    TempDir::WriteAll(file, "x");
    for (const std::string& value : {dir.Path("missing"), file, std::string()}) {
        TempDir::WriteAll(ini, "[OPTION]\nROOT_FOLDER=" + value + "\n");
        std::filesystem::current_path(start);
        ASSERT_TRUE(Start({}));
        EXPECT_EQ(Current(), start) << value;
        EXPECT_STREQ(app->GetRootFolder(), start.c_str()) << value;
        app->ExitInstance();
        EXPECT_NE(IniText().find("ROOT_FOLDER=" + start), std::string::npos) << IniText();
        delete app;
        app = nullptr;
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WqLinkAppTest, WithoutTheKeyTheStartFolderIsTheRoot) {
    ASSERT_TRUE(Start({}));
    EXPECT_EQ(Current(), start);
    EXPECT_STREQ(app->GetRootFolder(), start.c_str());
    app->ExitInstance();
    EXPECT_NE(IniText().find("[OPTION]"), std::string::npos);
    EXPECT_NE(IniText().find("ROOT_FOLDER=" + start), std::string::npos) << IniText();
}

TEST_F(WqLinkAppTest, ARelativeRootFolderIsKeptAbsolute) {
    std::filesystem::create_directories(start + "/data");
    TempDir::WriteAll(ini, "[OPTION]\nROOT_FOLDER=data\n");
    ASSERT_TRUE(Start({}));
    EXPECT_EQ(Current(), start + "/data");
    EXPECT_STREQ(app->GetRootFolder(), (start + "/data").c_str());
}

TEST_F(WqLinkAppTest, ALongRootFolderIsNotCut) {
    std::string root = dir.Path("");
    while (root.size() < 600)
        root += "a_rather_long_folder_name_to_pass_the_old_limits/";
    root.pop_back();
    std::filesystem::create_directories(root);
    TempDir::WriteAll(ini, "[OPTION]\nROOT_FOLDER=" + root + "\n");
    ASSERT_TRUE(Start({}));
    EXPECT_EQ(Current(), root);
    EXPECT_STREQ(app->GetRootFolder(), root.c_str());
    std::filesystem::current_path(root);
    EXPECT_STREQ(CSHBFolder().GetPath(), root.c_str()) << "the folder check reads the whole current folder";
}
