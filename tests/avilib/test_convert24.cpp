// Decoded frames turned into packed 24-bit frame bitmaps.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/vfw/vfw.h"
#include "vfw/avi_test_util.h"
#include "vomLib/avilib/MovieBase.h"

using namespace avitest;

namespace {

struct Converter : CMovieBase {};

// A source block: header, colour table, pixel rows.
std::vector<uint8_t> Source(LONG width, LONG height, WORD bits, DWORD sizeImage,
                            const std::vector<RGBQUAD>& table, const std::vector<uint8_t>& pixels,
                            DWORD clrUsed = 0) {
    std::vector<uint8_t> block(40 + 4 * table.size() + pixels.size());
    BITMAPINFOHEADER h{40, width, height, 1, bits, BI_RGB, sizeImage, 0, 0, clrUsed, 0};
    std::memcpy(block.data(), &h, 40);
    if (!table.empty())
        std::memcpy(block.data() + 40, table.data(), 4 * table.size());
    if (!pixels.empty())
        std::memcpy(block.data() + 40 + 4 * table.size(), pixels.data(), pixels.size());
    return block;
}

std::vector<uint8_t> Convert(const std::vector<uint8_t>& source, DWORD* size, BOOL* ok) {
    Converter c;
    auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(source.data());
    std::vector<uint8_t> out(std::max<DWORD>(CMovieBase::ConvertedSize(h), 64), 0xEE);
    *ok = c.ConvertTo24Bit(h, out.data(), size);
    return out;
}

} // namespace

