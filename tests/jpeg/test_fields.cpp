// Two-field Motion-JPEG frames: how they are written, found and decoded into interleaved rows.
#include <gtest/gtest.h>

#include "JpegTestUtil.h"

using namespace jpegtest;

namespace {

// Even memory rows dark and bluish, odd rows bright and reddish: a field on the wrong rows shows.
Dib MakeStriped(int width, int height, JpgRows rows) {
    Dib dib = MakeGradient(width, height, rows);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            BYTE* p = dib.Pixel(x, y);
            const bool even = y % 2 == 0;
            p[0] = static_cast<BYTE>(even ? 150 + x % 50 : 20);
            p[1] = static_cast<BYTE>(even ? 30 : 90 + y % 60);
            p[2] = static_cast<BYTE>(even ? 20 : 200 + x % 40);
        }
    }
    return dib;
}

std::vector<BYTE> Rows(const std::vector<BYTE>& packed, int width, int parity) {
    std::vector<BYTE> rows;
    const std::size_t row = width * 3;
    for (std::size_t y = parity; (y + 1) * row <= packed.size(); y += 2)
        rows.insert(rows.end(), packed.begin() + y * row, packed.begin() + (y + 1) * row);
    return rows;
}

} // namespace

TEST(JpegFields, FrameIsTwoHalfHeightStreamsMarkedInByte10) {
    const Dib dib = MakeStriped(640, 480, JpgRows::Packed);
    const std::vector<BYTE> frame = CompressFields(dib, 75, 0);
    const std::size_t second = SecondStart(frame);
    ASSERT_GT(second, 0u);
    EXPECT_EQ(frame[10], 1);
    EXPECT_EQ(frame[second + 10], 2);
    for (const auto& stream : {std::vector<BYTE>(frame.begin(), frame.begin() + second),
                               std::vector<BYTE>(frame.begin() + second, frame.end())}) {
        JpgImageInfo info;
        ASSERT_EQ(jpg_read_header(stream.data(), static_cast<long>(stream.size()), &info), JPG_OK);
        EXPECT_EQ(info.width, 640);
        EXPECT_EQ(info.height, 240);
        EXPECT_EQ(info.fields, 1) << "a lone field has no second image";
    }
    const std::vector<BYTE> swapped = CompressFields(dib, 75, 1);
    EXPECT_EQ(swapped[10], 2);
    EXPECT_EQ(swapped[SecondStart(swapped) + 10], 1);
}

TEST(JpegFields, DecodeInterleavesTheFieldsIntoTheirRows) {
    const Dib dib = MakeStriped(640, 480, JpgRows::Packed);
    const std::vector<BYTE> frame = CompressFields(dib, 75, 0);
    JpgImageInfo info;
    ASSERT_EQ(jpg_read_header(frame.data(), static_cast<long>(frame.size()), &info), JPG_OK);
    EXPECT_EQ(info.fields, 2);
    EXPECT_EQ(info.height, 480);
    EXPECT_EQ(info.fieldHeight, 240);
    const std::vector<BYTE> decoded = Decode(frame, JpgRows::Packed);
    EXPECT_GE(Psnr(Rows(decoded, 640, 0), Rows(dib.pixels, 640, 0)), 30.0) << "even rows from field 1";
    EXPECT_GE(Psnr(Rows(decoded, 640, 1), Rows(dib.pixels, 640, 1)), 30.0) << "odd rows from field 2";

    // Order 1 marks the first field (the even rows) as field 2: it comes back on the odd rows.
    const std::vector<BYTE> swapped = Decode(CompressFields(dib, 75, 1), JpgRows::Packed);
    EXPECT_GE(Psnr(Rows(swapped, 640, 1), Rows(dib.pixels, 640, 0)), 30.0);
}

TEST(JpegFields, PaddedRowsAtAnOddWidth) {
    const Dib dib = MakeStriped(45, 20, JpgRows::Padded4); // 135 bytes a row, 136 with padding
    Dib back = dib;
    back.pixels = Decode(CompressFields(dib, 90, 0), JpgRows::Padded4);
    ASSERT_EQ(back.pixels.size(), 136u * 20u);
    EXPECT_GE(Psnr(PackedPixels(back), PackedPixels(dib)), 30.0);
}

TEST(JpegFields, OnlyAMarkedStreamFollowedByAnImageIsTwoFields) {
    const Dib dib = MakeGradient(32, 16, JpgRows::Packed);
    const std::vector<BYTE> plain = Compress(dib, 80);
    ASSERT_EQ(plain[10], 0);
    std::vector<BYTE> twice = plain; // unmarked: the first image only
    twice.insert(twice.end(), plain.begin(), plain.end());
    std::vector<BYTE> marked = plain; // marked, but alone: would land one row up, past the buffer
    marked[10] = 2;
    for (const auto* stream : {&twice, &marked}) {
        JpgImageInfo info;
        ASSERT_EQ(jpg_read_header(stream->data(), static_cast<long>(stream->size()), &info), JPG_OK);
        EXPECT_EQ(info.fields, 1);
        EXPECT_EQ(Decode(*stream, JpgRows::Packed), Decode(plain, JpgRows::Packed));
    }
}

TEST(JpegFields, FieldsOfDifferentSizesOrATooSmallBufferAreRefused) {
    const std::vector<BYTE> small = CompressFields(MakeGradient(32, 16, JpgRows::Packed), 80, 0);
    const std::vector<BYTE> large = CompressFields(MakeGradient(32, 64, JpgRows::Packed), 80, 0);
    std::vector<BYTE> mixed(small.begin(), small.begin() + SecondStart(small));
    mixed.insert(mixed.end(), large.begin() + SecondStart(large), large.end());
    std::vector<BYTE> out(32 * 3 * 16);
    EXPECT_EQ(
        jpg_decompress_dib(mixed.data(), out.data(), long(mixed.size()), 0, out.size(), JpgRows::Packed),
        JPG_ERR_FORMAT);
    EXPECT_EQ(
        jpg_decompress_dib(small.data(), out.data(), long(small.size()), 0, out.size() - 1, JpgRows::Packed),
        JPG_ERR_BUFFER);
}
