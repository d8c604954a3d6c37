#include <gtest/gtest.h>
#include <string>

#include "platform/win32/codepage.h"

TEST(CodePage932, WritesTheVendorsFullWidthHyphenMinus) {
    std::string out;
    // U+FF0D, which a strict Shift_JIS conversion refuses, is 0x817C here.
    EXPECT_TRUE(Utf8ToCp932("ポイント－スタート", out));
    EXPECT_EQ(out, "\x83\x7C\x83\x43\x83\x93\x83\x67\x81\x7C\x83\x58\x83\x5E\x81\x5B\x83\x67");
}

TEST(CodePage932, HalfWidthKanaAndAsciiStaySingleBytes) {
    std::string out;
    EXPECT_TRUE(Utf8ToCp932("ﾃﾝﾌﾟﾚｰﾄ数,3\n", out));
    EXPECT_EQ(out, "\xC3\xDD\xCC\xDF\xDA\xB0\xC4\x90\x94,3\n");
    EXPECT_TRUE(Utf8ToCp932("", out));
    EXPECT_TRUE(out.empty());
}

TEST(CodePage932, MissingCharactersAndBrokenBytesBecomeQuestionMarks) {
    std::string out;
    // An e with acute accent has no place in the code page; a lone continuation byte and a cut
    // three-byte sequence are not UTF-8. The valid text around them stays.
    EXPECT_FALSE(Utf8ToCp932("caf\xC3\xA9/x", out));
    EXPECT_EQ(out, "caf?/x");
    EXPECT_FALSE(Utf8ToCp932("a\x80"
                             "b\xE3\x81"
                             "c",
                             out));
    EXPECT_EQ(out, "a?b?c");
    EXPECT_FALSE(Utf8ToCp932("\xE3", out));
    EXPECT_EQ(out, "?");
}

TEST(CodePage932, LongTextsConvertWhole) {
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += "点番号,";
    std::string out;
    EXPECT_TRUE(Utf8ToCp932(text, out));
    ASSERT_EQ(out.size(), 500u * 7u);
    EXPECT_EQ(out.substr(out.size() - 7), "\x93\x5F\x94\xD4\x8D\x86,");
}
