// The pieces of a recording's path and the base name of a numbered sequence.
#include <gtest/gtest.h>

#include "KivIc/Playback/SourcePath.h"

namespace {

TEST(SourcePath, SplitsDriveFolderNameAndExtension) {
    SourcePathParts parts = SplitSourcePath("/data/shots/run.1.cm8");
    EXPECT_STREQ(parts.drive, "");
    EXPECT_STREQ(parts.dir, "/data/shots/");
    EXPECT_STREQ(parts.fileName, "run.1");
    EXPECT_STREQ(parts.ext, ".cm8");

    parts = SplitSourcePath("c:\\Temp\\img00000012.bmp");
    EXPECT_STREQ(parts.drive, "c:");
    EXPECT_STREQ(parts.dir, "\\Temp\\");
    EXPECT_STREQ(parts.fileName, "img00000012");
    EXPECT_STREQ(parts.ext, ".bmp");

    parts = SplitSourcePath("noext");
    EXPECT_STREQ(parts.dir, "");
    EXPECT_STREQ(parts.fileName, "noext");
    EXPECT_STREQ(parts.ext, "");
}

TEST(SourcePath, SequenceBaseNameDropsTheTrailingNumber) {
    EXPECT_STREQ(SequenceBaseName("img00000012"), "img");
    EXPECT_STREQ(SequenceBaseName("img-12"), "img");
    EXPECT_STREQ(SequenceBaseName("img+7"), "img");
    EXPECT_STREQ(SequenceBaseName("shot"), "shot");
    // A sign without digits after it stays.
    EXPECT_STREQ(SequenceBaseName("take-"), "take-");
    // Only one sign belongs to the number.
    EXPECT_STREQ(SequenceBaseName("a--5"), "a-");
    // The first character always stays, digit or sign.
    EXPECT_STREQ(SequenceBaseName("12345"), "1");
    EXPECT_STREQ(SequenceBaseName("-5"), "-");
    EXPECT_STREQ(SequenceBaseName(""), "");
}

} // namespace
