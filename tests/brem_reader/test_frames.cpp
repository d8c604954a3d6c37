// Frame selection, clamping, addressing past 4 GiB and recordings cut short.
#include <climits>
#include <cstring>
#include <vector>

#include "fc/BREM_FC/BREMF.h"
#include "recording_files.h"
#include "tools/cm8gen/cm8_pattern.h"

namespace {

class FrameTest : public RecordingFiles {
protected:
    static std::optional<std::int32_t> Number(BREMF& reader, long n) {
        return cm8::DecodeFrameNumber(reader.ReadFrame(n), static_cast<unsigned>(reader.GetFrameWidth()),
                                      static_cast<unsigned>(reader.GetFrameHeight()));
    }
};

TEST_F(FrameTest, EveryFrameIsReadFromItsOwnPlace) {
    cm8::Recording rec = Small(-7, 20);
    rec.dataOffset = 1000; // not the header size, so a reader that assumes 512 is caught
    BREMF reader(Write(rec).c_str(), 1);
    for (long n = -7; n <= 12; ++n) {
        EXPECT_EQ(Number(reader, n), n);
        EXPECT_EQ(reader.GetCurrentFrame(), n);
    }
    // Back and forth, not only in order.
    EXPECT_EQ(Number(reader, 3), 3);
    EXPECT_EQ(Number(reader, -6), -6);
}

TEST_F(FrameTest, FrameBytesAreTheFilesBytes) {
    cm8::Recording rec = Small(0, 3);
    BREMF reader(Write(rec).c_str(), 1);
    const std::vector<std::uint8_t> expected = cm8::MakeRawFrame(64, 16, 2, 2, false);
    EXPECT_EQ(0, std::memcmp(reader.ReadFrame(2), expected.data(), expected.size()));
}

TEST_F(FrameTest, FrameNumbersAreClampedIntoTheRecordedRange) {
    BREMF reader(Write(Small(-100, 300)).c_str(), 1);
    EXPECT_EQ(reader.GetFirstFrame(), -100);
    EXPECT_EQ(reader.GetLastFrame(), 199);
    EXPECT_EQ(Number(reader, -200), -100);
    EXPECT_EQ(reader.GetCurrentFrame(), -100);
    EXPECT_EQ(Number(reader, 500), 199);
    EXPECT_EQ(reader.GetCurrentFrame(), 199);
    EXPECT_EQ(Number(reader, LONG_MIN), -100);
    EXPECT_EQ(Number(reader, LONG_MAX), 199);
    EXPECT_EQ(Number(reader, 0), 0);
}

TEST_F(FrameTest, LargestFrameNumbersAreReachable) {
    BREMF reader(Write(Small(INT32_MAX - 2, 3)).c_str(), 1);
    EXPECT_EQ(reader.GetLastFrame(), INT32_MAX);
    EXPECT_EQ(Number(reader, LONG_MAX), INT32_MAX);
}

TEST_F(FrameTest, DataOffsetAtTheEndOfTheFirst4GiB) {
    // The first frame starts at 0xFFFFFFFF, a valid position whose low half is all ones; the next
    // frames lie past 4 GiB. The gap before the data is a hole, so the file costs no disk.
    cm8::Recording rec;
    rec.width = 64;
    rec.height = 32;
    rec.frames = 4;
    rec.begin = 10;
    rec.dataOffset = 0xFFFFFFFF;
    const std::string path = Write(rec);
    ASSERT_GT(std::filesystem::file_size(path), 0x100000000u);
    BREMF reader(path.c_str(), 1);
    EXPECT_EQ(reader.GetFramesPresent(), 4u);
    for (long n : {13L, 10L, 11L, 12L}) {
        EXPECT_EQ(Number(reader, n), n);
    }
}

TEST_F(FrameTest, FramesPastFourGiBInASparseRecording) {
    // 20000 frames of 512 x 480: frame 17476 straddles 4 GiB, 17477 and later lie beyond it.
    cm8::Recording rec;
    rec.frames = 20000;
    rec.onlyFrames = {0, 17475, 17476, 17477, 19999};
    const std::string path = Write(rec);
    ASSERT_GT(std::filesystem::file_size(path), 20000ull * 245760u);
    BREMF reader(path.c_str(), 1);
    EXPECT_EQ(reader.GetFramesPresent(), 20000u);
    for (long n : {19999L, 17477L, 17476L, 17475L, 0L}) {
        EXPECT_EQ(Number(reader, n), n);
    }
    // A frame never written is a hole: it reads as zeros and carries no number.
    EXPECT_EQ(Number(reader, 18000), std::nullopt);
}

TEST_F(FrameTest, RecordingCutInsideItsLastFrameStillOpens) {
    cm8::Recording rec = Small(0, 10);
    rec.truncate = 512 + 9 * 1024 + 500;
    BREMF reader(Write(rec).c_str(), 1);
    EXPECT_EQ(reader.GetNumFrames(), 10u);
    EXPECT_EQ(reader.GetFramesPresent(), 9u);
    EXPECT_EQ(Number(reader, 8), 8);

    EXPECT_THROW(reader.ReadFrame(9), vomRfile::XRead);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HANDLE_EOF));
    EXPECT_TRUE(reader.IsValid());
    // The reader goes on working after the failure.
    EXPECT_EQ(Number(reader, 2), 2);
}

TEST_F(FrameTest, MissingFramesAtTheEndAreErrors) {
    cm8::Recording rec = Small(-50, 10);
    rec.numFrames = 300;
    BREMF reader(Write(rec).c_str(), 1);
    EXPECT_EQ(reader.GetLastFrame(), 249);
    EXPECT_EQ(reader.GetFramesPresent(), 10u);
    EXPECT_EQ(Number(reader, -41), -41);
    // The previous frame's buffer must never come back as the missing frame's.
    EXPECT_THROW(reader.ReadFrame(-40), vomRfile::XRead);
    EXPECT_THROW(reader.ReadFrame(249), vomRfile::XRead);
    EXPECT_THROW(reader.ReadFrame(1000), vomRfile::XRead); // clamped to 249, still missing
    EXPECT_EQ(reader.GetCurrentFrame(), 249);
    EXPECT_EQ(Number(reader, -50), -50);
}

} // namespace
