#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/afx/core/afxcore.h"

TEST(CStringBinary, KeepsEmbeddedZeroBytesThroughCopiesAndEdits) {
    const char raw[] = {'a', '\0', 'b', '\0', 'c'};
    CString s(raw, 5);
    ASSERT_EQ(s.GetLength(), 5);
    EXPECT_EQ(std::memcmp(static_cast<LPCTSTR>(s), raw, 5), 0);
    EXPECT_EQ(s[1], '\0');
    EXPECT_EQ(s.GetAt(4), 'c');

    CString copy = s;
    copy += CString(raw, 2);
    EXPECT_EQ(copy.GetLength(), 7);
    EXPECT_EQ(copy.Mid(2).GetLength(), 5);
    EXPECT_EQ(copy.Right(2).GetLength(), 2);
    EXPECT_EQ(copy.Right(2)[1], '\0');

    // Strings that differ only after a zero byte are different.
    EXPECT_NE(CString("a\0x", 3), CString("a\0y", 3));
    EXPECT_NE(CString("a\0x", 3), CString("a"));
    EXPECT_EQ(CString("a\0x", 3), CString("a\0x", 3));
}

TEST(CStringBinary, BufferAccessWithExplicitLengths) {
    CString s;
    char* p = s.GetBufferSetLength(4);
    std::memcpy(p, "\x01\x00\x02\x00", 4);
    EXPECT_EQ(s.GetLength(), 4);
    EXPECT_EQ(s[2], '\x02');

    CString t("hello");
    char* q = t.GetBuffer(20);
    std::strcpy(q, "a longer text");
    t.ReleaseBuffer();
    EXPECT_STREQ(t, "a longer text");
    EXPECT_EQ(t.GetLength(), 13);
    t.GetBuffer(0);
    t.ReleaseBuffer(3);
    EXPECT_STREQ(t, "a l");
}

TEST(CStringBasics, ConstructionAndAccess) {
    EXPECT_TRUE(CString(static_cast<LPCTSTR>(nullptr)).IsEmpty());
    EXPECT_STREQ(CString('x', 3), "xxx");
    EXPECT_TRUE(CString('x', 0).IsEmpty());
    CString s("abc");
    s.SetAt(1, 'X');
    EXPECT_STREQ(s, "aXc");
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.GetLength(), 0);
}

TEST(CStringBasics, OutOfRangeElementAccessThrows) {
    CString s("abc");
    try {
        s.SetAt(3, 'x');
        FAIL() << "no exception";
    } catch (CException* e) {
        EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CInvalidArgException)));
        e->Delete();
    }
    try {
        s.GetAt(-1);
        FAIL() << "no exception";
    } catch (CException* e) {
        e->Delete();
    }
}

TEST(CStringBasics, ConcatenationAndComparison) {
    CString a("ab");
    EXPECT_STREQ(a + "cd", "abcd");
    EXPECT_STREQ("cd" + a, "cdab");
    EXPECT_STREQ(a + 'z', "abz");
    EXPECT_STREQ('z' + a, "zab");
    EXPECT_STREQ(a + a, "abab");

    EXPECT_TRUE(a == "ab");
    EXPECT_TRUE("ab" == a);
    EXPECT_TRUE(a < "abc");
    EXPECT_TRUE(a > "aa");
    EXPECT_TRUE(a <= CString("ab"));
    EXPECT_LT(a.Compare("b"), 0);
    EXPECT_GT(a.Compare("a"), 0);
    EXPECT_EQ(a.CompareNoCase("AB"), 0);
    EXPECT_NE(a.Compare("AB"), 0);
    EXPECT_LT(CString("Apple").CompareNoCase("banana"), 0);
}

TEST(CStringFormat, PrintfFormatsShortAndLongTexts) {
    CString s;
    s.Format("%d-%s-%.2f-%04X", 42, "x", 3.14159, 0xBEEF);
    EXPECT_STREQ(s, "42-x-3.14-BEEF");

    const std::string longText(5000, 'q');
    s.Format("<%s>", longText.c_str());
    EXPECT_EQ(s.GetLength(), 5002);
    EXPECT_EQ(s.Mid(1, 5000), CString(longText));

    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
    s = "n=";
    s.AppendFormat("%d,%d", 1, 2);
    EXPECT_STREQ(s, "n=1,2");
}

