// Frame blocks of the AVI filter server: where the pixels start behind header, colour table or
// masks, which blocks are refused, and the colours a table gives.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "KivIc/Documents/FrameBlock.h"
#include "platform/afx/afxwin.h"

namespace {

std::vector<BYTE> Block(int width, int height, WORD bits, DWORD compression, DWORD colours,
                        std::size_t extra) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biCompression = compression;
    h.biClrUsed = colours;
    std::vector<BYTE> block(sizeof h + extra);
    std::memcpy(block.data(), &h, sizeof h);
    return block;
}

} // namespace

TEST(FrameBlock, PixelsStartBehindTheColourTableOrTheMasks) {
    FrameBlockLayout layout;
    // 24 bits, odd width: rows padded to 4 bytes.
    ASSERT_TRUE(GetFrameBlockLayout(Block(5, 3, 24, BI_RGB, 0, 16 * 3).data(), 40 + 16 * 3, &layout));
    EXPECT_EQ(layout.bitsOffset, 40u);
    EXPECT_EQ(layout.bitsBytes, 48u);
    // 8 bits: a full table of 256 entries, or as many as biClrUsed names.
    ASSERT_TRUE(GetFrameBlockLayout(Block(4, 2, 8, BI_RGB, 0, 1024 + 8).data(), 40 + 1024 + 8, &layout));
    EXPECT_EQ(layout.bitsOffset, 40u + 1024u);
    ASSERT_TRUE(GetFrameBlockLayout(Block(4, 2, 8, BI_RGB, 16, 64 + 8).data(), 40 + 64 + 8, &layout));
    EXPECT_EQ(layout.bitsOffset, 40u + 64u);
    ASSERT_TRUE(GetFrameBlockLayout(Block(8, 1, 1, BI_RGB, 0, 8 + 4).data(), 40 + 8 + 4, &layout));
    EXPECT_EQ(layout.bitsOffset, 48u);
    ASSERT_TRUE(GetFrameBlockLayout(Block(2, 2, 16, BI_BITFIELDS, 0, 12 + 8).data(), 40 + 12 + 8, &layout));
    EXPECT_EQ(layout.bitsOffset, 52u);
}

TEST(FrameBlock, MalformedOrShortBlocksAreRefused) {
    FrameBlockLayout layout;
    EXPECT_FALSE(GetFrameBlockLayout(nullptr, 100, &layout));
    EXPECT_FALSE(GetFrameBlockLayout(Block(4, 2, 24, BI_RGB, 0, 0).data(), 39, &layout));
    // One byte short of the rows, of the table.
    EXPECT_FALSE(GetFrameBlockLayout(Block(4, 2, 24, BI_RGB, 0, 24).data(), 40 + 23, &layout));
    EXPECT_FALSE(GetFrameBlockLayout(Block(4, 2, 8, BI_RGB, 0, 1024 + 8).data(), 40 + 1023 + 8, &layout));
    // More colours than the bit count holds, compressed data, odd bit counts, empty or huge pictures.
    EXPECT_FALSE(GetFrameBlockLayout(Block(4, 2, 4, BI_RGB, 17, 4096).data(), 40 + 4096, &layout));
    EXPECT_FALSE(GetFrameBlockLayout(Block(4, 2, 8, BI_RLE8, 0, 4096).data(), 40 + 4096, &layout));
    EXPECT_FALSE(GetFrameBlockLayout(Block(4, 2, 12, BI_RGB, 0, 4096).data(), 40 + 4096, &layout));
    EXPECT_FALSE(GetFrameBlockLayout(Block(0, 2, 24, BI_RGB, 0, 4096).data(), 40 + 4096, &layout));
    EXPECT_FALSE(GetFrameBlockLayout(Block(4, 0, 24, BI_RGB, 0, 4096).data(), 40 + 4096, &layout));
    EXPECT_FALSE(
        GetFrameBlockLayout(Block(0x7FFFFFFF, 0x7FFFFFFF, 32, BI_RGB, 0, 4096).data(), 40 + 4096, &layout));
    std::vector<BYTE> bigHeader = Block(4, 2, 24, BI_RGB, 0, 24);
    const DWORD tooBig = 1000;
    std::memcpy(bigHeader.data(), &tooBig, sizeof tooBig);
    EXPECT_FALSE(GetFrameBlockLayout(bigHeader.data(), bigHeader.size(), &layout));
    EXPECT_EQ(CreateFrameBitmap(bigHeader.data(), bigHeader.size()), nullptr);
}

TEST(FrameBlock, AnEightBitFrameIsDrawnWithItsTableTopDownOrBottomUp) {
    AfxEnsureQtApp();
    for (const int height : {2, -2}) {
        SCOPED_TRACE(height);
        // Two colours in a table of two, 3 x 2 pixels, rows padded to 4 bytes.
        std::vector<BYTE> block = Block(3, height, 8, BI_RGB, 2, 8 + 8);
        const RGBQUAD table[2] = {{10, 20, 30, 0}, {200, 150, 100, 0}};
        std::memcpy(block.data() + 40, table, sizeof table);
        const BYTE rows[8] = {0, 1, 0, 0xEE, 1, 1, 0, 0xEE}; // first row in the block, then the second
        std::memcpy(block.data() + 48, rows, sizeof rows);
        HBITMAP bitmap = CreateFrameBitmap(block.data(), block.size());
        ASSERT_NE(bitmap, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        // The block's first row is the picture's bottom row when the height is positive.
        const int firstRow = height > 0 ? 1 : 0;
        EXPECT_EQ(GetPixel(dc, 0, firstRow), RGB(30, 20, 10));
        EXPECT_EQ(GetPixel(dc, 1, firstRow), RGB(100, 150, 200));
        EXPECT_EQ(GetPixel(dc, 0, 1 - firstRow), RGB(100, 150, 200));
        EXPECT_EQ(GetPixel(dc, 2, 1 - firstRow), RGB(30, 20, 10));
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
}
