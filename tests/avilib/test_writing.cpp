// Writing AVI files with the library's classes the way the conversion does, one file per compressor,
// checked by ffprobe and ffmpeg; compressor descriptions, the options choice and the Motion-JPEG file.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "vfw/avi_test_util.h"
#include "platform/win32/memory.h"
#include "vomLib/Jpeg/jpglib32.h"
#include "vomLib/avilib/MjpegMovieFile.h"
#include "vomLib/avilib/MjpgCodec.h"
#include "vomLib/avilib/MovieBitmapInfo.h"
#include "vomLib/avilib/MovieCompressedStream.h"
#include "vomLib/avilib/MovieException.h"
#include "vomLib/avilib/MovieGetFrame.h"
#include "vomLib/avilib/MovieOptionsStream.h"
#include "vomLib/avilib/MovieStreamInfo.h"
#include "tests/support/library_movie.h"

using namespace avitest;

namespace {

class Writing : public ::testing::Test {
protected:
    void SetUp() override { InstallMjpgCodec(); }
    TempDir dir;
};

// The conversion's sequence with MakeFrame's frames.
void Convert(const std::string& path, int width, int height, int frames, FOURCC handler, DWORD quality,
             const std::string& text) {
    WriteLibraryMovie({path, width, height, frames, handler, quality, text});
}

// Checks a written file with ffprobe and compares ffmpeg's decode with the source; returns the lowest PSNR.
double CheckWithFfmpeg(const std::string& path, const std::string& codec, int width, int height, int frames,
                       const std::string& raw) {
    auto probe = Probe(path);
    EXPECT_EQ(probe["codec_name"], codec);
    EXPECT_EQ(probe["width"], std::to_string(width));
    EXPECT_EQ(probe["height"], std::to_string(height));
    EXPECT_EQ(probe["r_frame_rate"], "30/1");
    EXPECT_EQ(probe["nb_read_packets"], std::to_string(frames));
    const auto flags = PacketFlags(path);
    EXPECT_EQ(flags.size(), static_cast<size_t>(frames));
    for (const auto& f : flags)
        EXPECT_EQ(f[0], 'K');
    const auto decoded = FfmpegDecode(path, raw);
    const size_t frameBytes = static_cast<size_t>(width) * 3 * height;
    EXPECT_EQ(decoded.size(), frameBytes * frames);
    double lowest = 99.0;
    for (int i = 0; i < frames && decoded.size() == frameBytes * frames; ++i) {
        const auto source = MakeFrame(width, height, i);
        const auto theirs = FlipRows(decoded.data() + frameBytes * i, width, height);
        lowest = std::min(lowest, Psnr(theirs.data(), source.data(), frameBytes));
    }
    return lowest;
}

std::string Text(const WCHAR* s) {
    std::string t;
    for (; *s; ++s)
        t += static_cast<char>(*s);
    return t;
}

} // namespace

TEST_F(Writing, OneFilePerCompressorIsReadByFfprobeAndDecodedByFfmpeg) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    struct Case {
        FOURCC handler;
        std::string codec;
        int width, height;
        double minimum;
    };
    const Case cases[] = {
        {mmioFOURCC('D', 'I', 'B', ' '), "rawvideo", 64, 48, 99.0},
        {mmioFOURCC('D', 'I', 'B', ' '), "rawvideo", 37, 21, 99.0}, // rows of 111 bytes
        {mmioFOURCC('M', 'J', 'P', 'G'), "mjpeg", 64, 48, 30.0},
        {mmioFOURCC('M', 'J', 'P', 'G'), "mjpeg", 37, 21, 30.0},
        {mmioFOURCC('m', 's', 'v', 'c'), "msvideo1", 64, 48, 30.0},
    };
    for (const Case& c : cases) {
        const std::string path = dir.File(c.codec + std::to_string(c.width) + ".avi");
        Convert(path, c.width, c.height, 8, c.handler, 7500, "Rec Rate=1000\nFrame_Rate:1000\n");
        const double psnr = CheckWithFfmpeg(path, c.codec, c.width, c.height, 8, dir.File("out.raw"));
        std::printf("%s %dx%d quality 7500: ffmpeg decode vs source, lowest PSNR %.2f dB\n", c.codec.c_str(),
                    c.width, c.height, psnr);
        EXPECT_GE(psnr, c.minimum) << c.codec << " " << c.width;
    }
}

