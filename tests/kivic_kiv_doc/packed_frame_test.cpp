// Packed frames of the raw camera server in the display's row form.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "KivIc/Documents/PackedFrame.h"
#include "platform/win32/bitmap.h"

namespace {

std::vector<BYTE> Packed(LONG width, LONG height, WORD bits = 24) {
    std::vector<BYTE> block(sizeof(BITMAPINFOHEADER) + 3 * static_cast<size_t>(width * height));
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    std::memcpy(block.data(), &h, sizeof h);
    for (size_t i = sizeof h; i < block.size(); ++i)
        block[i] = static_cast<BYTE>(i * 7);
    return block;
}

TEST(PackedFrameTest, RowsOfAnOddWidthArePaddedForTheDisplay) {
    const std::vector<BYTE> packed = Packed(5, 3);
    EXPECT_EQ(PackedFrameBytes(packed.data(), packed.size()), 40u + 45u);
    std::vector<BYTE> block;
    ASSERT_TRUE(PackedFrameToFrameBlock(packed.data(), packed.size(), &block));
    ASSERT_EQ(block.size(), 40u + 3 * 16u);
    BITMAPINFOHEADER h;
    std::memcpy(&h, block.data(), sizeof h);
    EXPECT_EQ(h.biWidth, 5);
    EXPECT_EQ(h.biSizeImage, 48u);
    for (size_t row = 0; row < 3; ++row) {
        EXPECT_EQ(std::memcmp(block.data() + 40 + row * 16, packed.data() + 40 + row * 15, 15), 0) << row;
        EXPECT_EQ(block[40 + row * 16 + 15], 0) << row;
    }
}

TEST(PackedFrameTest, BlocksThatHoldNoWholePackedFrameAreRefused) {
    std::vector<BYTE> block;
    const std::vector<BYTE> packed = Packed(8, 4);
    EXPECT_EQ(PackedFrameBytes(packed.data(), packed.size() - 1), 0u);
    EXPECT_EQ(PackedFrameBytes(packed.data(), 39), 0u);
    EXPECT_EQ(PackedFrameBytes(nullptr, 1000), 0u);
    const std::vector<BYTE> grey = Packed(8, 4, 8);
    EXPECT_EQ(PackedFrameBytes(grey.data(), grey.size()), 0u);
    EXPECT_FALSE(PackedFrameToFrameBlock(grey.data(), grey.size(), &block));
    EXPECT_TRUE(block.empty());
    std::vector<BYTE> huge = Packed(1, 1);
    const LONG wide = 0x7FFFFFFF;
    std::memcpy(huge.data() + 4, &wide, sizeof wide);
    EXPECT_EQ(PackedFrameBytes(huge.data(), huge.size()), 0u);
    // A block longer than its frame is fine: the frame is its start.
    std::vector<BYTE> longer = packed;
    longer.resize(longer.size() + 100);
    EXPECT_EQ(PackedFrameBytes(longer.data(), longer.size()), packed.size());
}

} // namespace
