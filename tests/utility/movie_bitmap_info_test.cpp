#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "vomLib/avilib/MovieBitmapInfo.h"

TEST(CMovieBitmapInfo, BuildsTheHeaderFromTenValuesInOrder) {
    const CMovieBitmapInfo info(11, 22, 33, 44, 55, 66, 77, 88, 99, 111);
    const BITMAPINFOHEADER& h = info;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 11);
    EXPECT_EQ(h.biHeight, 22);
    EXPECT_EQ(h.biSizeImage, 33u);
    EXPECT_EQ(h.biPlanes, 44);
    EXPECT_EQ(h.biBitCount, 55);
    EXPECT_EQ(h.biCompression, 66u);
    EXPECT_EQ(h.biXPelsPerMeter, 77);
    EXPECT_EQ(h.biYPelsPerMeter, 88);
    EXPECT_EQ(h.biClrUsed, 99u);
    EXPECT_EQ(h.biClrImportant, 111u);
}

TEST(CMovieBitmapInfo, PackedFrameOf640x480) {
    const CMovieBitmapInfo info = CMovieBitmapInfo::Packed24(640, 480);
    EXPECT_EQ(info.biSizeImage, 921600u);
    EXPECT_EQ(info.biPlanes, 1);
    EXPECT_EQ(info.biBitCount, 24);
    EXPECT_EQ(info.biCompression, BI_RGB);
    EXPECT_EQ(info.biClrUsed, 0u);
    EXPECT_EQ(PackedFrameSize(640, 480), 40u + 921600u);
    EXPECT_EQ(CMovieBitmapInfo::Packed24(640, 480, false).biSizeImage, 0u);

    // Copied to the start of a frame block, the first pixel byte follows the header directly.
    std::vector<unsigned char> block(PackedFrameSize(640, 480));
    std::memcpy(block.data(), &info, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(block[0], 40);
    EXPECT_EQ(block[4], 640 & 0xFF);
    EXPECT_EQ(block[5], 640 >> 8);
}

TEST(CMovieBitmapInfo, RowsHaveNoPadding) {
    EXPECT_EQ(PackedFrameImageSize(5, 7), 15u * 7u);
    EXPECT_EQ(PackedFrameSize(5, 7), 40u + 15u * 7u);
    EXPECT_EQ(CMovieBitmapInfo::Packed24(5, 7).biSizeImage, 105u);
}

TEST(CMovieBitmapInfo, LargeSizesDoNotWrap) {
    EXPECT_EQ(PackedFrameSize(65536, 32768), 40ull + 65536ull * 3ull * 32768ull); // past 4 GiB
    // An image size that does not fit the 32-bit field is left 0 (readers compute it then).
    EXPECT_EQ(CMovieBitmapInfo::Packed24(65536, 32768).biSizeImage, 0u);
    EXPECT_EQ(PackedFrameImageSize(-5, 7), 0u);
    EXPECT_EQ(PackedFrameSize(0, 7), 40u);
}
