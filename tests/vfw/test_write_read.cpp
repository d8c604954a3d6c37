// Writing AVI files through the AVIFile layer and reading them back, with ffprobe and ffmpeg as the
// outside judges.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/vfw/vfw.h"
#include "vfw/avi_test_util.h"
#include "vfw/movie_writer.h"

using namespace avitest;

namespace {

// The chunk of the given id inside the first 'strl' list of a file's bytes; empty when missing.
std::vector<uint8_t> FindStreamListChunk(const std::vector<uint8_t>& file, int streamIndex, FOURCC id) {
    auto le32 = [&](size_t at) {
        return static_cast<uint32_t>(file[at] | (file[at + 1] << 8) | (file[at + 2] << 16) |
                                     (file[at + 3] << 24));
    };
    int seen = 0;
    for (size_t at = 12; at + 12 <= file.size(); ++at) {
        if (le32(at) != mmioFOURCC('L', 'I', 'S', 'T') || le32(at + 8) != mmioFOURCC('s', 't', 'r', 'l'))
            continue;
        if (seen++ != streamIndex)
            continue;
        const size_t end = at + 8 + le32(at + 4);
        for (size_t p = at + 12; p + 8 <= end;) {
            const uint32_t size = le32(p + 4);
            if (le32(p) == id)
                return std::vector<uint8_t>(file.begin() + static_cast<ptrdiff_t>(p + 8),
                                            file.begin() + static_cast<ptrdiff_t>(p + 8 + size));
            p += 8 + size + (size & 1);
        }
    }
    return {};
}

} // namespace

class WriteRead : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(WriteRead, UncompressedFileReadByFfprobeAndDecodedExactlyIncludingOddWidths) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    for (int width : {64, 33, 30}) {
        const int height = 24, frames = 10;
        const std::string path = dir.File("dib" + std::to_string(width) + ".avi");
        MovieDescription desc{
            path, width, height, frames, mmioFOURCC('D', 'I', 'B', ' '), 10000, "Frame_Rate:500\n"};
        ASSERT_EQ(WriteMovie(desc), AVIERR_OK);

        auto probe = Probe(path);
        EXPECT_EQ(probe["codec_name"], "rawvideo") << width;
        EXPECT_EQ(probe["width"], std::to_string(width));
        EXPECT_EQ(probe["height"], std::to_string(height));
        EXPECT_EQ(probe["r_frame_rate"], "30/1");
        EXPECT_EQ(probe["nb_read_packets"], std::to_string(frames));
        const auto flags = PacketFlags(path);
        ASSERT_EQ(flags.size(), static_cast<size_t>(frames));
        for (const auto& f : flags)
            EXPECT_EQ(f[0], 'K');

        const auto decoded = FfmpegDecode(path, dir.File("dib.raw"));
        const size_t frameBytes = static_cast<size_t>(width) * 3 * height;
        ASSERT_EQ(decoded.size(), frameBytes * frames) << width;
        for (int i = 0; i < frames; ++i) {
            const auto expected = MakeFrame(width, height, i);
            EXPECT_EQ(FlipRows(decoded.data() + frameBytes * i, width, height), expected)
                << width << " frame " << i;
        }

        // The project's own reader: the stored samples are valid DIBs with rows padded to 4 bytes.
        PAVIFILE file = nullptr;
        ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
        PAVISTREAM stream = nullptr;
        ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
        EXPECT_EQ(AVIStreamLength(stream), frames);
        PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
        ASSERT_NE(getter, nullptr);
        const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
        for (int i = 0; i < frames; ++i) {
            auto* h = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(getter, i));
            ASSERT_NE(h, nullptr);
            EXPECT_EQ(h->biSizeImage, stride * height);
            EXPECT_EQ(Unpad(reinterpret_cast<uint8_t*>(h + 1), width, height, stride),
                      MakeFrame(width, height, i));
        }
        AVIStreamGetFrameClose(getter);
        AVIStreamRelease(stream);
        AVIFileRelease(file);
    }
}

