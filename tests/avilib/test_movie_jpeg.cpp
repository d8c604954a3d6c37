// Two-field Motion-JPEG frames: compression, segment location and the rebuilt two-image form.
#include <gtest/gtest.h>

#include <cstring>

#include "avilib/mjpeg_frames.h"
#include "platform/win32/memory.h"
#include "vfw/avi_test_util.h"
#include "vomLib/avilib/MovieJpeg.h"

using namespace avitest;

TEST(MovieJpeg, OneFieldLocatesEverySegmentOfTheImage) {
    const auto pixels = MakeFrame(64, 32, 0);
    CMovieJpeg jpeg;
    EXPECT_EQ(jpeg.Quality(), 75);
    EXPECT_EQ(jpeg.Fields(), 2);
    ASSERT_EQ(jpeg.Compress(pixels.data(), 64, 32, 80, 1, 0), JPG_OK);
    EXPECT_EQ(jpeg.Quality(), 80);
    const BYTE* data = jpeg.Compressed();
    const long length = jpeg.CompressedLength();
    ASSERT_GT(length, 0);
    ASSERT_TRUE(jpeg.Dqt().Found());
    ASSERT_TRUE(jpeg.Dht().Found());
    ASSERT_TRUE(jpeg.Sof0().Found());
    ASSERT_TRUE(jpeg.Sos().Found());
    EXPECT_EQ(jpeg.Dqt().data[1], 0xDB);
    EXPECT_EQ(jpeg.Dht().data[1], 0xC4);
    EXPECT_EQ((jpeg.Sof0().data[5] << 8) | jpeg.Sof0().data[6], 32);
    // The scan runs from behind the scan header to the end-of-image marker.
    EXPECT_EQ(jpeg.Scan1().data, jpeg.Sos().data + jpeg.Sos().length);
    EXPECT_EQ(jpeg.Scan1().data + jpeg.Scan1().length, data + length - 2);
    EXPECT_FALSE(jpeg.Scan2().Found());
}

TEST(MovieJpeg, TwoFieldsAreTwoImagesAndTheSecondIsFoundBehindTheFirst) {
    const auto pixels = MakeFrame(64, 32, 1);
    CMovieJpeg jpeg;
    ASSERT_EQ(jpeg.Compress(pixels.data(), 64, 32, 75, 2, 0), JPG_OK);
    const BYTE* data = jpeg.Compressed();
    const size_t length = static_cast<size_t>(jpeg.CompressedLength());
    EXPECT_EQ(data[10], 1);
    const auto starts = MarkerPositions(data, length, 0xD8);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(data[starts[1] + 10], 2);
    ASSERT_TRUE(jpeg.Scan2().Found());
    EXPECT_GT(jpeg.Scan2().data, data + starts[1]);
    EXPECT_EQ(jpeg.Scan2().data + jpeg.Scan2().length, data + length - 2);
    long detached = 0;
    BYTE* block = jpeg.DetachCompressed(&detached);
    EXPECT_EQ(static_cast<size_t>(detached), length);
    EXPECT_EQ(jpeg.Compressed(), nullptr);
    GlobalFree(block);
}

