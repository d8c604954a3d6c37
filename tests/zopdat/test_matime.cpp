// Time texts: parsing, conversions between frames, milliseconds and texts, sums and differences.
#include "ZopDat/MATime.h"

#include <gtest/gtest.h>

#include <climits>

TEST(TimeText, ParseGivesTheFieldsOfValidTexts) {
    MATime t;
    int sign = 0, h = 0, m = 0, s = 0;
    long num = 0, den = 0;
    ASSERT_TRUE(t.Parse("-00:00:01.15/30", sign, h, m, s, num, den));
    EXPECT_EQ(-1, sign);
    EXPECT_EQ(0, h);
    EXPECT_EQ(0, m);
    EXPECT_EQ(1, s);
    EXPECT_EQ(15, num);
    EXPECT_EQ(30, den);
    ASSERT_TRUE(t.Parse("+01:02:03.5/30", sign, h, m, s, num, den));
    EXPECT_EQ(1, sign);
    EXPECT_EQ(1, h);
    EXPECT_EQ(2, m);
    EXPECT_EQ(3, s);
    EXPECT_EQ(5, num);
    ASSERT_TRUE(t.Parse(" 1: 2:3 .4 /25", sign, h, m, s, num, den));
    EXPECT_EQ(25, den);
}

TEST(TimeText, ParseRejectsMalformedTexts) {
    MATime t;
    int sign = 0, h = 0, m = 0, s = 0;
    long num = 0, den = 0;
    for (const char* bad :
         {"", "00:-0:01.0/30", "00:00:01/30", "00:00:01.5/", "00:00:01.5/0", "00:00:01.5/3a", "0a:00:01.5/30",
          "00:00:01.5", "::.5/30", "00:00:.5/30", "00:00:01./30", "-"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(t.Parse(bad, sign, h, m, s, num, den));
    }
}

TEST(TimeText, TextToMillisecondsAndFrames) {
    MATime t;
    EXPECT_DOUBLE_EQ(-1500.0, t.TextToMs("-00:00:01.15/30"));
    EXPECT_DOUBLE_EQ(1000.0 + 5000.0 / 30.0, t.TextToMs("+00:00:01.5/30"));
    EXPECT_DOUBLE_EQ(3723000.0, t.TextToMs("01:02:03.0/30"));
    EXPECT_EQ(0.0, t.TextToMs(""));
    EXPECT_EQ(0.0, t.TextToMs("bad"));
    // Hours far past 596 (2^31 ms) are computed wide, not wrapped.
    EXPECT_DOUBLE_EQ(1000.0 * 3600.0 * 1000.0, t.TextToMs("1000:00:00.0/30"));

    int frames = 0, rate = 0;
    ASSERT_TRUE(t.TextToFrameCount("-00:00:01.15/30", frames, rate));
    EXPECT_EQ(-45, frames);
    EXPECT_EQ(30, rate);
    ASSERT_TRUE(t.TextToFrameCount("+00:00:01.5/30", frames, rate));
    EXPECT_EQ(35, frames);
    EXPECT_FALSE(t.TextToFrameCount("", frames, rate));
    // 1000 hours at a million frames per second is beyond an int: refused, not wrapped.
    EXPECT_FALSE(t.TextToFrameCount("1000:00:00.0/1000000", frames, rate));
    ASSERT_TRUE(t.TextToFrameCount("00:35:47.483647/1000000", frames, rate));
    EXPECT_EQ(INT_MAX, frames);
}

TEST(TimeText, FramesToTexts) {
    MATime t;
    EXPECT_EQ("+00:00:02.234/500", t.FramesToText(1234, 500));
    EXPECT_EQ("-00:00:01.1/30", t.FramesToText(-31, 30));
    EXPECT_EQ("", t.FramesToText(5, 0));
    EXPECT_EQ("+01:01:01.0/1", t.FramesToText(3661, 1));
    EXPECT_EQ("-00:35:47.483648/1000000", t.FramesToText(INT_MIN, 1000000));
    EXPECT_EQ("-596523:14:08.0/1", t.FramesToText(INT_MIN, 1));

    EXPECT_EQ("+002:4680", t.FramesToSeconds(1234, 500));
    EXPECT_EQ("-000:3333", t.FramesToSeconds(-10, 30));
    EXPECT_EQ("+999:9999", t.FramesToSeconds(INT_MAX, 1000000));
    EXPECT_EQ("-999:9990", t.FramesToSeconds(INT_MIN, 1000));
    EXPECT_EQ("", t.FramesToSeconds(1, -1));
}

TEST(TimeText, MillisecondsToText) {
    MATime t;
    EXPECT_EQ("+00:00:00.30/30", t.MsToText(999.9, 30));
    EXPECT_EQ("+00:00:01.15/30", t.MsToText(1500.0, 30));
    EXPECT_EQ("-00:00:01.15/30", t.MsToText(-1500.0, 30));
    EXPECT_EQ("+00:00:00.1/30", t.MsToText(16.7, 30));
    EXPECT_EQ("", t.MsToText(1.0, 0));
    EXPECT_EQ("", t.MsToText(1e300, 30));
}

TEST(TimeText, TextToFramesGoesThroughMilliseconds) {
    MATime t;
    EXPECT_EQ(45, t.TextToFrames("00:00:01.15/30", 30));
    EXPECT_EQ(750, t.TextToFrames("00:00:01.15/30", 500));
    EXPECT_EQ(-45, t.TextToFrames("-00:00:01.15/30", 30));
    EXPECT_EQ(0, t.TextToFrames("garbage", 30));
    EXPECT_EQ(0, t.TextToFrames("00:00:01.15/30", 0));
    EXPECT_EQ(0, t.TextToFrames(nullptr, 30));
}

TEST(TimeText, SumsAndDifferences) {
    MATime t;
    EXPECT_EQ("+00:00:01.0/30", t.Sum("00:00:00.15/30", "00:00:00.15/30", 30));
    EXPECT_EQ("-00:00:00.15/30", t.Sum("00:00:00.15/30", "-00:00:01.0/30", 30));

    std::string out;
    ASSERT_TRUE(t.Difference("00:00:02.0/30", "00:00:01.15/30", out));
    EXPECT_EQ("00:00:00.15/30", out);
    ASSERT_TRUE(t.Difference("00:00:01.15/30", "00:00:02.0/30", out));
    EXPECT_EQ("-00:00:00.15/30", out);
    out = "kept";
    EXPECT_FALSE(t.Difference("00:00:02.0/30", "00:00:01.15/25", out));
    EXPECT_FALSE(t.Difference("00:00:02.0/30", "bad", out));
    EXPECT_FALSE(t.Difference("bad", "00:00:01.15/30", out));
    EXPECT_EQ("kept", out);
    // Subtracting zero frames gives the first text unchanged, even one of another rate.
    ASSERT_TRUE(t.Difference("anything", "00:00:00.0/25", out));
    EXPECT_EQ("anything", out);

    EXPECT_EQ("01:00:00.0/1", t.FormatDifference(3600, 0, 1));
    EXPECT_EQ("-01:01:01.7/10", t.FormatDifference(0, 36617, 10));
    // The full span of two ints does not overflow.
    EXPECT_EQ("-1193046:28:15.0/1", t.FormatDifference(INT_MIN, INT_MAX, 1));
    EXPECT_EQ("", t.FormatDifference(1, 0, 0));
    EXPECT_EQ("", t.FormatDifference(1, 0, -30));
}

TEST(TimeText, SplitTokenFollowsTheJobFileRules) {
    std::string text = "12:34";
    std::string token;
    MATime::SplitToken(text, ":", token);
    EXPECT_EQ("12", token);
    EXPECT_EQ("34", text);
    MATime::SplitToken(text, ":", token);
    EXPECT_EQ("34", token);
    EXPECT_EQ("", text);
}
