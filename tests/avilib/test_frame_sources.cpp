// Frame sources: any frame turned into a two-field Motion-JPEG frame of 640 x 480.
#include <gtest/gtest.h>

#include <cstring>

#include "avilib/mjpeg_frames.h"
#include "vfw/avi_test_util.h"
#include "vomLib/avilib/FrameSource.h"
#include "vomLib/avilib/MovieFile.h"
#include "vomLib/avilib/MovieStream.h"
#include "vomLib/avilib/MovieStreamInfo.h"

using namespace avitest;

namespace {

// A file with one video stream of the given format and samples.
void WriteStream(const std::string& path, const BITMAPINFOHEADER& format, FOURCC handler,
                 const std::vector<std::vector<uint8_t>>& samples) {
    CMovieFile file(path.c_str(), OF_CREATE | OF_WRITE);
    CMovieStream stream(file);
    const auto info = CMovieStreamInfo::Video(format.biWidth, format.biHeight, 921600, handler, 1, 30);
    ASSERT_EQ(stream.Create(&info), AVIERR_OK);
    ASSERT_EQ(stream.SetFormat(const_cast<BITMAPINFOHEADER*>(&format), sizeof format, 0), AVIERR_OK);
    for (size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(stream.Write(static_cast<LONG>(i), const_cast<uint8_t*>(samples[i].data()),
                               static_cast<LONG>(samples[i].size()), AVIIF_KEYFRAME),
                  AVIERR_OK);
}

// A decoded 24-bit frame block: header and rows of the given stride.
std::vector<uint8_t> Frame(int width, int height, size_t stride, int seed) {
    std::vector<uint8_t> block(40 + stride * height, 0);
    BITMAPINFOHEADER h{40, width, height, 1, 24, BI_RGB, static_cast<DWORD>(stride * height), 0, 0, 0, 0};
    std::memcpy(block.data(), &h, 40);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                block[40 + stride * y + 3 * x + c] =
                    static_cast<uint8_t>(1 + (x * 3 + y * 5 + c + seed) % 250);
    return block;
}

class FrameSources : public ::testing::Test {
protected:
    void SetUp() override {
        // Any stream will do for the centring; a small uncompressed one.
        path_ = dir.File("small.avi");
        BITMAPINFOHEADER h{40, 4, 4, 1, 24, BI_RGB, 48, 0, 0, 0, 0};
        WriteStream(path_, h, 0, {std::vector<uint8_t>(48, 9)});
    }
    TempDir dir;
    std::string path_;
};

} // namespace

TEST_F(FrameSources, SmallFramesAreCentredOnBlack) {
    CMovieFile file(path_.c_str(), OF_READ);
    CMovieStream stream(file, 0);
    CDibMjpegFrameSource source(stream);
    const auto frame = Frame(320, 240, 960, 0);
    const BYTE* buffer = source.CenterFrameInBuffer(reinterpret_cast<const BITMAPINFOHEADER*>(frame.data()));
    ASSERT_EQ(buffer, source.Buffer());
    auto at = [&](int x, int y) { return buffer + (static_cast<size_t>(y) * 640 + x) * 3; };
    EXPECT_EQ(0, std::memcmp(at(160, 120), frame.data() + 40, 3));
    EXPECT_EQ(0, std::memcmp(at(479, 359), frame.data() + 40 + 960 * 239 + 319 * 3, 3));
    EXPECT_EQ(at(159, 120)[0], 0);
    EXPECT_EQ(at(480, 359)[0], 0);
    EXPECT_EQ(at(160, 119)[0], 0);
    EXPECT_EQ(at(160, 360)[0], 0);
}

TEST_F(FrameSources, LargeFramesAreCroppedCentrally) {
    CMovieFile file(path_.c_str(), OF_READ);
    CMovieStream stream(file, 0);
    CDibMjpegFrameSource source(stream);
    // 641 wide: the offset -1 / 2 truncates to 0, so the copy starts at source column 0.
    const auto wide = Frame(641, 10, DibRowBytes(641, 24), 1);
    const BYTE* buffer = source.CenterFrameInBuffer(reinterpret_cast<const BITMAPINFOHEADER*>(wide.data()));
    const size_t stride = DibRowBytes(641, 24);
    EXPECT_EQ(0, std::memcmp(buffer + 235 * 1920, wide.data() + 40, 1920));
    EXPECT_EQ(0, std::memcmp(buffer + 244 * 1920, wide.data() + 40 + stride * 9, 1920));
    EXPECT_EQ(buffer[234 * 1920], 0);
    // Larger both ways: the buffer's corner shows source pixel (30, 10).
    const auto big = Frame(700, 500, 2100, 2);
    buffer = source.CenterFrameInBuffer(reinterpret_cast<const BITMAPINFOHEADER*>(big.data()));
    EXPECT_EQ(0, std::memcmp(buffer, big.data() + 40 + 2100 * 10 + 30 * 3, 1920));
    EXPECT_EQ(0, std::memcmp(buffer + 479 * 1920, big.data() + 40 + 2100 * 489 + 30 * 3, 1920));
    // Odd widths are read with their padded stride.
    const auto odd = Frame(5, 3, 16, 3);
    buffer = source.CenterFrameInBuffer(reinterpret_cast<const BITMAPINFOHEADER*>(odd.data()));
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(0, std::memcmp(buffer + (238 + y) * 1920 + 317 * 3, odd.data() + 40 + 16 * y, 15)) << y;
}

TEST_F(FrameSources, RecordingSystemFramesAreRebuiltAsTwoFields) {
    // 'YRJQ' streams declare 24-bit BI_RGB 640 x 480 but hold JPEG bytes.
    const auto pixels = MakeFrame(640, 480, 0);
    const auto split = MakeSplitFrame(pixels, 640, 480);
    ASSERT_FALSE(split.empty());
    const std::string path = dir.File("yrjq.avi");
    BITMAPINFOHEADER h{40, 640, 480, 1, 24, BI_RGB, 921600, 0, 0, 0, 0};
    WriteStream(path, h, mmioFOURCC('Y', 'R', 'J', 'Q'), {split, split});

    CMovieFile file(path.c_str(), OF_READ);
    CMovieStream stream(file, 0);
    CJfifFrameSource jfif(stream);
    BYTE* out = nullptr;
    DWORD size = 0;
    auto* frame = jfif.GetFrame(1, &out, &size);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->biSizeImage, split.size()) << "the getter hands the stored bytes behind the header";
    EXPECT_EQ(out, jfif.Buffer());
    ASSERT_GT(size, 0u);
    const auto sofs = MarkerPositions(out, size, 0xC0);
    ASSERT_EQ(sofs.size(), 2u);
    for (size_t sof : sofs)
        EXPECT_EQ((out[sof + 5] << 8) | out[sof + 6], 240);
    std::vector<uint8_t> decoded(921600);
    ASSERT_EQ(
        jpg_decompress_dib(out, decoded.data(), static_cast<long>(size), 0, decoded.size(), JpgRows::Packed),
        JPG_OK);
    EXPECT_GT(Psnr(decoded.data(), pixels.data(), pixels.size()), 28.0);
    EXPECT_EQ(jfif.GetFrame(2, &out, &size), nullptr);

