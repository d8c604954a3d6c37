// Top-down frames (negative height) compressed to Motion-JPEG must come out upright: the same picture
// handed over top-down and bottom-up decodes to the same bottom-up frame, through the compressor
// manager and through a written file, and ffmpeg sees the top of the picture at the top.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/vfw/vfw.h"
#include "vfw/avi_test_util.h"
#include "vfw/movie_writer.h"
#include "vomLib/avilib/MjpgCodec.h"
#include "vomLib/avilib/MovieFile.h"
#include "vomLib/avilib/MovieGetFrame.h"
#include "vomLib/avilib/MovieStream.h"

using namespace avitest;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr std::size_t kRow = kWidth * 3; // a multiple of 4: packed and padded rows coincide
constexpr FOURCC kMjpg = mmioFOURCC('M', 'J', 'P', 'G');

// The picture seen from the top: the upper half white, the lower half black.
std::uint8_t PictureValue(int rowFromTop) {
    return rowFromTop < kHeight / 2 ? 255 : 0;
}

// The picture's rows in memory order: top row first for top-down frames, bottom row first otherwise.
std::vector<std::uint8_t> Rows(bool topDown) {
    std::vector<std::uint8_t> rows(kRow * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        const int fromTop = topDown ? y : kHeight - 1 - y;
        std::memset(rows.data() + kRow * y, PictureValue(fromTop), kRow);
    }
    return rows;
}

BITMAPINFOHEADER RgbHeader(bool topDown) {
    return {40, kWidth, topDown ? -kHeight : kHeight, 1, 24, BI_RGB, kRow * kHeight, 0, 0, 0, 0};
}

std::vector<std::uint8_t> Compress(bool topDown) {
    HIC hic = ICOpen(ICTYPE_VIDEO, kMjpg, ICMODE_COMPRESS);
    EXPECT_NE(hic, nullptr);
    if (!hic)
        return {};
    BITMAPINFO in{};
    in.bmiHeader = RgbHeader(topDown);
    BITMAPINFO out{};
    EXPECT_GE(ICCompressGetFormat(hic, &in, &out), static_cast<LRESULT>(sizeof(BITMAPINFOHEADER)));
    EXPECT_EQ(out.bmiHeader.biHeight, kHeight) << "the compressed format is upright";
    std::vector<std::uint8_t> jpeg(static_cast<std::size_t>(ICCompressGetSize(hic, &in, &out)));
    EXPECT_EQ(ICCompressBegin(hic, &in, &out), ICERR_OK);
    auto rows = Rows(topDown);
    out.bmiHeader.biSizeImage = static_cast<DWORD>(jpeg.size());
    DWORD flags = 0;
    EXPECT_EQ(ICCompress(hic, 0, &out.bmiHeader, jpeg.data(), &in.bmiHeader, rows.data(), nullptr, &flags, 0,
                         0, 9000, nullptr, nullptr),
              ICERR_OK);
    jpeg.resize(out.bmiHeader.biSizeImage);
    ICCompressEnd(hic);
    ICClose(hic);
    return jpeg;
}

// Decoded through the compressor manager: bottom-up rows.
std::vector<std::uint8_t> Decompress(std::vector<std::uint8_t> jpeg) {
    HIC hic = ICOpen(ICTYPE_VIDEO, kMjpg, ICMODE_DECOMPRESS);
    EXPECT_NE(hic, nullptr);
    if (!hic)
        return {};
    BITMAPINFO in{};
    in.bmiHeader = {40, kWidth, kHeight, 1, 24, kMjpg, static_cast<DWORD>(jpeg.size()), 0, 0, 0, 0};
    BITMAPINFO out{};
    EXPECT_GE(ICDecompressGetFormat(hic, &in, &out), static_cast<LRESULT>(sizeof(BITMAPINFOHEADER)));
    EXPECT_EQ(ICDecompressBegin(hic, &in, &out), ICERR_OK);
    std::vector<std::uint8_t> pixels(out.bmiHeader.biSizeImage);
    EXPECT_EQ(pixels.size(), kRow * kHeight);
    EXPECT_EQ(
        static_cast<LONG>(ICDecompress(hic, 0, &in.bmiHeader, jpeg.data(), &out.bmiHeader, pixels.data())),
        ICERR_OK);
    ICDecompressEnd(hic);
    ICClose(hic);
    return pixels;
}

// The mean of one row of bottom-up (or, with topDown, top-down) pixels, by its row from the top.
double RowMean(const std::vector<std::uint8_t>& pixels, int fromTop, bool topDown) {
    const int y = topDown ? fromTop : kHeight - 1 - fromTop;
    double sum = 0;
    for (std::size_t i = 0; i < kRow; ++i)
        sum += pixels[kRow * y + i];
    return sum / kRow;
}

// The top row white and the bottom row black.
void ExpectUpright(const std::vector<std::uint8_t>& pixels, bool topDown, const char* what) {
    ASSERT_EQ(pixels.size(), kRow * kHeight) << what;
    EXPECT_GT(RowMean(pixels, 0, topDown), 240.0) << what << ": the top row";
    EXPECT_LT(RowMean(pixels, kHeight - 1, topDown), 15.0) << what << ": the bottom row";
    const auto source = Rows(topDown);
    EXPECT_GT(Psnr(pixels.data(), source.data(), source.size()), 30.0) << what;
}

class MjpgOrientation : public ::testing::Test {
protected:
    void SetUp() override { InstallMjpgCodec(); }
    TempDir dir;
};

} // namespace

TEST_F(MjpgOrientation, TopDownAndBottomUpFramesDecodeAlike) {
    const auto fromBottomUp = Decompress(Compress(false));
    const auto fromTopDown = Decompress(Compress(true));
    ExpectUpright(fromBottomUp, false, "bottom-up source");
    ExpectUpright(fromTopDown, false, "top-down source");
    EXPECT_TRUE(fromTopDown == fromBottomUp) << "the two sources decode to different pictures";
}

TEST_F(MjpgOrientation, TopDownFramesWrittenToAFileStandUpright) {
    const std::string path = dir.File("topdown.avi");
    ASSERT_EQ(WriteMovie(
                  {path, kWidth, kHeight, 2, kMjpg, 9000, ""}, [](int) { return Rows(true); }, true),
              AVIERR_OK);

    {
        CMovieFile file(path.c_str(), OF_READ);
        CMovieStream stream(file, streamtypeVIDEO);
        CMovieGetFrame getter(stream, nullptr);
        const auto* frame = static_cast<const BITMAPINFOHEADER*>(getter.GetFrame(1));
        ASSERT_NE(frame, nullptr);
        ASSERT_EQ(frame->biHeight, kHeight);
        const auto* bits = reinterpret_cast<const std::uint8_t*>(frame + 1);
        ExpectUpright(std::vector<std::uint8_t>(bits, bits + kRow * kHeight), false, "own decode");
    }

    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    EXPECT_EQ(Probe(path)["height"], std::to_string(kHeight));
    const auto decoded = FfmpegDecode(path, dir.File("topdown.raw"));
    ASSERT_EQ(decoded.size(), 2 * kRow * kHeight);
    ExpectUpright(std::vector<std::uint8_t>(decoded.begin(), decoded.begin() + kRow * kHeight), true,
                  "ffmpeg's decode");
}