TEST_F(WriteRead, TxtsChunkStandsInTheVideoStreamHeaderListWithItsExactBytes) {
    const std::string text = "Rec Rate=500\nFrame_Rate:500\n";
    const std::string path = dir.File("txts.avi");
    MovieDescription desc{path, 16, 16, 2, mmioFOURCC('D', 'I', 'B', ' '), 10000, text};
    ASSERT_EQ(WriteMovie(desc), AVIERR_OK);

    const auto bytes = ReadFile(path);
    const auto chunk = FindStreamListChunk(bytes, 0, mmioFOURCC('t', 'x', 't', 's'));
    EXPECT_EQ(std::string(chunk.begin(), chunk.end()), text);

    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    LONG size = 0;
    ASSERT_EQ(AVIStreamReadData(stream, mmioFOURCC('t', 'x', 't', 's'), nullptr, &size), AVIERR_OK);
    EXPECT_EQ(size, static_cast<LONG>(text.size()));
    std::string back(static_cast<size_t>(size), '\0');
    LONG small = size - 1;
    EXPECT_EQ(AVIStreamReadData(stream, mmioFOURCC('t', 'x', 't', 's'), back.data(), &small),
              AVIERR_BUFFERTOOSMALL);
    ASSERT_EQ(AVIStreamReadData(stream, mmioFOURCC('t', 'x', 't', 's'), back.data(), &size), AVIERR_OK);
    EXPECT_EQ(back, text);
    EXPECT_EQ(AVIStreamReadData(stream, mmioFOURCC('n', 'o', 'n', 'e'), nullptr, &size), AVIERR_NODATA);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}

TEST_F(WriteRead, EmptyTxtsChunkIsWrittenWithLengthZero) {
    const std::string path = dir.File("empty_txts.avi");
    MovieDescription desc{path, 8, 8, 1, mmioFOURCC('D', 'I', 'B', ' '), 10000, ""};
    ASSERT_EQ(WriteMovie(desc), AVIERR_OK);
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, 0, 0), AVIERR_OK);
    LONG size = 99;
    EXPECT_EQ(AVIStreamReadData(stream, mmioFOURCC('t', 'x', 't', 's'), nullptr, &size), AVIERR_OK);
    EXPECT_EQ(size, 0);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}

TEST_F(WriteRead, NonVideoStreamsHoldOneSampleEachBesideTheVideo) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    const std::string path = dir.File("private.avi");
    const std::vector<uint8_t> note = {1, 2, 3, 4, 5, 6, 7}; // odd size: the chunk gets its pad byte
    const std::vector<uint8_t> csts(1001, 0xA5);
    {
        PAVIFILE file = nullptr;
        ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr), AVIERR_OK);
        AVISTREAMINFOA video{};
        video.fccType = streamtypeVIDEO;
        video.dwScale = 1;
        video.dwRate = 30;
        video.rcFrame = {0, 0, 16, 8};
        PAVISTREAM v = nullptr;
        ASSERT_EQ(AVIFileCreateStreamA(file, &v, &video), AVIERR_OK);
        BITMAPINFOHEADER h{40, 16, 8, 1, 24, BI_RGB, 16 * 8 * 3, 0, 0, 0, 0};
        ASSERT_EQ(AVIStreamSetFormat(v, 0, &h, sizeof h), AVIERR_OK);
        for (FOURCC type : {mmioFOURCC('N', 'O', 'T', 'E'), mmioFOURCC('C', 'S', 'T', 'S')}) {
            AVISTREAMINFOA info{};
            info.fccType = type;
            info.dwScale = 1;
            info.dwRate = 30;
            PAVISTREAM s = nullptr;
            ASSERT_EQ(AVIFileCreateStreamA(file, &s, &info), AVIERR_OK);
            const auto& data = type == mmioFOURCC('N', 'O', 'T', 'E') ? note : csts;
            uint8_t formatByte = 0;
            ASSERT_EQ(AVIStreamSetFormat(s, 0, &formatByte, 1), AVIERR_OK);
            ASSERT_EQ(AVIStreamWrite(s, 0, 1, const_cast<uint8_t*>(data.data()),
                                     static_cast<LONG>(data.size()), AVIIF_KEYFRAME, nullptr, nullptr),
                      AVIERR_OK);
            AVIStreamRelease(s);
        }
        std::vector<uint8_t> pixels(16 * 8 * 3, 0x40);
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(AVIStreamWrite(v, i, 1, pixels.data(), static_cast<LONG>(pixels.size()), AVIIF_KEYFRAME,
                                     nullptr, nullptr),
                      AVIERR_OK);
        AVIStreamRelease(v);
        EXPECT_EQ(AVIFileRelease(file), 0u);
    }
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    AVIFILEINFOA info{};
    ASSERT_EQ(AVIFileInfoA(file, &info, sizeof info), AVIERR_OK);
    EXPECT_EQ(info.dwStreams, 3u);
    for (FOURCC type : {mmioFOURCC('N', 'O', 'T', 'E'), mmioFOURCC('C', 'S', 'T', 'S')}) {
        PAVISTREAM s = nullptr;
        ASSERT_EQ(AVIFileGetStream(file, &s, type, 0), AVIERR_OK);
        EXPECT_EQ(AVIStreamLength(s), 1);
        LONG bytes = 0;
        ASSERT_EQ(AVIStreamRead(s, AVIStreamLength(s) - 1, 1, nullptr, 0, &bytes, nullptr), AVIERR_OK);
        std::vector<uint8_t> back(static_cast<size_t>(bytes));
        ASSERT_EQ(AVIStreamRead(s, 0, 1, back.data(), bytes, &bytes, nullptr), AVIERR_OK);
        EXPECT_EQ(back, type == mmioFOURCC('N', 'O', 'T', 'E') ? note : csts);
        AVIStreamRelease(s);
    }
    PAVISTREAM missing = nullptr;
    EXPECT_EQ(AVIFileGetStream(file, &missing, mmioFOURCC('N', 'O', 'T', 'E'), 1), AVIERR_NODATA);
    EXPECT_EQ(missing, nullptr);
    AVIFileRelease(file);
    EXPECT_EQ(Probe(path)["nb_read_packets"], "3");
}