TEST_F(Writing, MotionJpegFramesComeBackThroughTheFrameGetter) {
    const std::string path = dir.File("mjpg.avi");
    Convert(path, 64, 48, 4, mmioFOURCC('M', 'J', 'P', 'G'), 10000, "Frame_Rate:60\n");
    CMovieFile file(path.c_str(), OF_READ);
    CMovieStream stream(file, streamtypeVIDEO);
    CMovieGetFrame getter(stream, nullptr);
    for (int i = 0; i < 4; ++i) {
        auto* h = static_cast<BITMAPINFOHEADER*>(getter.GetFrame(i));
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(h->biBitCount, 24);
        EXPECT_EQ(h->biCompression, BI_RGB);
        const auto source = MakeFrame(64, 48, i);
        const double psnr = Psnr(reinterpret_cast<uint8_t*>(h + 1), source.data(), source.size());
        EXPECT_GT(psnr, 35.0) << i;
    }
    EXPECT_EQ(getter.GetFrame(4), nullptr);
}

TEST_F(Writing, CodecInfoDescribesTheChosenCompressor) {
    CMovieFile file(dir.File("codec.avi").c_str(), OF_CREATE | OF_WRITE);
    CMovieStream stream(file);
    const auto info = CMovieStreamInfo::Video(640, 480, 921600, 0, 1, 30);
    ASSERT_EQ(stream.Create(&info), AVIERR_OK);
    for (auto [handler, text] : {std::pair{mmioFOURCC('m', 's', 'v', 'c'), "Microsoft Video 1"},
                                 std::pair{mmioFOURCC('M', 'J', 'P', 'G'), "Motion JPEG"},
                                 std::pair{mmioFOURCC('D', 'I', 'B', ' '), ""}}) {
        AVICOMPRESSOPTIONS options{streamtypeVIDEO, handler, 0,       10000, 0, AVICOMPRESSF_VALID,
                                   nullptr,         0,       nullptr, 0,     0};
        CMovieCompressedStream compressed(file, stream, &options);
        ICINFO codec{};
        const LRESULT bytes = compressed.GetCodecInfo(&codec);
        if (*text) {
            EXPECT_EQ(bytes, 568);
            EXPECT_EQ(Text(codec.szDescription), text);
        } else {
            EXPECT_EQ(bytes, 0) << "uncompressed: no compressor opened";
        }
    }
    AVICOMPRESSOPTIONS missing{
        streamtypeVIDEO, mmioFOURCC('n', 'o', 'n', 'e'), 0, 0, 0, 0, nullptr, 0, nullptr, 0, 0};
    try {
        CMovieCompressedStream compressed(file, stream, &missing);
        FAIL() << "no exception";
    } catch (const CMovieException& e) {
        EXPECT_STREQ(e.m_message, "Failed make compressed stream.");
        EXPECT_EQ(e.m_code, AVIERR_NOCOMPRESSOR);
    }
}

TEST_F(Writing, CompressorThatCannotTakeTheFormatIsReported) {
    // The save dialog's test: a 640 x 480 header with its zero pixels as the format.
    CMovieFile file(dir.File("temp.avi").c_str(), 0x1000);
    CMovieStream stream(file);
    const auto info = CMovieStreamInfo::Video(640, 480, 921600, 0, 1, 30);
    ASSERT_EQ(stream.Create(&info), AVIERR_OK);
    std::vector<uint8_t> block(40 + 921600, 0);
    const CMovieBitmapInfo header(640, 480, 921600, 1, 24, BI_RGB, 0, 0, 0, 0);
    std::memcpy(block.data(), &header, 40);
    AVICOMPRESSOPTIONS options{
        0, mmioFOURCC('m', 's', 'v', 'c'), 0, 10000, 0, AVICOMPRESSF_VALID, nullptr, 0, nullptr, 0, 0};
    CMovieCompressedStream good(file, stream, &options);
    EXPECT_EQ(good.SetFormat(block.data(), static_cast<LONG>(block.size()), 0), AVIERR_OK);
    // Video 1 needs whole 4 x 4 blocks.
    CMovieStream other(file);
    ASSERT_EQ(other.Create(&info), AVIERR_OK);
    CMovieCompressedStream bad(file, other, &options);
    const CMovieBitmapInfo odd(642, 480, 0, 1, 24, BI_RGB, 0, 0, 0, 0);
    EXPECT_NE(bad.SetFormat(const_cast<CMovieBitmapInfo*>(&odd), 40, 0), AVIERR_OK);
}