TEST(MovieJpeg, RestartSplitFrameIsRebuiltAsTwoFieldImages) {
    const int width = 64, height = 32;
    const auto pixels = MakeFrame(width, height, 2);
    const auto split = MakeSplitFrame(pixels, width, height);
    ASSERT_FALSE(split.empty());
    CMovieJpeg jpeg;
    jpeg.FindSegments(split.data(), static_cast<DWORD>(split.size()), TRUE);
    ASSERT_TRUE(jpeg.Scan1().Found());
    ASSERT_TRUE(jpeg.Scan2().Found());
    EXPECT_EQ(jpeg.Scan2().data[-1], 0xD0);
    std::vector<uint8_t> rebuilt(split.size() + 200);
    const DWORD size = jpeg.BuildTwoFieldFrame(rebuilt.data(), static_cast<DWORD>(rebuilt.size()));
    ASSERT_GT(size, 0u);
    rebuilt.resize(size);
    const auto starts = MarkerPositions(rebuilt.data(), rebuilt.size(), 0xD8);
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(rebuilt[starts[0] + 10], 1);
    EXPECT_EQ(rebuilt[starts[1] + 10], 2);
    EXPECT_TRUE(MarkerPositions(rebuilt.data(), rebuilt.size(), 0xC4).empty()) << "no Huffman tables";
    for (size_t sof : MarkerPositions(rebuilt.data(), rebuilt.size(), 0xC0))
        EXPECT_EQ((rebuilt[sof + 5] << 8) | rebuilt[sof + 6], height / 2);
    EXPECT_EQ(rebuilt[starts[1] - 3], 0xFF);
    EXPECT_EQ(rebuilt[starts[1] - 2], 0xFF);
    EXPECT_EQ(rebuilt[starts[1] - 1], 0xD9);
    // Too small a buffer builds nothing.
    EXPECT_EQ(jpeg.BuildTwoFieldFrame(rebuilt.data(), size - 1), 0u);

    // The codec decodes the rebuilt pair as one interlaced frame.
    JpgImageInfo info;
    ASSERT_EQ(jpg_read_header(rebuilt.data(), static_cast<long>(rebuilt.size()), &info), JPG_OK);
    EXPECT_EQ(info.fields, 2);
    EXPECT_EQ(info.height, height);
    std::vector<uint8_t> decoded(jpg_dib_size(info, JpgRows::Packed));
    ASSERT_EQ(jpg_decompress_dib(rebuilt.data(), decoded.data(), static_cast<long>(rebuilt.size()), 0,
                                 decoded.size(), JpgRows::Packed),
              JPG_OK);
    const double psnr = Psnr(decoded.data(), pixels.data(), pixels.size());
    std::printf("rebuilt two-field frame: PSNR %.2f dB\n", psnr);
    EXPECT_GT(psnr, 28.0);

    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    // Each field on its own is a JPEG image that ffmpeg decodes to the field's rows.
    TempDir dir;
    for (int field = 0; field < 2; ++field) {
        const size_t begin = starts[field], end = field == 0 ? starts[1] : rebuilt.size();
        const std::string path = dir.File("field" + std::to_string(field) + ".jpg");
        WriteFile(path, rebuilt.data() + begin, end - begin);
        const auto theirs = FfmpegDecode(path, dir.File("field.raw"));
        ASSERT_EQ(theirs.size(), static_cast<size_t>(width) * 3 * height / 2) << field;
        // Field 1 holds the even rows counted from the bottom, field 2 the odd ones; ffmpeg gives them
        // top row first.
        auto rowsOf = [&](int parity) {
            std::vector<uint8_t> rows;
            for (int top = 0; top < height; ++top) {
                const int memoryRow = height - 1 - top;
                if (memoryRow % 2 == parity)
                    rows.insert(rows.end(), pixels.data() + static_cast<size_t>(memoryRow) * width * 3,
                                pixels.data() + static_cast<size_t>(memoryRow + 1) * width * 3);
            }
            return rows;
        };
        const auto expected = rowsOf(field), other = rowsOf(1 - field);
        const double fieldPsnr = Psnr(theirs.data(), expected.data(), expected.size());
        EXPECT_GT(fieldPsnr, Psnr(theirs.data(), other.data(), other.size()) + 1.0) << "the field's own rows";
        std::printf("field %d decoded by ffmpeg: PSNR %.2f dB\n", field + 1, fieldPsnr);
        EXPECT_GT(fieldPsnr, 28.0);
    }
}

TEST(MovieJpeg, SearchesStayInsideTheRun) {
    const uint8_t segment[] = {0x00, 0xFF, 0xDB, 0x00, 0x10, 0x01};
    EXPECT_FALSE(CMovieJpeg::FindMarker(segment, sizeof segment, 0xDB).Found()) << "length runs past the end";
    const uint8_t fits[] = {0xFF, 0xDB, 0x00, 0x02, 0xAA};
    const auto found = CMovieJpeg::FindMarker(fits, sizeof fits, 0xDB);
    ASSERT_TRUE(found.Found());
    EXPECT_EQ(found.length, 4u);
    EXPECT_FALSE(CMovieJpeg::FindMarker(fits, 3, 0xDB).Found());
    EXPECT_FALSE(CMovieJpeg::FindMarker(nullptr, 10, 0xDB).Found());

    // Every prefix of a real frame is examined without reading past it.
    const auto split = MakeSplitFrame(MakeFrame(32, 16, 0), 32, 16);
    ASSERT_FALSE(split.empty());
    for (size_t n = 0; n <= split.size(); ++n) {
        std::vector<uint8_t> prefix(split.begin(), split.begin() + static_cast<ptrdiff_t>(n));
        CMovieJpeg jpeg;
        jpeg.FindSegments(prefix.data(), static_cast<DWORD>(prefix.size()), TRUE);
        std::vector<uint8_t> out(2 * split.size() + 100);
        const DWORD size = jpeg.BuildTwoFieldFrame(out.data(), static_cast<DWORD>(out.size()));
        EXPECT_LE(size, out.size());
    }
}