TEST(ConvertTo24Bit, TwentyFourBitSourcesPassThrough) {
    std::vector<uint8_t> pixels(4 * 2 * 3);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i * 7);
    DWORD size = 0;
    BOOL ok = FALSE;
    auto source = Source(4, 2, 24, 24, {}, pixels);
    auto out = Convert(source, &size, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(size, 40u + 24u);
    EXPECT_TRUE(std::equal(source.begin(), source.end(), out.begin()));
    // An image size of 0 is legal: width x 3 x height bytes are taken.
    source = Source(4, 2, 24, 0, {}, pixels);
    out = Convert(source, &size, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(size, 64u);
}

TEST(ConvertTo24Bit, DeeperOrCompressedSourcesAreRefused) {
    DWORD size = 77;
    BOOL ok = TRUE;
    auto out = Convert(Source(2, 2, 32, 16, {}, std::vector<uint8_t>(16, 1)), &size, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(size, 77u);
    EXPECT_EQ(out[0], 0xEE) << "destination untouched";
    auto compressed = Source(2, 2, 24, 12, {}, std::vector<uint8_t>(12, 1));
    reinterpret_cast<BITMAPINFOHEADER*>(compressed.data())->biCompression = mmioFOURCC('M', 'J', 'P', 'G');
    Convert(compressed, &size, &ok);
    EXPECT_FALSE(ok);
}

TEST(ConvertTo24Bit, SixteenBitWordsSpreadTheirFiveBitComponents) {
    // 0x7FFF, 0x0000, then 0x001F (blue), 0x03E0 (green): rows of 2 pixels are already 4-byte aligned.
    DWORD size = 0;
    BOOL ok = FALSE;
    auto out = Convert(Source(2, 2, 16, 8, {}, {0xFF, 0x7F, 0x00, 0x00, 0x1F, 0x00, 0xE0, 0x03}), &size, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(size, 40u + 12u);
    const uint8_t expected[12] = {0xF8, 0xF8, 0xF8, 0, 0, 0, 0xF8, 0, 0, 0, 0xF8, 0};
    EXPECT_EQ(0, std::memcmp(out.data() + 40, expected, 12));
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(out.data());
    EXPECT_EQ(h->biBitCount, 24);
    EXPECT_EQ(h->biSizeImage, 12u);
    EXPECT_EQ(h->biClrUsed, 0u);
}

TEST(ConvertTo24Bit, OneBitSourcesGoMostSignificantBitFirst) {
    DWORD size = 0;
    BOOL ok = FALSE;
    auto out = Convert(Source(8, 1, 1, 4, {{0, 0, 0, 0}, {255, 255, 255, 0}}, {0x80, 0, 0, 0}), &size, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(size, 40u + 24u);
    EXPECT_EQ(out[40], 255);
    EXPECT_EQ(out[42], 255);
    for (int i = 3; i < 24; ++i)
        EXPECT_EQ(out[40 + i], 0) << i;
}

TEST(ConvertTo24Bit, PaddedRowsOfOddWidthsGiveExactlyWidthPixels) {
    // Width 5 at 8 bits: rows of 8 bytes in the source, 15 in the result; index 9 is outside the table.
    const std::vector<RGBQUAD> table = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}};
    const std::vector<uint8_t> pixels = {0, 1, 2, 1, 0, 0xAA, 0xAA, 0xAA, 2, 2, 9, 1, 1, 0xAA, 0xAA, 0xAA};
    DWORD size = 0;
    BOOL ok = FALSE;
    auto out = Convert(Source(5, 2, 8, 0, table, pixels, 3), &size, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(size, 40u + 30u);
    const uint8_t expected[30] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 4, 5, 6, 1, 2, 3,
                                  7, 8, 9, 7, 8, 9, 0, 0, 0, 4, 5, 6, 4, 5, 6};
    EXPECT_EQ(0, std::memcmp(out.data() + 40, expected, 30));
    // Four bits, top-down: the result is bottom-up with the absolute height.
    const std::vector<uint8_t> nibbles = {0x01, 0x20, 0, 0, 0x22, 0x10, 0, 0};
    out = Convert(Source(3, -2, 4, 0, table, nibbles, 3), &size, &ok);
    ASSERT_TRUE(ok);
    auto* h = reinterpret_cast<BITMAPINFOHEADER*>(out.data());
    EXPECT_EQ(h->biHeight, 2);
    const uint8_t flipped[18] = {7, 8, 9, 7, 8, 9, 4, 5, 6, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(0, std::memcmp(out.data() + 40, flipped, 18));
}

TEST(ConvertTo24Bit, FfmpegPalettedFramesMatchFfmpegsDecode) {
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg missing";
    TempDir dir;
    const std::string path = dir.File("pal8.avi");
    const int width = 42, height = 20;
    int status = 0;
    avitest::Run(
        "ffmpeg -v error -y -f lavfi -i testsrc=size=42x20:rate=30 -t 0.2 -c:v rawvideo -pix_fmt pal8 '" +
            path + "' 2>&1",
        &status);
    ASSERT_EQ(status, 0);
    const auto reference = FfmpegDecode(path, dir.File("ref.raw"));
    const size_t frameBytes = static_cast<size_t>(width) * 3 * height;
    ASSERT_EQ(reference.size(), frameBytes * 6);
    PAVIFILE file = nullptr;
    ASSERT_EQ(AVIFileOpenA(&file, path.c_str(), OF_READ, nullptr), AVIERR_OK);
    PAVISTREAM stream = nullptr;
    ASSERT_EQ(AVIFileGetStream(file, &stream, streamtypeVIDEO, 0), AVIERR_OK);
    PGETFRAME getter = AVIStreamGetFrameOpen(stream, nullptr);
    ASSERT_NE(getter, nullptr);
    Converter c;
    for (int i = 0; i < 6; ++i) {
        auto* frame = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(getter, i));
        ASSERT_NE(frame, nullptr);
        std::vector<uint8_t> out(CMovieBase::ConvertedSize(frame));
        DWORD size = 0;
        ASSERT_TRUE(c.ConvertTo24Bit(frame, out.data(), &size));
        ASSERT_EQ(size, 40 + frameBytes);
        EXPECT_EQ(std::vector<uint8_t>(out.begin() + 40, out.end()),
                  FlipRows(reference.data() + frameBytes * i, width, height))
            << "frame " << i;
    }
    AVIStreamGetFrameClose(getter);
    AVIStreamRelease(stream);
    AVIFileRelease(file);
}
