// Files past the switch-over size: AVI 1.0 first, then OpenDML 'AVIX' RIFFs with OpenDML indexes.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/vfw/vfw.h"
#include "vfw/avi_test_util.h"
#include "vfw/movie_writer.h"

using namespace avitest;

namespace {

// The top-level RIFFs of a file: (form type, size).
std::vector<std::pair<std::string, uint64_t>> Riffs(const std::vector<uint8_t>& file) {
    std::vector<std::pair<std::string, uint64_t>> riffs;
    uint64_t at = 0;
    while (at + 12 <= file.size() && std::memcmp(&file[at], "RIFF", 4) == 0) {
        uint32_t size;
        std::memcpy(&size, &file[at + 4], 4);
        riffs.emplace_back(std::string(reinterpret_cast<const char*>(&file[at + 8]), 4), size);
        at += 8 + size + (size & 1);
    }
    return riffs;
}

// Every RIFF but the last (which carries the standard indexes too) ends at the switch-over size or
// before it and holds as many frames as fit there: one more frame (its chunk of chunkBytes, and in the
// first RIFF its 16-byte 'idx1' entry too) would have passed it.
void ExpectRiffsFilledUpTo(const std::vector<std::pair<std::string, uint64_t>>& riffs, uint64_t limit,
                           uint64_t chunkBytes) {
    for (size_t i = 0; i + 1 < riffs.size(); ++i) {
        const uint64_t bytes = riffs[i].second + 8;
        EXPECT_LE(bytes, limit) << "RIFF " << i << " of the limit " << limit;
        EXPECT_GT(bytes + chunkBytes + (i == 0 ? 16 : 0), limit) << "RIFF " << i << " of the limit " << limit;
    }
}

} // namespace

TEST(OpenDml, FilePastTheLimitContinuesInAvixRiffsAndIsReadWhole) {
    TempDir dir;
    const ULONGLONG limit = 64 * 1024;
    RiffLimit lowered(limit);
    const int width = 64, height = 48, frames = 60; // 9216 bytes a frame: about nine RIFFs
    const std::string path = dir.File("long.avi");
    MovieDescription desc{
        path, width, height, frames, mmioFOURCC('D', 'I', 'B', ' '), 10000, "Frame_Rate:1000\n"};
    ASSERT_EQ(WriteMovie(desc), AVIERR_OK);

    const auto bytes = ReadFile(path);
    const auto riffs = Riffs(bytes);
    ASSERT_GE(riffs.size(), 5u);
    EXPECT_EQ(riffs[0].first, "AVI ");
    ExpectRiffsFilledUpTo(riffs, limit, 8 + 9216);
    uint64_t covered = 0;
    for (size_t i = 0; i < riffs.size(); ++i) {
        if (i > 0) {
            EXPECT_EQ(riffs[i].first, "AVIX");
        }
        covered += riffs[i].second + 8;
    }
    EXPECT_EQ(covered, bytes.size()) << "the RIFFs cover the whole file";

    // The project's reader.
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    ASSERT_EQ(AVIStreamLength(stream), frames);
    PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(getter, nullptr);
    for (int i = 0; i < frames; ++i) {
        auto* h = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(getter, i));
        ASSERT_NE(h, nullptr) << i;
        ASSERT_EQ(std::vector<uint8_t>(reinterpret_cast<uint8_t*>(h + 1),
                                       reinterpret_cast<uint8_t*>(h + 1) + h->biSizeImage),
                  MakeFrame(width, height, i))
            << "frame " << i;
    }
    AVIStreamGetFrameClose(getter);
    LONG size = 0;
    EXPECT_EQ(AVIStreamReadData(stream, mmioFOURCC('t', 'x', 't', 's'), nullptr, &size), AVIERR_OK);
    EXPECT_EQ(size, 16);
    AVIStreamRelease(stream);
    AVIFileRelease(file);

    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    auto probe = Probe(path);
    EXPECT_EQ(probe["nb_read_packets"], std::to_string(frames));
    EXPECT_EQ(probe["r_frame_rate"], "30/1");
    const auto decoded = FfmpegDecode(path, dir.File("long.raw"));
    const size_t frameBytes = static_cast<size_t>(width) * 3 * height;
    ASSERT_EQ(decoded.size(), frameBytes * frames);
    for (int i = 0; i < frames; ++i)
        EXPECT_EQ(FlipRows(decoded.data() + frameBytes * i, width, height), MakeFrame(width, height, i)) << i;
}

// Small frames against every switch-over size of one frame's span: wherever the frames happen to end,
// no RIFF but the last passes the size by a single byte, and none stops a frame short of it.
TEST(OpenDml, EveryRiffButTheLastIsFilledUpToTheSwitchOverSizeAndNeverPastIt) {
    TempDir dir;
    const int width = 4, height = 4, frames = 400; // 48-byte frames: a few RIFFs of about 8 KiB
    const uint64_t chunkBytes = 8 + width * 3 * height;
    for (ULONGLONG limit = 8192; limit < 8192 + chunkBytes + 16; ++limit) {
        RiffLimit lowered(limit);
        const std::string path = dir.File("sizes.avi");
        ASSERT_EQ(WriteMovie({path, width, height, frames, mmioFOURCC('D', 'I', 'B', ' '), 10000, "t"}),
                  AVIERR_OK);
        const auto riffs = Riffs(ReadFile(path));
        ASSERT_GE(riffs.size(), 3u) << limit;
        ExpectRiffsFilledUpTo(riffs, limit, chunkBytes);
    }
}