TEST_F(Writing, SaveOptionsKeepsTheChoiceAndFreesTheBlocks) {
    CMovieFile file(dir.File("options.avi").c_str(), OF_CREATE | OF_WRITE);
    CMovieStream stream(file);
    const auto info = CMovieStreamInfo::Video(64, 48, 0, 0, 1, 30);
    ASSERT_EQ(stream.Create(&info), AVIERR_OK);
    AVICOMPRESSOPTIONS options{
        0, mmioFOURCC('m', 's', 'v', 'c'), 0, 10000, 0, AVICOMPRESSF_VALID, nullptr, 0, nullptr, 0, 0};
    // The default: the options stand as given.
    EXPECT_EQ(stream.SaveOptions(&options, nullptr, 0, 1), 1);
    EXPECT_EQ(options.fccHandler, mmioFOURCC('m', 's', 'v', 'c'));
    // A dialog that chooses and allocates its blocks: they are freed, the choice stays.
    auto previous =
        AVISetSaveOptionsHook([](HWND, UINT, int count, PAVISTREAM*, LPAVICOMPRESSOPTIONS* list) -> INT_PTR {
            EXPECT_EQ(count, 1);
            list[0]->fccHandler = mmioFOURCC('M', 'J', 'P', 'G');
            list[0]->dwQuality = 8000;
            list[0]->lpFormat = new BYTE[16];
            list[0]->cbFormat = 16;
            list[0]->lpParms = new BYTE[4];
            list[0]->cbParms = 4;
            return TRUE;
        });
    EXPECT_EQ(stream.SaveOptions(&options, nullptr, 0, 1), 1);
    EXPECT_EQ(options.fccHandler, mmioFOURCC('M', 'J', 'P', 'G'));
    EXPECT_EQ(options.dwQuality, 8000u);
    EXPECT_EQ(options.lpFormat, nullptr);
    EXPECT_EQ(options.lpParms, nullptr);
    // Cancel.
    AVISetSaveOptionsHook([](HWND, UINT, int, PAVISTREAM*, LPAVICOMPRESSOPTIONS* list) -> INT_PTR {
        list[0]->dwQuality = 1;
        return FALSE;
    });
    EXPECT_EQ(stream.SaveOptions(&options, nullptr, 0, 1), 0);
    EXPECT_EQ(options.dwQuality, 1u) << "as the dialog left it";

    // The options stream keeps the records; the caller's copies carry no pointers it would free.
    AVISetSaveOptionsHook([](HWND, UINT, int count, PAVISTREAM*, LPAVICOMPRESSOPTIONS* list) -> INT_PTR {
        for (int i = 0; i < count; ++i) {
            list[i]->fccHandler = mmioFOURCC('m', 's', 'v', 'c');
            list[i]->lpFormat = new BYTE[8];
            list[i]->cbFormat = 8;
        }
        return TRUE;
    });
    CMovieOptionsStream kept(file, 42);
    EXPECT_EQ(kept.FreeOptions(), 0);
    AVICOMPRESSOPTIONS two[2] = {};
    EXPECT_EQ(kept.SaveOptions(two, nullptr, 0, 2), 1);
    EXPECT_EQ(kept.OptionCount(), 2);
    EXPECT_EQ(two[1].fccHandler, mmioFOURCC('m', 's', 'v', 'c'));
    EXPECT_EQ(two[0].lpFormat, nullptr);
    EXPECT_NE(kept.KeptOptions()[0].lpFormat, nullptr);
    EXPECT_EQ(kept.SaveOptions(two, nullptr, 0, 1), 1) << "the earlier records are freed first";
    EXPECT_EQ(kept.FreeOptions(), AVIERR_OK);
    EXPECT_EQ(kept.OptionCount(), 1);
    EXPECT_EQ(kept.Value(), 42u);
    AVISetSaveOptionsHook(previous);
}

TEST_F(Writing, MotionJpegFileWritesKeyFramesAtTheConvertedQuality) {
    const int width = 48, height = 32, frames = 5;
    const std::string path = dir.File("own.avi");
    {
        CMjpegMovieFile file;
        EXPECT_EQ(file.Quality(), CMjpegMovieFile::kDefaultQuality);
        ASSERT_EQ(file.Create(path.c_str(), 0, width, height, 30, 7500), AVIERR_OK);
        EXPECT_EQ(file.Format().header.biSize, 68u);
        EXPECT_EQ(file.Format().jpegInfoOffset, 44u);
        EXPECT_EQ(file.Format().jpegColorSpace, 2u);
        for (int i = 0; i < frames; ++i) {
            const auto pixels = MakeFrame(width, height, i);
            ASSERT_EQ(file.CompressAndWrite(i, pixels.data(), 0), AVIERR_OK);
        }
    }
    // 7500 is quality 75 of the JPEG codec: the stored frame is what the codec makes at 75.
    const auto pixels = MakeFrame(width, height, 0);
    BYTE* block = nullptr;
    long length = 0;
    ASSERT_EQ(jpg_compress_rgb(pixels.data(), width, height, JpgRows::Packed, &block, &length, 75, 0),
              JPG_OK);
    CMovieFile file(path.c_str(), OF_READ);
    CMovieStream stream(file, 0);
    ASSERT_EQ(stream.GetSampleSize(0), length);
    std::vector<uint8_t> stored(static_cast<size_t>(length));
    LONG size = length;
    ASSERT_EQ(stream.Read(stored.data(), &size, 0), AVIERR_OK);
    EXPECT_EQ(0, std::memcmp(stored.data(), block, static_cast<size_t>(length)));
    GlobalFree(block);
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    const double psnr = CheckWithFfmpeg(path, "mjpeg", width, height, frames, dir.File("own.raw"));
    std::printf("CMjpegMovieFile at 7500: lowest PSNR %.2f dB\n", psnr);
    EXPECT_GT(psnr, 28.0);
}