TEST_F(WriteRead, ReadAsksTheSizeAndRefusesASmallBuffer) {
    const std::string path = dir.File("sizes.avi");
    MovieDescription desc{path, 10, 4, 3, mmioFOURCC('D', 'I', 'B', ' '), 10000, "x"};
    ASSERT_EQ(WriteMovie(desc), AVIERR_OK);
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    LONG bytes = 0, samples = 0;
    ASSERT_EQ(AVIStreamRead(stream, 1, 1, nullptr, 0, &bytes, &samples), AVIERR_OK);
    EXPECT_EQ(bytes, 32 * 4); // rows of 30 bytes padded to 32
    EXPECT_EQ(samples, 1);
    std::vector<uint8_t> buffer(static_cast<size_t>(bytes));
    LONG got = 0;
    EXPECT_EQ(AVIStreamRead(stream, 1, 1, buffer.data(), bytes - 1, &got, nullptr), AVIERR_BUFFERTOOSMALL);
    EXPECT_EQ(AVIStreamRead(stream, 3, 1, buffer.data(), bytes, &got, nullptr), AVIERR_NODATA);
    EXPECT_EQ(AVIStreamRead(stream, -1, 1, buffer.data(), bytes, &got, nullptr), AVIERR_NODATA);
    EXPECT_EQ(AVIStreamWrite(stream, 3, 1, buffer.data(), bytes, 0, nullptr, nullptr), AVIERR_READONLY);
    LONG formatSize = 0;
    ASSERT_EQ(AVIStreamReadFormat(stream, 0, nullptr, &formatSize), AVIERR_OK);
    EXPECT_EQ(formatSize, 40);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}

TEST_F(WriteRead, FileIsFinishedByItsLastReferenceWhateverTheReleaseOrder) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    const std::string path = dir.File("order.avi");
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr), AVIERR_OK);
    AVISTREAMINFOA info{};
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = 30;
    PAVISTREAM source = nullptr;
    ASSERT_EQ(AVIFileCreateStreamA(file, &source, &info), AVIERR_OK);
    AVICOMPRESSOPTIONS options{};
    options.fccType = streamtypeVIDEO;
    options.fccHandler = mmioFOURCC('D', 'I', 'B', ' ');
    options.dwFlags = AVICOMPRESSF_VALID;
    PAVISTREAM compressed = nullptr;
    ASSERT_EQ(AVIMakeCompressedStream(&compressed, source, &options, nullptr), AVIERR_OK);
    BITMAPINFOHEADER h{40, 8, 8, 1, 24, BI_RGB, 8 * 8 * 3, 0, 0, 0, 0};
    ASSERT_EQ(AVIStreamSetFormat(compressed, 0, &h, sizeof h), AVIERR_OK);
    const auto pixels = MakeFrame(8, 8, 0);
    ASSERT_EQ(AVIStreamWrite(compressed, 0, 1, const_cast<uint8_t*>(pixels.data()),
                             static_cast<LONG>(pixels.size()), AVIIF_KEYFRAME, nullptr, nullptr),
              AVIERR_OK);
    // The file first: the streams still hold it.
    EXPECT_EQ(AVIFileRelease(file), 1u);
    EXPECT_EQ(AVIStreamRelease(source), 1u) << "the compressed stream holds its source";
    EXPECT_EQ(Probe(path)["nb_read_packets"], "") << "not finished while the compressed stream lives";
    EXPECT_EQ(AVIStreamRelease(compressed), 0u);
    EXPECT_EQ(Probe(path)["nb_read_packets"], "1");
    // Null and stale handles are refused without harm.
    EXPECT_EQ(AVIFileRelease(nullptr), 0u);
    EXPECT_EQ(AVIStreamRelease(nullptr), 0u);
    EXPECT_EQ(AVIStreamRelease(compressed), 0u);
    EXPECT_EQ(AVIStreamGetFrameClose(nullptr), AVIERR_OK);
}

