// Reading the program's command line: which words make which options, their parameters, case,
// unknown words, missing or wrong parameters, and absolute, quoted and relative file names.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "KivIc/App/VomCmdLineInfo.h"
#include "afx/afx_test_app.h"

namespace {

constexpr const char* kStart = "/home/user/start";

struct Parsed {
    std::vector<std::string> messages;
    std::vector<int> kinds;
    std::vector<std::vector<std::string>> params;
    CString lastForFramework;
};

// Parses the arguments after a program name and lists the options' kinds and parameter texts.
Parsed Parse(std::vector<CString> args) {
    args.insert(args.begin(), "/opt/kivic/KivIc");
    MessageBoxRecorder boxes;
    CVomCmdLineInfo info;
    info.Parse(args, kStart);
    Parsed out;
    out.messages = boxes.texts;
    EXPECT_EQ(info.GetErrors().size(), boxes.texts.size()) << "every fault is shown once";
    for (const auto& option : info.GetOptions()) {
        out.kinds.push_back(option->GetKind());
        std::vector<std::string> texts;
        for (int i = 0; i < option->GetParamsSize(); ++i) {
            const CmdParams* param = option->GetParam(i);
            if (dynamic_cast<const CmdParamsStr*>(param) != nullptr)
                texts.push_back(param->GetParamStr().str());
            else
                texts.push_back(std::to_string(param->GetParamInt()));
        }
        out.params.push_back(texts);
    }
    out.lastForFramework = info.m_strFileName;
    return out;
}

using Texts = std::vector<std::string>;

} // namespace

