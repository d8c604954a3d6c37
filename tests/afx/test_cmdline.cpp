// The framework's command-line information: the shell command and the file name taken from the
// arguments, flags marked by "-" or "/", and the arguments exactly as the process got them.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/afx/app/cmdline.h"
#include "platform/win32/command_line.h"
#include "platform/win32/system.h"

namespace {

// Restores the process's own arguments after a test set others.
class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override { saved = GetCommandLineArgs(); }
    void TearDown() override { SetCommandLineArgs(saved); }
    std::vector<std::string> saved;
};

// What the framework makes of the arguments after the program name.
struct Parsed {
    explicit Parsed(const std::vector<CString>& args) { AfxParseCommandLine(info, args); }
    CCommandLineInfo info;
};

} // namespace

TEST_F(CommandLineTest, ArgumentsAreTheProcessesOwnUnsplitAgain) {
    ASSERT_FALSE(saved.empty());
    EXPECT_NE(saved[0].find("test_afx_cmdline"), std::string::npos) << saved[0];

    // Blanks and quotes inside an argument stay inside it; the joined text quotes them instead.
    SetCommandLineArgs({"/opt/KivIc", "/data/a b.cm8", "say \"hi\"", ""});
    const std::vector<CString> args = AfxGetCommandLineArgs();
    ASSERT_EQ(args.size(), 4u);
    EXPECT_STREQ(args[1], "/data/a b.cm8");
    EXPECT_STREQ(args[2], "say \"hi\"");
    EXPECT_STREQ(args[3], "");
    EXPECT_STREQ(GetCommandLineA(), "\"/opt/KivIc\" \"/data/a b.cm8\" \"say \\\"hi\\\"\" \"\"");
}

TEST_F(CommandLineTest, ShellCommandFollowsTheFileName) {
    EXPECT_EQ(Parsed({"prog"}).info.m_nShellCommand, CCommandLineInfo::FileNew);

    const Parsed opened({"prog", "x.cm8", "second.avi"});
    const CCommandLineInfo& open = opened.info;
    EXPECT_EQ(open.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_STREQ(open.m_strFileName, "x.cm8") << "the first name that is not a flag";

    // A slash starts a flag for the framework's own parse: an absolute path alone is no file.
    const Parsed absolute({"prog", "/data/x.cm8"});
    EXPECT_EQ(absolute.info.m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_TRUE(absolute.info.m_strFileName.IsEmpty());
    const Parsed flagged({"prog", "-p", "doc.txt"});
    const CCommandLineInfo& flag = flagged.info;
    EXPECT_EQ(flag.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_STREQ(flag.m_strFileName, "doc.txt");

    const Parsed parsedEmbedded({"prog", "/Embedding"});
    const CCommandLineInfo& embedded = parsedEmbedded.info;
    EXPECT_TRUE(embedded.m_bRunEmbedded);
    EXPECT_FALSE(embedded.m_bShowSplash);
    EXPECT_EQ(embedded.m_nShellCommand, CCommandLineInfo::FileNew);
}

TEST_F(CommandLineTest, OnlyTheLastArgumentSettlesTheCommand) {
    CCommandLineInfo info;
    info.ParseParam("a.cm8", FALSE, FALSE);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileNew);
    info.ParseParam("wt", TRUE, TRUE);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);

    CCommandLineInfo printTo;
    printTo.ParseParam("pt", TRUE, FALSE);
    for (const char* arg : {"f.txt", "printer", "driver", "port"})
        printTo.ParseParam(arg, FALSE, FALSE);
    printTo.ParseParam("ignored", FALSE, TRUE);
    EXPECT_EQ(printTo.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_STREQ(printTo.m_strPrinterName, "printer");
    EXPECT_STREQ(printTo.m_strDriverName, "driver");
    EXPECT_STREQ(printTo.m_strPortName, "port");
}