TEST_F(WriteRead, OpenRefusesMissingFilesForeignHandlersAndReplacesOnCreate) {
    PAVIFILE file = nullptr;
    EXPECT_EQ(AVIFileOpenA(&file, dir.File("missing.avi").c_str(), OF_READ, nullptr), AVIERR_FILEOPEN);
    EXPECT_EQ(file, nullptr);
    const CLSID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(AVIFileOpenA(&file, dir.File("x.avi").c_str(), OF_READ, &other), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(AVIFileOpenA(&file, dir.File("no/such/folder/x.avi").c_str(), OF_CREATE | OF_WRITE, nullptr),
              AVIERR_FILEOPEN);

    const std::string path = dir.File("replace.avi");
    WriteFile(path, "old contents", 12);
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, &CLSID_AVIFile), AVIERR_OK);
    AVIFileRelease(file);
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_BADFORMAT)
        << "a file without streams is not an AVI the reader accepts";
}

TEST_F(WriteRead, FileInformationDescribesTheFirstVideoStream) {
    const std::string path = dir.File("info.avi");
    MovieDescription desc{path, 20, 12, 7, mmioFOURCC('D', 'I', 'B', ' '), 10000, "t"};
    ASSERT_EQ(WriteMovie(desc), AVIERR_OK);
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    AVIFILEINFOA info{};
    ASSERT_EQ(AVIFileInfoA(file, &info, sizeof info), AVIERR_OK);
    EXPECT_EQ(info.dwStreams, 1u);
    EXPECT_EQ(info.dwWidth, 20u);
    EXPECT_EQ(info.dwHeight, 12u);
    EXPECT_EQ(info.dwScale, 1u);
    EXPECT_EQ(info.dwRate, 30u);
    EXPECT_EQ(info.dwLength, 7u);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, 0, 0), AVIERR_OK);
    AVISTREAMINFOA s{};
    ASSERT_EQ(AVIStreamInfoA(stream, &s, sizeof s), AVIERR_OK);
    EXPECT_EQ(s.fccType, streamtypeVIDEO);
    EXPECT_EQ(s.fccHandler, mmioFOURCC('D', 'I', 'B', ' '));
    EXPECT_EQ(s.dwLength, 7u);
    EXPECT_EQ(s.dwQuality, 10000u);
    EXPECT_EQ(s.rcFrame.right, 20);
    EXPECT_EQ(AVIStreamStart(stream), 0);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}

TEST_F(WriteRead, SamplesAreAppendedInOrder) {
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, dir.File("order2.avi").c_str(), OF_CREATE | OF_WRITE, nullptr), AVIERR_OK);
    AVISTREAMINFOA info{};
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = 30;
    PAVISTREAM s = nullptr;
    ASSERT_EQ(AVIFileCreateStreamA(file, &s, &info), AVIERR_OK);
    uint8_t byte = 1;
    ASSERT_EQ(AVIStreamWrite(s, 0, 1, &byte, 1, AVIIF_KEYFRAME, nullptr, nullptr), AVIERR_OK);
    EXPECT_EQ(AVIStreamWrite(s, 0, 1, &byte, 1, AVIIF_KEYFRAME, nullptr, nullptr), AVIERR_BADPARAM);
    ASSERT_EQ(AVIStreamWrite(s, 3, 1, &byte, 1, AVIIF_KEYFRAME, nullptr, nullptr), AVIERR_OK);
    EXPECT_EQ(AVIStreamLength(s), 4) << "the gap is filled with empty samples";
    AVIStreamRelease(s);
    AVIFileRelease(file);
}