TEST(CommandLineOptions, EveryWordMakesItsKindWithItsParameters) {
    const Parsed p = Parse({"/data/a.cm8", "-wt", "/wc", "-SetRate", "500", "/data/a.cm8", "-SPlay",
                            "/SLPlay", "-SetRange", "10", "200"});
    EXPECT_TRUE(p.messages.empty());
    EXPECT_EQ(p.kinds, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(p.params[0], (Texts{"/data/a.cm8"}));
    EXPECT_TRUE(p.params[1].empty());
    EXPECT_TRUE(p.params[2].empty());
    EXPECT_EQ(p.params[3], (Texts{"500", "/data/a.cm8"})) << "no blank left after the name";
    EXPECT_EQ(p.params[6], (Texts{"10", "200"}));
}

TEST(CommandLineOptions, WordsMatchWithoutCaseAndUnknownWordsTakeNothing) {
    const Parsed p = Parse({"-splay", "/SETRANGE", "-5", "7", "-WT", "-bogus", "x.cm8", "-", "/SLPLAY"});
    EXPECT_TRUE(p.messages.empty());
    // "-bogus" and a lone "-" make nothing; the name after the unknown word is a file of its own.
    EXPECT_EQ(p.kinds, (std::vector<int>{5, 7, 2, 1, 6}));
    EXPECT_EQ(p.params[1], (Texts{"-5", "7"})) << "a parameter may begin with a minus";
    EXPECT_EQ(p.params[3], (Texts{"/home/user/start/x.cm8"}));
}

TEST(CommandLineOptions, SlashBeforeAnythingButAnOptionWordIsAnAbsolutePath) {
    const Parsed p = Parse({"/wt", "/data/rec/wt", "/SetRange", "1", "2", "/tmp/b.avi", "/-SPlay"});
    EXPECT_TRUE(p.messages.empty());
    ASSERT_EQ(p.kinds, (std::vector<int>{2, 1, 7, 1, 1}));
    EXPECT_EQ(p.params[1], (Texts{"/data/rec/wt"}));
    EXPECT_EQ(p.params[3], (Texts{"/tmp/b.avi"}));
    EXPECT_EQ(p.params[4], (Texts{"/-SPlay"}));
}

TEST(CommandLineOptions, FileNamesKeepBlanksLoseQuotesAndBecomeAbsolute) {
    const Parsed p = Parse({"/data/with blank.cm8", "\"/data/quoted.cm8\"", "rel/../sub/c.cm8", "d.avi",
                            "-SetRate", "250", "\"rel name.cm8\"", "\"\""});
    EXPECT_TRUE(p.messages.empty());
    ASSERT_EQ(p.kinds, (std::vector<int>{1, 1, 1, 1, 4, 1}));
    EXPECT_EQ(p.params[0], (Texts{"/data/with blank.cm8"}));
    EXPECT_EQ(p.params[1], (Texts{"/data/quoted.cm8"}));
    EXPECT_EQ(p.params[2], (Texts{"/home/user/start/sub/c.cm8"}));
    EXPECT_EQ(p.params[3], (Texts{"/home/user/start/d.avi"}));
    EXPECT_EQ(p.params[4], (Texts{"250", "/home/user/start/rel name.cm8"}));
    EXPECT_EQ(p.params[5], (Texts{""})) << "an empty name stays empty, not the start folder";
}

TEST(CommandLineOptions, MissingParametersAreReportedOnceAndTheRestRuns) {
    const Parsed setRange = Parse({"a.cm8", "-SPlay", "-SetRange", "10"});
    EXPECT_EQ(setRange.kinds, (std::vector<int>{1, 5}));
    EXPECT_EQ(setRange.messages, (Texts{"SetRange: 2 parameters expected, 1 given."}));

    const Parsed setRate = Parse({"-wt", "-SetRate"});
    EXPECT_EQ(setRate.kinds, (std::vector<int>{2}));
    EXPECT_EQ(setRate.messages, (Texts{"SetRate: 2 parameters expected, 0 given."}));
}

TEST(CommandLineOptions, RatesAndRangesAreCheckedLikeTheDialogs) {
    const Parsed p =
        Parse({"-SetRate",  "0",         "a.cm8",    "-SetRate",  "100001",    "a.cm8",    "-SetRate",
               "12x",       "a.cm8",     "-SetRate", "1",         "a.cm8",     "-SetRate", "100000",
               "b.cm8",     "-SetRange", "200",      "10",        "-SetRange", "ten",      "20",
               "-SetRange", "/setrate",  "3",        "-SetRange", "0",         "0",        "-wc"});
    EXPECT_EQ(p.kinds, (std::vector<int>{4, 4, 7, 3}));
    EXPECT_EQ(p.params[0], (Texts{"1", "/home/user/start/a.cm8"}));
    EXPECT_EQ(p.params[1], (Texts{"100000", "/home/user/start/b.cm8"}));
    EXPECT_EQ(p.params[2], (Texts{"0", "0"}));
    EXPECT_EQ(p.messages, (Texts{
                              "SetRate 0: Please enter an integer between 1 and 100000.",
                              "SetRate 100001: Please enter an integer between 1 and 100000.",
                              "SetRate 12x: Please enter an integer between 1 and 100000.",
                              "SetRange 200 10: the play range begins after its end.",
                              "SetRange ten 20: Please enter an integer.",
                              "SetRange /setrate 3: Please enter an integer.",
                          }));
}

TEST(CommandLineOptions, TheFrameworkSeesOnlyTheLastArgument) {
    EXPECT_STREQ(Parse({"a.cm8", "b.cm8"}).lastForFramework, "b.cm8");
    EXPECT_STREQ(Parse({"a.cm8", "-wt"}).lastForFramework, "");
    EXPECT_STREQ(Parse({}).lastForFramework, "");
    EXPECT_TRUE(Parse({}).kinds.empty());
}

TEST(CommandLineOptions, AnalyzeParamsRefusesWhatDoesNotFit) {
    const auto message = [](CVomCmdOptionBase&& option, const char* text) -> std::string {
        try {
            option.AnalyzeParams(text);
        } catch (const vomException& e) {
            return e.Message();
        }
        return "accepted";
    };
    EXPECT_EQ(message(CVomCmdOptionWt(), "x "), "CVomCmdOptionBase::AnalyzeParams() must no parameters.");
    EXPECT_EQ(message(CVomCmdOptionSPlay(), ""), "accepted");
    EXPECT_EQ(message(CVomCmdOptionSetRate(), "500"),
              "CVomCmdOptionSetRate::AnalyzeParams() invaid parameter count.");
    EXPECT_EQ(message(CVomCmdOptionSetRange(), "10"),
              "CVomCmdOptionSetRange::AnalyzeParams() invaid parameter count.");
    EXPECT_EQ(message(CVomCmdOptionSetRange(), "10 20 "), "accepted");
}

TEST(CommandLineParams, TypedHoldersRefuseOtherTypes) {
    const auto message = [](auto&& read) -> std::string {
        try {
            read();
        } catch (const vomException& e) {
            EXPECT_NE(std::string(e.File()).find("CmdParams.h"), std::string::npos);
            EXPECT_GT(e.Line(), 0);
            return e.Message();
        }
        return "read";
    };
    const CmdParamsInt number("42");
    const CmdParamsStr text("2.5x");
    const CmdParams any("2.5x");
    EXPECT_EQ(number.GetParamInt(), 42);
    EXPECT_EQ(message([&] { number.GetParamDouble(); }),
              "CmdParamsInt::GetParamDouble() different parameter type.");
    EXPECT_EQ(message([&] { number.GetParamStr(); }),
              "CmdParamsInt::GetParamStr() different parameter type.");
    EXPECT_EQ(message([&] { text.GetParamInt(); }), "CmdParamsStr::GetParamInt() different parameter type.");
    EXPECT_EQ(message([&] { text.GetParamDouble(); }),
              "CmdParamsStr::GetParamDouble() different parameter type.");
    EXPECT_STREQ(text.GetParamStr(), "2.5x");
    EXPECT_EQ(any.GetParamInt(), 2);
    EXPECT_DOUBLE_EQ(any.GetParamDouble(), 2.5);
    EXPECT_EQ(CmdParams("none").GetParamInt(), 0);
}