TEST(CStringSearch, FindWithStartsAndReverse) {
    const CString s("abcabc");
    EXPECT_EQ(s.Find('b'), 1);
    EXPECT_EQ(s.Find('b', 2), 4);
    EXPECT_EQ(s.Find('b', 5), -1);
    EXPECT_EQ(s.Find('b', 99), -1);
    EXPECT_EQ(s.Find('b', -1), -1);
    EXPECT_EQ(s.Find("ca"), 2);
    EXPECT_EQ(s.Find("bc", 2), 4);
    EXPECT_EQ(s.Find("zz"), -1);
    EXPECT_EQ(s.Find(""), 0);
    EXPECT_EQ(s.ReverseFind('a'), 3);
    EXPECT_EQ(s.ReverseFind('z'), -1);
    EXPECT_EQ(s.FindOneOf("xc"), 2);
    EXPECT_EQ(CString("a\0b", 3).Find('b'), 2);
}

TEST(CStringExtract, MidLeftRightClampOutOfRange) {
    const CString s("hello");
    EXPECT_STREQ(s.Mid(1, 3), "ell");
    EXPECT_STREQ(s.Mid(3), "lo");
    EXPECT_STREQ(s.Mid(-2, 3), "hel");
    EXPECT_STREQ(s.Mid(2, 100), "llo");
    EXPECT_TRUE(s.Mid(9).IsEmpty());
    EXPECT_TRUE(s.Mid(1, -1).IsEmpty());
    EXPECT_STREQ(s.Left(2), "he");
    EXPECT_TRUE(s.Left(-1).IsEmpty());
    EXPECT_STREQ(s.Left(50), "hello");
    EXPECT_STREQ(s.Right(3), "llo");
    EXPECT_STREQ(s.Right(50), "hello");
    EXPECT_STREQ(s.SpanIncluding("leh"), "hell");
    EXPECT_STREQ(s.SpanExcluding("l"), "he");
}

TEST(CStringExtract, TokenizeSkipsEmptyTokens) {
    const CString s(",a,,bc,");
    int pos = 0;
    EXPECT_STREQ(s.Tokenize(",", pos), "a");
    EXPECT_STREQ(s.Tokenize(",", pos), "bc");
    EXPECT_TRUE(s.Tokenize(",", pos).IsEmpty());
    EXPECT_EQ(pos, -1);
}

TEST(CStringEdit, CaseAndTrim) {
    CString s("  MiXed 1\t\n");
    s.Trim();
    EXPECT_STREQ(s, "MiXed 1");
    EXPECT_STREQ(CString(s).MakeUpper(), "MIXED 1");
    EXPECT_STREQ(CString(s).MakeLower(), "mixed 1");
    EXPECT_STREQ(CString("xxaxx").TrimLeft('x'), "axx");
    EXPECT_STREQ(CString("xxaxx").TrimRight('x'), "xxa");
    EXPECT_STREQ(CString("-+a+-").Trim("+-"), "a");
    EXPECT_TRUE(CString("   ").TrimLeft().IsEmpty());
    EXPECT_TRUE(CString("   ").TrimRight().IsEmpty());
    EXPECT_STREQ(CString("abc").MakeReverse(), "cba");
}

TEST(CStringEdit, ReplaceRemoveInsertDelete) {
    CString s("aaa");
    EXPECT_EQ(s.Replace("aa", "b"), 1);
    EXPECT_STREQ(s, "ba");
    s = "one two two";
    EXPECT_EQ(s.Replace("two", "three"), 2);
    EXPECT_STREQ(s, "one three three");
    EXPECT_EQ(s.Replace("", "x"), 0);
    EXPECT_EQ(s.Replace("e", ""), 5);
    EXPECT_STREQ(s, "on thr thr");
    EXPECT_EQ(s.Replace(' ', '_'), 2);
    EXPECT_STREQ(s, "on_thr_thr");
    EXPECT_EQ(s.Remove('_'), 2);
    EXPECT_STREQ(s, "onthrthr");

    s = "ac";
    EXPECT_EQ(s.Insert(1, 'b'), 3);
    EXPECT_EQ(s.Insert(99, "de"), 5);
    EXPECT_STREQ(s, "abcde");
    EXPECT_EQ(s.Insert(0, static_cast<LPCTSTR>(s)), 10); // inserting its own text
    EXPECT_STREQ(s, "abcdeabcde");
    EXPECT_EQ(s.Delete(1, 3), 7);
    EXPECT_STREQ(s, "aeabcde");
    EXPECT_EQ(s.Delete(5, 100), 5);
    EXPECT_STREQ(s, "aeabc");
    EXPECT_EQ(s.Delete(-3), 4);
    EXPECT_STREQ(s, "eabc");
}
