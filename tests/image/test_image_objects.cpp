// Image objects: the global block, the geometry, sample conversions and display bitmaps.
#include <gtest/gtest.h>

#include "image_test_util.h"
#include "platform/gdi/gdiqt.h"
#include "platform/win32/win32.h"

using namespace imagetest;

namespace {

TEST(MemoryObject, KeepsOneLockedZeroFilledMovableBlock) {
    MemoryObject block;
    BYTE* data = block.Alloc(1000);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(block.GetSize(), 1000u);
    EXPECT_EQ(GlobalFlags(block.GetHandle()) & GMEM_LOCKCOUNT, 1u);
    EXPECT_EQ(GlobalSize(block.GetHandle()), 1000u);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(data[i], 0) << i;
    data[999] = 7;
    // A second allocation replaces the block (the first is freed, not leaked).
    ASSERT_NE(block.Alloc(10), nullptr);
    EXPECT_EQ(block.GetData()[9], 0);
    block.Free();
    EXPECT_EQ(block.GetData(), nullptr);
    EXPECT_EQ(block.GetHandle(), nullptr);
    block.Free(); // nothing left to free
    EXPECT_EQ(block.Alloc(0), nullptr);
    EXPECT_TRUE(block.IsKindOf(RUNTIME_CLASS(CObject)));
}

TEST(IMGObject, BlockSizeFollowsTheGeometry) {
    struct Case {
        DWORD width;
        int height;
        WORD samples, bits;
        std::uint64_t bytes;
    } cases[] = {
        {7, 5, 1, 8, 35},   {7, -5, 3, 24, 105}, {7, 5, 3, 48, 210}, {7, 5, 1, 10, 70}, {7, 5, 1, 1, 35},
        {7, 5, 4, 32, 140}, {3, 2, 3, 30, 36},   {7, 5, 0, 8, 0},    {7, 5, 1, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IMGObject::BlockBytes(c.width, c.height, c.samples, c.bits), c.bytes)
            << c.width << "x" << c.height << " " << c.samples << "/" << c.bits;
        IMGObject image;
        EXPECT_EQ(image.Create(c.width, c.height, c.samples, c.bits), c.bytes ? TRUE : FALSE);
        EXPECT_EQ(image.GetSize(), c.bytes);
        EXPECT_EQ(image.GetHeight(), c.height);
    }
    // Sizes beyond one 32-bit block are refused instead of wrapping around.
    IMGObject huge;
    EXPECT_EQ(IMGObject::BlockBytes(65536, 65536, 4, 128), std::uint64_t(65536) * 65536 * 16);
    EXPECT_FALSE(huge.Create(65536, 65536, 4, 128));
    EXPECT_EQ(huge.GetData(), nullptr);
}

TEST(BmpImgObject, GreyPaletteOnlyForEightBitGrey) {
    const Bytes pixels(12, 9);
    BmpImgObject grey(4, 3, 1, 8, pixels.data());
    ASSERT_NE(grey.GetPalette(), nullptr);
    EXPECT_EQ(grey.GetPalette()[200].rgbRed, 200);
    EXPECT_EQ(grey.GetPalette()[200].rgbBlue, 200);
    EXPECT_EQ(grey.GetPalette()[200].rgbReserved, 0);
    EXPECT_EQ(grey.GetData()[11], 9);
    BmpImgObject wide(4, 3, 1, 16, nullptr);
    EXPECT_EQ(wide.GetPalette(), nullptr);
    EXPECT_EQ(wide.GetSize(), 24u);
    BmpImgObject empty;
    EXPECT_EQ(empty.GetData(), nullptr);
    EXPECT_EQ(empty.CreateBitmapOnDC(nullptr), nullptr);
    EXPECT_TRUE(grey.IsKindOf(RUNTIME_CLASS(IMGObject)));
    EXPECT_STREQ(grey.GetRuntimeClass()->m_lpszClassName, "BmpImgObject");
}

TEST(BmpImgObject, SetImageKeepsTheHighByteOfWideSamples) {
    // Two pixels of 16-bit samples: 0x1234 0xABCD 0x00FF | 0xFF00 0x8000 0x7FFF.
    const WORD samples16[6] = {0x1234, 0xABCD, 0x00FF, 0xFF00, 0x8000, 0x7FFF};
    BmpImgObject image;
    ASSERT_TRUE(image.SetImage(2, 1, 3, 48, reinterpret_cast<const BYTE*>(samples16)));
    EXPECT_EQ(image.GetBitsPerPixel(), 24);
    ASSERT_EQ(image.GetSize(), 6u);
    const BYTE want16[6] = {0x12, 0xAB, 0x00, 0xFF, 0x80, 0x7F};
    EXPECT_EQ(0, std::memcmp(image.GetData(), want16, 6));
    // 10-bit samples in 16-bit words drop their two low bits.
    const WORD samples10[3] = {0x3FF, 0x200, 0x003};
    ASSERT_TRUE(image.SetImage(1, 1, 3, 30, reinterpret_cast<const BYTE*>(samples10)));
    EXPECT_EQ(image.GetData()[0], 0xFF);
    EXPECT_EQ(image.GetData()[1], 0x80);
    EXPECT_EQ(image.GetData()[2], 0x00);
    // 24-bit samples in 32-bit words.
    const DWORD samples24[3] = {0xABCDEF, 0x010203, 0xFFFFFF};
    ASSERT_TRUE(image.SetImage(1, 1, 3, 72, reinterpret_cast<const BYTE*>(samples24)));
    EXPECT_EQ(image.GetData()[0], 0xAB);
    EXPECT_EQ(image.GetData()[1], 0x01);
    EXPECT_EQ(image.GetData()[2], 0xFF);
    // Up to 24 bits the rows are copied as they are.
    const BYTE rgb[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(image.SetImage(2, -1, 3, 24, rgb));
    EXPECT_EQ(0, std::memcmp(image.GetData(), rgb, 6));
}

TEST(BmpImgObject, SetImageFlippedMakesBottomUpBgr) {
    // Top-down RGB rows: row 0 = (10,20,30) (40,50,60); row 1 = (70,80,90) (100,110,120).
    const BYTE rgb[12] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    BmpImgObject image;
    ASSERT_TRUE(image.SetImageFlipped(2, 2, 3, 24, rgb));
    const BYTE want[12] = {90, 80, 70, 120, 110, 100, 30, 20, 10, 60, 50, 40};
    EXPECT_EQ(0, std::memcmp(image.GetData(), want, 12));
    // 16-bit samples are reduced as well.
    const WORD wide[6] = {0x0100, 0x0200, 0x0300, 0x0400, 0x0500, 0x0600};
    ASSERT_TRUE(image.SetImageFlipped(1, 2, 3, 48, reinterpret_cast<const BYTE*>(wide)));
    const BYTE wantWide[6] = {6, 5, 4, 3, 2, 1};
    EXPECT_EQ(0, std::memcmp(image.GetData(), wantWide, 6));
    // Fewer than 24 bits: a plain copy.
    const BYTE grey[4] = {1, 2, 3, 4};
    ASSERT_TRUE(image.SetImageFlipped(2, 2, 1, 8, grey));
    EXPECT_EQ(0, std::memcmp(image.GetData(), grey, 4));
}

TEST(BmpImgObject, DisplayBitmapPadsRowsAndKeepsOrientation) {
    // Width 5 at 24 bits: 15 packed bytes a row, 16 in a bitmap.
    const Bytes topDown = Pattern(5, 3, 256);
    BmpImgObject image;
    ASSERT_TRUE(image.SetImageFlipped(5, 3, 3, 24, topDown.data()));
    HDC screen = GetDC(nullptr);
    const DWORD objects = GetGdiObjectCount();
    HBITMAP bitmap = image.CreateBitmapOnDC(screen);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(BitmapRgb(bitmap), topDown);
    DeleteObject(bitmap);

    // A negative height holds the rows top-down; the block holds |height| rows.
    BmpImgObject rgbTop(5, -3, 3, 24, nullptr);
    EXPECT_EQ(rgbTop.GetSize(), 45u);
    for (int i = 0; i < 45; i += 3) { // the block holds BGR
        rgbTop.GetData()[i] = topDown[i + 2];
        rgbTop.GetData()[i + 1] = topDown[i + 1];
        rgbTop.GetData()[i + 2] = topDown[i];
    }
    bitmap = rgbTop.CreateBitmap(nullptr);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(BitmapRgb(bitmap), topDown);
    DeleteObject(bitmap);

    // 8-bit grey through the grey palette, width 3 (padded to 4).
    const BYTE grey[6] = {0, 100, 255, 1, 2, 3};
    BmpImgObject greyImage(3, -2, 1, 8, grey);
    bitmap = greyImage.CreateBitmapOnDC(screen);
    const Bytes shown = BitmapRgb(bitmap);
    ASSERT_EQ(shown.size(), 18u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(shown[3 * i], grey[i]) << i;
    DeleteObject(bitmap);
    EXPECT_EQ(GetGdiObjectCount(), objects);
    ReleaseDC(nullptr, screen);
}

} // namespace
