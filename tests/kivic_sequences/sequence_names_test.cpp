// Which file names are frames of a sequence, their numbers, and how an opened path is made full.
#include <filesystem>

#include <gtest/gtest.h>

#include "KivIc/Documents/SequenceFiles.h"

namespace {

// The frame number, or a text saying the name is no frame.
std::string FrameOf(const char* name, const char* base, const char* ext = ".bmp") {
    LONG number = 0;
    if (!SequenceFrameNumber(name, base, ext, &number))
        return "none";
    return std::to_string(number);
}

} // namespace

TEST(SequenceNames, OnlyTheBaseWithSignedDigitsAndTheExtensionIsAFrame) {
    EXPECT_EQ(FrameOf("run00000003.bmp", "run"), "3");
    EXPECT_EQ(FrameOf("run-3.bmp", "run"), "-3");
    EXPECT_EQ(FrameOf("run+12.bmp", "run"), "12");
    EXPECT_EQ(FrameOf("run.bmp", "run"), "0");
    // Another base that merely starts like this one.
    EXPECT_EQ(FrameOf("runner5.bmp", "run"), "none");
    EXPECT_EQ(FrameOf("run5x.bmp", "run"), "none");
    EXPECT_EQ(FrameOf("run-.bmp", "run"), "none");
    EXPECT_EQ(FrameOf("run+-5.bmp", "run"), "none");
    EXPECT_EQ(FrameOf("run5.bmp.bak", "run"), "none");
    // The extension as the file system has it.
    EXPECT_EQ(FrameOf("run5.BMP", "run"), "none");
    EXPECT_EQ(FrameOf("run5.tif", "run"), "none");
    EXPECT_EQ(FrameOf("run5", "run", ""), "5");
    // A name of digits keeps its first digit as its base.
    EXPECT_EQ(FrameOf("12.bmp", "1"), "2");
    EXPECT_EQ(FrameOf("1.bmp", "1"), "0");
    EXPECT_EQ(FrameOf("123.bmp", "1"), "23");
    EXPECT_EQ(FrameOf("2.bmp", "1"), "none");
    // Names with a folder are no frames.
    EXPECT_EQ(FrameOf("sub/run5.bmp", "run"), "none");
}

TEST(SequenceNames, NumbersMustFitThirtyTwoBits) {
    EXPECT_EQ(FrameOf("run2147483647.bmp", "run"), "2147483647");
    EXPECT_EQ(FrameOf("run-2147483648.bmp", "run"), "-2147483648");
    EXPECT_EQ(FrameOf("run2147483648.bmp", "run"), "none");
    EXPECT_EQ(FrameOf("run-2147483649.bmp", "run"), "none");
    // 2^32 + 5 would wrap to 5 in 32 bits.
    EXPECT_EQ(FrameOf("run4294967301.bmp", "run"), "none");
    EXPECT_EQ(FrameOf("run99999999999999999999999999999999.bmp", "run"), "none");
    EXPECT_EQ(FrameOf("run0000000000000000000000000007.bmp", "run"), "7");

    LONG number = 99;
    EXPECT_FALSE(ParseSequenceNumber("", &number));
    EXPECT_FALSE(ParseSequenceNumber("-", &number));
    EXPECT_FALSE(ParseSequenceNumber("1 2", &number));
    EXPECT_EQ(number, 99);
    EXPECT_TRUE(ParseSequenceNumber("-0", &number));
    EXPECT_EQ(number, 0);
}

TEST(SequenceNames, FolderEndsInASeparator) {
    EXPECT_EQ(SequenceFolder("", "/data/seq/"), "/data/seq/");
    EXPECT_EQ(SequenceFolder("", "/data/seq"), "/data/seq/");
    EXPECT_EQ(SequenceFolder("", "/"), "/");
    EXPECT_EQ(SequenceFolder("", ""), "");
}

TEST(SequenceNames, RelativePathsAreTakenFromTheCurrentFolderAbsoluteOnesStay) {
    const std::filesystem::path saved = std::filesystem::current_path();
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    std::filesystem::current_path(folder);
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(FullSequencePath("run1.bmp"), CString((here + "/run1.bmp").c_str()));
    EXPECT_EQ(FullSequencePath("seq/run1.bmp"), CString((here + "/seq/run1.bmp").c_str()));
    EXPECT_EQ(FullSequencePath("/data/../seq/run1.bmp"), "/data/../seq/run1.bmp");
    EXPECT_EQ(std::filesystem::current_path(), here);
    std::filesystem::current_path(saved);
}