TEST(OpenDml, FileBelowTheLimitStaysAvi10WithIdx1) {
    TempDir dir;
    const std::string path = dir.File("short.avi");
    MovieDescription desc{path, 32, 16, 4, mmioFOURCC('D', 'I', 'B', ' '), 10000, "t"};
    ASSERT_EQ(WriteMovie(desc), AVIERR_OK);
    const auto bytes = ReadFile(path);
    const auto riffs = Riffs(bytes);
    ASSERT_EQ(riffs.size(), 1u);
    EXPECT_EQ(riffs[0].second + 8, bytes.size());
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("idx1"), std::string::npos);
    EXPECT_EQ(text.find("indx"), std::string::npos);
    EXPECT_EQ(text.find("AVIX"), std::string::npos);
}

TEST(OpenDml, SwitchOverSizeIsNeverRaisedAboveOneGibibyte) {
    const ULONGLONG previous = AVISetRiffSizeLimit(8ull << 30);
    EXPECT_EQ(AVISetRiffSizeLimit(previous), 1ull << 30);
    AVISetRiffSizeLimit(0);
    EXPECT_EQ(AVISetRiffSizeLimit(previous), 1ull << 30);
}

TEST(OpenDml, StreamsWithSamplesInLaterRiffsAreIndexedToo) {
    TempDir dir;
    RiffLimit lowered(32 * 1024);
    const std::string path = dir.File("mixed.avi");
    const int width = 32, height = 32, frames = 30; // 3 KiB a frame
    const std::vector<uint8_t> note(333, 0x5A);
    {
        PAVIFILE file = nullptr;
        ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr), AVIERR_OK);
        AVISTREAMINFOA info{};
        info.fccType = streamtypeVIDEO;
        info.dwScale = 1;
        info.dwRate = 30;
        PAVISTREAM video = nullptr, extra = nullptr;
        ASSERT_EQ(AVIFileCreateStreamA(file, &video, &info), AVIERR_OK);
        BITMAPINFOHEADER h{40, width, height, 1, 24, BI_RGB, width * height * 3, 0, 0, 0, 0};
        ASSERT_EQ(AVIStreamSetFormat(video, 0, &h, sizeof h), AVIERR_OK);
        info.fccType = mmioFOURCC('N', 'O', 'T', 'E');
        ASSERT_EQ(AVIFileCreateStreamA(file, &extra, &info), AVIERR_OK);
        // ffmpeg reads the format of a stream type it does not know as that of the stream before it (here
        // a picture), so the private stream gets a format that reads as one.
        BITMAPINFOHEADER format{40, 1, 1, 1, 24, BI_RGB, 4, 0, 0, 0, 0};
        ASSERT_EQ(AVIStreamSetFormat(extra, 0, &format, sizeof format), AVIERR_OK);
        for (int i = 0; i < frames; ++i) {
            auto pixels = MakeFrame(width, height, i);
            ASSERT_EQ(AVIStreamWrite(video, i, 1, pixels.data(), static_cast<LONG>(pixels.size()),
                                     AVIIF_KEYFRAME, nullptr, nullptr),
                      AVIERR_OK);
            if (i == 20) {
                ASSERT_EQ(AVIStreamWrite(extra, 0, 1, const_cast<uint8_t*>(note.data()),
                                         static_cast<LONG>(note.size()), AVIIF_KEYFRAME, nullptr, nullptr),
                          AVIERR_OK);
            }
        }
        AVIStreamRelease(extra);
        AVIStreamRelease(video);
        AVIFileRelease(file);
    }
    ASSERT_GE(Riffs(ReadFile(path)).size(), 3u);
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, mmioFOURCC('N', 'O', 'T', 'E'), 0), AVIERR_OK);
    ASSERT_EQ(AVIStreamLength(stream), 1);
    std::vector<uint8_t> back(note.size());
    LONG bytes = 0;
    ASSERT_EQ(AVIStreamRead(stream, 0, 1, back.data(), static_cast<LONG>(back.size()), &bytes, nullptr),
              AVIERR_OK);
    EXPECT_EQ(back, note);
    AVIStreamRelease(stream);
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    ASSERT_EQ(AVIStreamLength(stream), frames);
    std::vector<uint8_t> pixels(width * height * 3);
    for (int i = 0; i < frames; ++i) {
        ASSERT_EQ(
            AVIStreamRead(stream, i, 1, pixels.data(), static_cast<LONG>(pixels.size()), &bytes, nullptr),
            AVIERR_OK);
        EXPECT_EQ(pixels, MakeFrame(width, height, i)) << i;
    }
    AVIStreamRelease(stream);
    AVIFileRelease(file);
    if (HaveFfmpeg()) {
        EXPECT_EQ(Probe(path)["nb_read_packets"], std::to_string(frames));
    }
}
