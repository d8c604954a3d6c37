// The generator: raw sample order, the frame-number code, options and the command-line tool.
#include <cstdlib>
#include <numeric>

#include "fc/BREM_FC/BREMF.h"
#include "recording_files.h"
#include "tools/cm8gen/cm8_options.h"
#include "tools/cm8gen/cm8_pattern.h"

namespace {

std::vector<std::uint8_t> Counting(std::size_t n) {
    std::vector<std::uint8_t> v(n);
    std::iota(v.begin(), v.end(), 0);
    return v;
}

TEST(Cm8Pattern, RowPairsAreInterleavedInGroupsOfFour) {
    const auto picture = Counting(16); // 8 x 2: row 0 is 0..7, row 1 is 8..15
    std::vector<std::uint8_t> raw(16);
    cm8::Interleave(picture.data(), raw.data(), 8, 2);
    EXPECT_EQ(raw, (std::vector<std::uint8_t>{0, 1, 2, 3, 8, 9, 10, 11, 4, 5, 6, 7, 12, 13, 14, 15}));

    // A narrower last group takes what is left of each row; an odd last row stands alone.
    const auto odd = Counting(18); // 6 x 3
    raw.assign(18, 0);
    cm8::Interleave(odd.data(), raw.data(), 6, 3);
    EXPECT_EQ(raw, (std::vector<std::uint8_t>{0, 1, 2, 3, 6, 7, 8, 9, 4, 5, 10, 11, 12, 13, 14, 15, 16, 17}));
    std::vector<std::uint8_t> back(18);
    cm8::Deinterleave(raw.data(), back.data(), 6, 3);
    EXPECT_EQ(back, odd);
}

TEST(Cm8Pattern, FrameNumbersRoundTripAndBlankFramesCarryNone) {
    for (std::int32_t n : {INT32_MIN, -100, -1, 0, 1, 12345, INT32_MAX}) {
        EXPECT_EQ(cm8::DecodeFrameNumber(cm8::MakeRawFrame(40, 2, n, 3, false).data(), 40, 2), n);
        EXPECT_EQ(cm8::DecodeFrameNumber(cm8::MakeRawFrame(512, 480, n, 7, true).data(), 512, 480), n);
    }
    const std::vector<std::uint8_t> blank(64 * 16, 0);
    EXPECT_EQ(cm8::DecodeFrameNumber(blank.data(), 64, 16), std::nullopt);
    EXPECT_EQ(cm8::DecodeFrameNumber(cm8::MakeRawFrame(39, 4, 5, 0, false).data(), 39, 4), std::nullopt);

    auto damaged = cm8::MakeRawFrame(64, 16, 77, 0, false);
    damaged[cm8::RawIndex(0, 0, 64, 16)] ^= 0xFF; // one sample of the first block
    EXPECT_EQ(cm8::DecodeFrameNumber(damaged.data(), 64, 16), std::nullopt);
}

TEST(Cm8Pattern, MosaicPhaseFollowsTheCameraVersion) {
    // In the red bar (sixth of eight) red samples are bright and blue ones dark.
    const unsigned w = 64, h = 64, x = 5 * w / 8 + 2, y = 20;
    std::vector<std::uint8_t> rgFirst(w * h), grFirst(w * h);
    cm8::DrawTestPicture(rgFirst.data(), w, h, 0, 0, false);
    cm8::DrawTestPicture(grFirst.data(), w, h, 0, 0, true);
    EXPECT_GT(rgFirst[y * w + x], 90);           // R at even row, even column
    EXPECT_LT(rgFirst[(y + 1) * w + x + 1], 10); // B at odd row, odd column
    EXPECT_LT(grFirst[y * w + x], 10);           // G there when rows start with green
    EXPECT_GT(grFirst[y * w + x + 1], 90);       // R one to the right
    for (std::uint8_t v : rgFirst) {
        EXPECT_LT(v, 128); // below the tone curve's saturation
    }
}

TEST(Cm8Options, EveryHeaderFieldCanBeSet) {
    const cm8::Command cmd = cm8::ParseCommand({"--out",          "x.cm8",
                                                "--width",        "0x140",
                                                "--height",       "240",
                                                "--disp-width",   "300",
                                                "--disp-height",  "200",
                                                "--frames",       "7",
                                                "--num-frames",   "9",
                                                "--begin",        "-20",
                                                "--rate",         "500",
                                                "--shutter",      "4000",
                                                "--camera-type",  "hex:41424344",
                                                "--camera-ver",   "110",
                                                "--camera-sn",    "4294967295",
                                                "--rec-gain",     "-128",
                                                "--memory-size",  "-32768",
                                                "--scene",        "65535",
                                                "--rec-wb",       "1",
                                                "--rec-gamma",    "2",
                                                "--rec-enhance",  "3",
                                                "--rec-chroma",   "4",
                                                "--trigger-time", "2612081945001234",
                                                "--data-offset",  "4096",
                                                "--file-ver",     "3",
                                                "--video-type",   "5",
                                                "--segment",      "6",
                                                "--camera-id",    "8",
                                                "--zoom",         "2",
                                                "--image-length", "11"});
    ASSERT_EQ(cmd.kind, cm8::Command::Write) << cmd.error;
    EXPECT_EQ(cmd.out, "x.cm8");
    // The header bytes, big-endian, from offset 20 (ImageLength) to 104 (past SceneNo).
    const auto h = cm8::BuildHeader(cmd.rec);
    const std::vector<std::uint8_t> expected = {
        0,    0,    0,    11,   0,    0,    0,    9,    0xFF, 0xFF, 0xFF, 0xEC, '2',  '6',  '1', '2', '0',
        '8',  '1',  '9',  '4',  '5',  '0',  '0',  '1',  '2',  '3',  '4',  6,    8,    2,    0,   0,   0,
        0x01, 0xF4, 0,    0,    0x0F, 0xA0, 0x01, 0x40, 0,    240,  0,    0,    0x01, 0x2C, 0,   200, 0,
        0,    0,    0,    0,    0,    0,    0,    0,    0,    0x41, 0x42, 0x43, 0x44, 0,    0,   0,   110,
        0xFF, 0xFF, 0xFF, 0xFF, 5,    0,    0x80, 0x00, 0x80, 0,    0,    0,    0xFF, 0xFF, 0,   0};
    EXPECT_EQ(std::vector<std::uint8_t>(h.begin() + 20, h.begin() + 104), expected);
    EXPECT_EQ(std::vector<std::uint8_t>(h.begin() + 224, h.begin() + 228),
              (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(cmd.rec.dataOffset, 4096u);
    EXPECT_EQ(cmd.rec.fileVer, 3u);
    EXPECT_TRUE(cmd.rec.GreenFirst());
    cm8::Recording rec;
    rec.cameraVer = 119;
    EXPECT_TRUE(rec.GreenFirst());
    rec.cameraVer = 120;
    EXPECT_FALSE(rec.GreenFirst());
}

TEST(Cm8Options, BadCommandLinesAreRefused) {
    using Args = std::vector<std::string>;
    for (const Args& args :
         {Args{"--width", "4"}, Args{"--out", "x", "--width", "65536"},
          Args{"--out", "x", "--rec-gain", "128"}, Args{"--out", "x", "--begin", "2147483648"},
          Args{"--out", "x", "--camera-type", "ABCDE"}, Args{"--out", "x", "--frames"},
          Args{"--out", "x", "--trigger-time", "12345678901234567"},
          Args{"--out", "x", "--only-frames", "1,,2"}, Args{"--out", "x", "--bogus", "1"},
          Args{"--out", "x", "--rate", "12z"}}) {
        EXPECT_EQ(cm8::ParseCommand(args).kind, cm8::Command::Error) << ::testing::PrintToString(args);
    }
    EXPECT_EQ(cm8::ParseCommand({"--help"}).kind, cm8::Command::Help);
    const cm8::Command sparse = cm8::ParseCommand({"--out", "x", "--frames", "100", "--sparse"});
    EXPECT_EQ(sparse.rec.onlyFrames, (std::vector<std::uint32_t>{0, 99}));
}

class Cm8Tool : public RecordingFiles {
protected:
    static std::string Tool() {
        const char* dir = std::getenv("KIVIC_BIN_DIR");
        return std::string(dir ? dir : KIVIC_BINARY_DIR "/bin") + "/cm8gen";
    }
    static int Run(const std::string& args) {
        const int status = std::system((Tool() + " " + args + " >/dev/null 2>&1").c_str());
        return status == -1 ? -1 : status >> 8;
    }
};

TEST_F(Cm8Tool, SampleRecordingOfTheRunScript) {
    const std::string path = Path("sample.cm8");
    ASSERT_EQ(Run("--out '" + path + "' --width 512 --height 480 --frames 120 --begin -20 --rate 500"), 0);
    BREMF reader(path.c_str(), 1);
    EXPECT_EQ(reader.GetFirstFrame(), -20);
    EXPECT_EQ(reader.GetLastFrame(), 99);
    EXPECT_EQ(reader.GetFrameRate(), 500u);
    EXPECT_EQ(reader.GetDispWidth(), 512);
    EXPECT_EQ(reader.GetRecChroma(), 5); // colour at full level
    EXPECT_EQ(cm8::DecodeFrameNumber(reader.ReadFrame(99), 512, 480), 99);
    EXPECT_EQ(cm8::DecodeFrameNumber(reader.ReadFrame(-20), 512, 480), -20);
}

TEST_F(Cm8Tool, HelpAndErrorsHaveTheirExitCodes) {
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_EQ(Run("--out x --width nine"), 2);
    EXPECT_EQ(Run("--out '" + Path("no/such/folder/x.cm8") + "'"), 1);
}

} // namespace
