// Header fields as the reader hands them out, headerless dumps and the shutter speed.
#include <fstream>
#include <iterator>
#include <vector>

#include "fc/BREM_FC/BREMF.h"
#include "recording_files.h"
#include "tools/cm8gen/cm8_pattern.h"

namespace {

std::vector<unsigned char> FileBytes(const std::string& path, std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes(count);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    return bytes;
}

class HeaderTest : public RecordingFiles {};

TEST_F(HeaderTest, FieldsAreTurnedIntoHostOrderAndSignExtended) {
    cm8::Recording rec;
    rec.width = 320;
    rec.height = 240;
    rec.dispWidth = 318;
    rec.dispHeight = 238;
    rec.frames = 2;
    rec.dataOffset = 0x00000300;
    rec.reserved08 = 0x11223344;
    rec.fileVer = 0x01020304;
    rec.imageLength = 0x12345678;
    rec.begin = -5;
    rec.rate = 0x00010203;
    rec.shutter = 0x0A000B00;
    rec.cameraType = {0x41, 0x42, 0x43, 0x44};
    rec.cameraVer = 0x0A0B0C0D;
    rec.cameraSN = 0x80000001;
    rec.videoType = 7;
    rec.memorySize = -2;
    rec.recGain = -3;
    rec.scene = 0xBEEF;
    rec.segment = 9;
    rec.cameraId = 200;
    rec.zoom = 4;
    rec.recWhiteBalance = 3;
    rec.recGamma = 2;
    rec.recEnhance = 4;
    rec.recChroma = 5;
    const std::string path = Write(rec);

    // The file itself is big-endian, with the camera type as given.
    const auto raw = FileBytes(path, 512);
    EXPECT_EQ(raw[12], 0x01);
    EXPECT_EQ(raw[15], 0x04);
    EXPECT_EQ(raw[94], 0xFF);
    EXPECT_EQ(raw[95], 0xFE);
    EXPECT_EQ(raw[96], 0xFD);
    EXPECT_EQ(raw[80], 0x41);

    BREMF reader(path.c_str(), 1);
    ASSERT_TRUE(reader.IsValid());
    EXPECT_EQ(reader.GetDataOffset(), 0x300u);
    EXPECT_EQ(reader.Header().Reserved08, 0x11223344u);
    EXPECT_EQ(reader.GetFileVer(), 0x01020304u);
    EXPECT_EQ(reader.GetImageLength(), 0x12345678u);
    EXPECT_EQ(reader.GetFileLength(), 0x300 + 0x12345678);
    EXPECT_EQ(reader.GetNumFrames(), 2u);
    EXPECT_EQ(reader.GetRecordedBegin(), -5);
    EXPECT_EQ(reader.GetRecordedEnd(), -4);
    EXPECT_EQ(reader.GetFrameRate(), 0x00010203u);
    EXPECT_EQ(reader.GetShutterTime(), 0x0A000B00u);
    EXPECT_EQ(reader.GetFrameWidth(), 320);
    EXPECT_EQ(reader.GetFrameHeight(), 240);
    EXPECT_EQ(reader.GetDispWidth(), 318);
    EXPECT_EQ(reader.GetDispHeight(), 238);
    EXPECT_EQ(reader.GetCameraType(), 0x44434241u);
    EXPECT_EQ(reader.GetCameraVer(), 0x0A0B0C0Du);
    EXPECT_EQ(reader.GetCameraSN(), 0x80000001u);
    EXPECT_EQ(reader.GetVideoType(), 7);
    EXPECT_EQ(reader.GetMemorySize(), -2);
    EXPECT_EQ(reader.GetRecGain(), -3);
    EXPECT_EQ(reader.GetSceneNo(), 0xBEEF);
    EXPECT_EQ(reader.GetSegmentNo(), 9);
    EXPECT_EQ(reader.GetCameraID(), 200);
    EXPECT_EQ(reader.GetZoom(), 4);
    EXPECT_EQ(reader.GetRecWhiteBalance(), 3);
    EXPECT_EQ(reader.GetRecGamma(), 2);
    EXPECT_EQ(reader.GetRecEnhance(), 4);
    EXPECT_EQ(reader.GetRecChroma(), 5);
    EXPECT_EQ(reader.GetTriggerTime(), "261208194500123");
    EXPECT_EQ(reader.GetFrameSize(), 320u * 240u);
    EXPECT_EQ(reader.GetFirstFrame(), -5);
    EXPECT_EQ(reader.GetLastFrame(), -4);
    EXPECT_EQ(reader.GetCurrentFrame(), -5);
    EXPECT_EQ(reader.GetFramesPresent(), 2u);
}

TEST_F(HeaderTest, TriggerTimeStaysWithinItsSixteenBytes) {
    cm8::Recording rec = Small(0, 1);
    rec.triggerTime = "2612081945001234"; // no terminating NUL
    rec.segment = 'Z';                    // the byte right after the field
    BREMF reader(Write(rec).c_str(), 1);
    EXPECT_EQ(reader.GetTriggerTime(), "2612081945001234");
}

TEST_F(HeaderTest, HeaderCanBeReadLater) {
    const std::string path = Write(Small(3, 4));
    BREMF reader(path.c_str(), 0);
    EXPECT_FALSE(reader.IsValid());
    EXPECT_EQ(reader.ReadFrame(5), nullptr); // nothing is read before the header
    EXPECT_EQ(reader.ReadHeader(), 512u);
    ASSERT_TRUE(reader.IsValid());
    EXPECT_EQ(cm8::DecodeFrameNumber(reader.ReadFrame(5), 64, 16), 5);
}

TEST_F(HeaderTest, HeaderlessDumpHoldsFramesOfTheCameraSize) {
    cm8::Recording rec;
    rec.headerless = true;
    rec.frames = 10;
    rec.begin = 0;
    const std::string path = Write(rec);
    ASSERT_EQ(std::filesystem::file_size(path), 2457600u);

    BREMF reader(path.c_str(), 1);
    EXPECT_EQ(reader.GetNumFrames(), 10u);
    EXPECT_EQ(reader.GetFirstFrame(), 0);
    EXPECT_EQ(reader.GetLastFrame(), 9);
    EXPECT_EQ(reader.GetFrameWidth(), 512);
    EXPECT_EQ(reader.GetFrameHeight(), 480);
    EXPECT_EQ(reader.GetDispWidth(), 512);
    EXPECT_EQ(reader.GetDispHeight(), 480);
    EXPECT_EQ(reader.GetImageLength(), 2457600u);
    EXPECT_EQ(reader.GetDataOffset(), 0u);
    EXPECT_EQ(reader.GetRecChroma(), 100);
    EXPECT_EQ(reader.GetCameraType(), 0u);
    for (long n : {0L, 4L, 9L}) {
        EXPECT_EQ(cm8::DecodeFrameNumber(reader.ReadFrame(n), 512, 480), n);
    }
}

TEST_F(HeaderTest, HeaderlessDumpCountsWholeFramesOnly) {
    cm8::Recording rec;
    rec.headerless = true;
    rec.frames = 3;
    rec.truncate = 2 * 245760 + 1000;
    BREMF reader(Write(rec).c_str(), 1);
    EXPECT_EQ(reader.GetNumFrames(), 2u);
    EXPECT_EQ(reader.GetLastFrame(), 1);
}

TEST_F(HeaderTest, WrongMagicIsReadAsDump) {
    cm8::Recording rec;
    rec.magic = {'C', 'I', 'M', 'X'};
    rec.width = 64;
    rec.height = 16;
    rec.frames = 5000; // 5000 x 1024 + 512 bytes: 20 frames of 512 x 480
    BREMF reader(Write(rec).c_str(), 1);
    EXPECT_EQ(reader.GetFrameWidth(), 512);
    EXPECT_EQ(reader.GetNumFrames(), (5000u * 1024u + 512u) / 245760u);
    EXPECT_EQ(reader.GetRecordedBegin(), 0);
}

struct ShutterCase {
    std::uint32_t shutter;
    std::uint32_t rate;
    long expected;
};

void PrintTo(const ShutterCase& c, std::ostream* os) {
    *os << "shutter " << c.shutter << " rate " << c.rate;
}

class ShutterTest : public RecordingFiles, public ::testing::WithParamInterface<ShutterCase> {};

TEST_P(ShutterTest, SpeedFollowsTheShutterTable) {
    cm8::Recording rec = Small(0, 1);
    rec.shutter = GetParam().shutter;
    rec.rate = GetParam().rate;
    BREMF reader(Write(rec).c_str(), 1);
    EXPECT_EQ(reader.GetShutterSpeed(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShutterTest,
                         ::testing::Values(ShutterCase{4000, 100, 4000},  // c 3200, r 222
                                           ShutterCase{4000, 250, 0},     // r 222 not above the rate
                                           ShutterCase{1000, 500, 1000},  // c 800, r 888
                                           ShutterCase{100, 1000, 100},   // c 80, r 8928
                                           ShutterCase{7, 1000, 10},      // c 6, r 142857
                                           ShutterCase{5000, 10, 0},      // c 4000: no threshold above
                                           ShutterCase{0, 0, 0},          // no division by zero
                                           ShutterCase{0xFFFFFFFF, 0, 0}, // -1: r negative
                                           ShutterCase{0x7FFFFFFF, 0, 0}, // sums past 32 bits
                                           ShutterCase{0x80000000, 0, 0}));

} // namespace