TEST_F(Writing, FfmpegMotionJpegIsReadThroughTheFrameGetter) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    const std::string path = dir.File("ffmpeg_mjpeg.avi");
    int status = 0;
    avitest::Run(
        "ffmpeg -v error -y -f lavfi -i testsrc=size=80x60:rate=30 -f lavfi -i sine=sample_rate=8000 -t 0.3 "
        "-c:v mjpeg -q:v 3 -c:a pcm_s16le '" +
            path + "' 2>&1",
        &status);
    ASSERT_EQ(status, 0);
    const auto reference = FfmpegDecode(path, dir.File("ref.raw"));
    const size_t frameBytes = 80 * 60 * 3;
    ASSERT_EQ(reference.size(), frameBytes * 9);
    CMovieFile file(path.c_str(), OF_READ);
    AVIFILEINFO info{};
    ASSERT_EQ(file.GetInfo(&info), AVIERR_OK);
    EXPECT_EQ(info.dwStreams, 2u);
    CMovieStream stream(file, streamtypeVIDEO);
    CMovieGetFrame getter(stream, nullptr);
    for (int i = 0; i < 9; ++i) {
        auto* h = static_cast<BITMAPINFOHEADER*>(getter.GetFrame(i));
        ASSERT_NE(h, nullptr);
        const auto theirs = FlipRows(reference.data() + frameBytes * i, 80, 60);
        const double psnr = Psnr(reinterpret_cast<uint8_t*>(h + 1), theirs.data(), frameBytes);
        if (i == 0)
            std::printf("ffmpeg's Motion-JPEG: own decode vs ffmpeg's %.2f dB\n", psnr);
        EXPECT_GT(psnr, 30.0) << i;
    }
}

TEST_F(Writing, DamagedMotionJpegFramesNeverCrash) {
    const std::string path = dir.File("mjpg_ok.avi");
    Convert(path, 48, 32, 3, mmioFOURCC('M', 'J', 'P', 'G'), 7500, "t");
    const auto original = ReadFile(path);
    const std::string text(original.begin(), original.end());
    const size_t movi = text.find("movi"), idx1 = text.find("idx1");
    ASSERT_NE(movi, std::string::npos);
    ASSERT_NE(idx1, std::string::npos);
    std::mt19937 random(99);
    int delivered = 0;
    for (int round = 0; round < 100; ++round) {
        auto bad = original;
        for (int k = 0; k < 8; ++k)
            bad[movi + 12 + random() % (idx1 - movi - 12)] = static_cast<uint8_t>(random());
        const std::string damaged = dir.File("bad.avi");
        WriteFile(damaged, bad.data(), bad.size());
        try {
            CMovieFile file(damaged.c_str(), OF_READ);
            CMovieStream stream(file, streamtypeVIDEO);
            CMovieGetFrame getter(stream, nullptr);
            for (LONG i = 0; i < 3; ++i)
                delivered += getter.GetFrame(i) != nullptr;
        } catch (const CMovieException&) {
        }
    }
    std::printf("damaged Motion-JPEG frames still delivered: %d of 300\n", delivered);

    // A frame that is not a JPEG stream at all is refused; its neighbours are not affected.
    auto bad = original;
    const size_t first = text.find("00dc", movi) + 8;
    bad[first] = 0x00;
    bad[first + 1] = 0x00;
    const std::string damaged = dir.File("nosoi.avi");
    WriteFile(damaged, bad.data(), bad.size());
    CMovieFile file(damaged.c_str(), OF_READ);
    CMovieStream stream(file, streamtypeVIDEO);
    CMovieGetFrame getter(stream, nullptr);
    EXPECT_EQ(getter.GetFrame(0), nullptr);
    EXPECT_NE(getter.GetFrame(1), nullptr);
    EXPECT_NE(getter.GetFrame(2), nullptr);
}