    // The Motion-JPEG source hands 640 x 480 samples out as stored, with the bytes really read.
    CMjpegFrameSource mjpeg(stream);
    ASSERT_NE(mjpeg.GetFrame(0, &out, &size), nullptr);
    EXPECT_EQ(out, mjpeg.Buffer());
    ASSERT_EQ(size, split.size());
    EXPECT_EQ(0, std::memcmp(out, split.data(), size));
}

TEST_F(FrameSources, OtherSizesAreCentredAndCompressedAsTwoFields) {
    const int width = 320, height = 240;
    const auto pixels = MakeFrame(width, height, 4);
    const std::string path = dir.File("dib.avi");
    BITMAPINFOHEADER h{40, width, height, 1, 24, BI_RGB, static_cast<DWORD>(pixels.size()), 0, 0, 0, 0};
    WriteStream(path, h, 0, {pixels});
    CMovieFile file(path.c_str(), OF_READ);
    CMovieStream stream(file, 0);
    for (int kind = 0; kind < 2; ++kind) {
        std::unique_ptr<CMovieFrameSource> source;
        if (kind == 0)
            source = std::make_unique<CMjpegFrameSource>(stream);
        else
            source = std::make_unique<CDibMjpegFrameSource>(stream);
        BYTE* out = nullptr;
        DWORD size = 0;
        ASSERT_NE(source->GetFrame(0, &out, &size), nullptr);
        EXPECT_EQ(out, source->Buffer());
        ASSERT_GT(size, 0u);
        EXPECT_EQ(out[10], 1);
        JpgImageInfo info;
        ASSERT_EQ(jpg_read_header(out, static_cast<long>(size), &info), JPG_OK);
        EXPECT_EQ(info.fields, 2);
        EXPECT_EQ(info.width, 640);
        EXPECT_EQ(info.height, 480);
        std::vector<uint8_t> decoded(921600);
        ASSERT_EQ(jpg_decompress_dib(out, decoded.data(), static_cast<long>(size), 0, decoded.size(),
                                     JpgRows::Packed),
                  JPG_OK);
        const auto centre = Unpad(decoded.data() + (120 * 640 + 160) * 3, width, height, 1920);
        const double psnr = Psnr(centre.data(), pixels.data(), pixels.size());
        std::printf("centred 320x240 frame (source %d): PSNR %.2f dB\n", kind, psnr);
        EXPECT_GT(psnr, 28.0);
    }
}