TEST_F(WriteRead, HeadersThatOutgrowTheirRoomMoveTheSamplesBack) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    const std::string path = dir.File("grown.avi");
    const int width = 16, height = 8;
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr), AVIERR_OK);
    AVISTREAMINFOA info{};
    info.fccType = streamtypeVIDEO;
    info.dwScale = 1;
    info.dwRate = 30;
    PAVISTREAM s = nullptr;
    ASSERT_EQ(AVIFileCreateStreamA(file, &s, &info), AVIERR_OK);
    BITMAPINFOHEADER h{40, width, height, 1, 24, BI_RGB, width * height * 3, 0, 0, 0, 0};
    ASSERT_EQ(AVIStreamSetFormat(s, 0, &h, sizeof h), AVIERR_OK);
    for (int i = 0; i < 3; ++i) {
        auto frame = MakeFrame(width, height, i);
        ASSERT_EQ(AVIStreamWrite(s, i, 1, frame.data(), static_cast<LONG>(frame.size()), AVIIF_KEYFRAME,
                                 nullptr, nullptr),
                  AVIERR_OK);
    }
    // A large header chunk after the samples: the headers no longer fit in front of them.
    std::string text(20000, 'x');
    text += "\nFrame_Rate:250\n";
    ASSERT_EQ(
        AVIStreamWriteData(s, mmioFOURCC('t', 'x', 't', 's'), text.data(), static_cast<LONG>(text.size())),
        AVIERR_OK);
    AVIStreamRelease(s);
    AVIFileRelease(file);

    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    ASSERT_EQ(AVIFileGetStream(file, &s, 0, 0), AVIERR_OK);
    ASSERT_EQ(AVIStreamLength(s), 3);
    for (int i = 0; i < 3; ++i) {
        std::vector<uint8_t> back(width * height * 3);
        LONG bytes = 0;
        ASSERT_EQ(AVIStreamRead(s, i, 1, back.data(), static_cast<LONG>(back.size()), &bytes, nullptr),
                  AVIERR_OK);
        EXPECT_EQ(back, MakeFrame(width, height, i));
    }
    LONG size = 0;
    ASSERT_EQ(AVIStreamReadData(s, mmioFOURCC('t', 'x', 't', 's'), nullptr, &size), AVIERR_OK);
    EXPECT_EQ(size, static_cast<LONG>(text.size()));
    AVIStreamRelease(s);
    AVIFileRelease(file);
    EXPECT_EQ(Probe(path)["nb_read_packets"], "3");
}

TEST_F(WriteRead, WithoutACompressorSamplesPassThroughUnchanged) {
    // The recording system's streams declare 24-bit 640 x 480 frames but hold JPEG bytes.
    const std::string path = dir.File("yrjq.avi");
    const std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x0E, 'J', 'F',
                                       'I',  'F',  1,    0,    0,    0xFF, 0xD9};
    {
        PAVIFILE file = nullptr;
        ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_CREATE | OF_WRITE, nullptr), AVIERR_OK);
        AVISTREAMINFOA info{};
        info.fccType = streamtypeVIDEO;
        info.fccHandler = mmioFOURCC('Y', 'R', 'J', 'Q');
        info.dwScale = 1;
        info.dwRate = 30;
        PAVISTREAM source = nullptr, compressed = nullptr;
        ASSERT_EQ(AVIFileCreateStreamA(file, &source, &info), AVIERR_OK);
        AVICOMPRESSOPTIONS options{};
        options.fccType = streamtypeVIDEO;
        ASSERT_EQ(AVIMakeCompressedStream(&compressed, source, &options, nullptr), AVIERR_OK);
        BITMAPINFOHEADER h{40, 640, 480, 1, 24, BI_RGB, 921600, 0, 0, 0, 0};
        ASSERT_EQ(AVIStreamSetFormat(compressed, 0, &h, sizeof h), AVIERR_OK);
        for (int i = 0; i < 2; ++i)
            ASSERT_EQ(AVIStreamWrite(compressed, i, 1, const_cast<uint8_t*>(jpeg.data()),
                                     static_cast<LONG>(jpeg.size()), AVIIF_KEYFRAME, nullptr, nullptr),
                      AVIERR_OK);
        AVIStreamRelease(source);
        AVIStreamRelease(compressed);
        AVIFileRelease(file);
    }
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    AVISTREAMINFOA info{};
    ASSERT_EQ(AVIStreamInfoA(stream, &info, sizeof info), AVIERR_OK);
    EXPECT_EQ(info.fccHandler, mmioFOURCC('Y', 'R', 'J', 'Q'));
    EXPECT_EQ(info.dwLength, 2u);
    PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(getter, nullptr);
    auto* h = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(getter, 1));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->biWidth, 640);
    EXPECT_EQ(h->biSizeImage, jpeg.size()) << "the bytes read, shorter than a full picture";
    EXPECT_EQ(std::vector<uint8_t>(reinterpret_cast<uint8_t*>(h + 1),
                                   reinterpret_cast<uint8_t*>(h + 1) + jpeg.size()),
              jpeg);
    AVIStreamGetFrameClose(getter);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}
