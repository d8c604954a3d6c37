// The "Frame_Rate:" line of an information text: where the rate is taken and where it is not.
#include <gtest/gtest.h>

#include "KivIc/Documents/FrameRateText.h"

TEST(FrameRateText, TheNumberOfAKeyLineEndedByALineFeed) {
    EXPECT_EQ(ParseFrameRateText("Frame_Rate: 250\r\n"), 250);
    EXPECT_EQ(ParseFrameRateText("Frame_Rate:500\n"), 500);
    EXPECT_EQ(ParseFrameRateText("Rec Rate=1000\r\nFrame_Rate: \t 60fps\r\nShutter=1/2000\r\n"), 60);
    // The first key counts.
    EXPECT_EQ(ParseFrameRateText("Frame_Rate: 30\nFrame_Rate: 40\n"), 30);
    // The line feed may stand later in the text than the key's own line.
    EXPECT_EQ(ParseFrameRateText("Frame_Rate: 75 and more words\nend\n"), 75);
}

TEST(FrameRateText, NoRateWithoutALineFeedBehindTheKeysRest) {
    EXPECT_EQ(ParseFrameRateText(""), 0);
    EXPECT_EQ(ParseFrameRateText("Rec Rate=1000\r\n"), 0);
    EXPECT_EQ(ParseFrameRateText("Frame_Rate: 60"), 0);
    EXPECT_EQ(ParseFrameRateText("Frame_Rate:\n250\n"), 0);
    // Case matters, as does the colon.
    EXPECT_EQ(ParseFrameRateText("frame_rate: 250\n"), 0);
    EXPECT_EQ(ParseFrameRateText("Frame_Rate 250\n"), 0);
}

TEST(FrameRateText, OnlyRatesFromOneToOneHundredThousand) {
    EXPECT_EQ(ParseFrameRateText("Frame_Rate: 1\n"), 1);
    EXPECT_EQ(ParseFrameRateText("Frame_Rate: 100000\n"), 100000);
    EXPECT_EQ(ParseFrameRateText("Frame_Rate: 0\n"), 0);
    EXPECT_EQ(ParseFrameRateText("Frame_Rate: 100001\n"), 0);
    EXPECT_EQ(ParseFrameRateText("Frame_Rate: -250\n"), 0);
    EXPECT_EQ(ParseFrameRateText("Frame_Rate: x250\n"), 0);
    // Numbers that wrap a 32-bit or 64-bit integer into the range stay refused.
    EXPECT_EQ(ParseFrameRateText("Frame_Rate: 4294967546\n"), 0);           // 2^32 + 250
    EXPECT_EQ(ParseFrameRateText("Frame_Rate: 18446744073709551866\n"), 0); // 2^64 + 250
    EXPECT_EQ(ParseFrameRateText("Frame_Rate: 000000000000000000000250\n"), 250);
}
