// The global-memory blocks of the codec: the backing store and the growing output block.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/system.h"
#include "vomLib/Jpeg/JpgBackingStore.h"
#include "vomLib/Jpeg/JpgInternal.h"

using jpglib32::JpgBackingStore;

TEST(JpegBackingStore, GrowsToTheFurthestWriteAndReadsBack) {
    JpgBackingStore store;
    const BYTE head[4] = {1, 2, 3, 4};
    const BYTE tail[3] = {7, 8, 9};
    ASSERT_TRUE(store.Write(0, head, 4));
    ASSERT_TRUE(store.Write(5000, tail, 3)); // the gap reads as zeros
    ASSERT_TRUE(store.Write(1, tail, 1));    // inside: no growth
    EXPECT_EQ(store.Size(), 5003u);
    BYTE out[4] = {};
    ASSERT_TRUE(store.Read(0, out, 4));
    EXPECT_EQ(out[0] * 1000 + out[1] * 100 + out[2] * 10 + out[3], 1734);
    ASSERT_TRUE(store.Read(4000, out, 4));
    EXPECT_EQ(out[0] | out[1] | out[2] | out[3], 0);
    ASSERT_TRUE(store.Read(5000, out, 3));
    EXPECT_EQ(out[2], 9);
}

TEST(JpegBackingStore, ReadsPastTheEndAndImpossibleWritesFailCleanly) {
    JpgBackingStore store;
    const BYTE data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(store.Write(0, data, 8));
    BYTE out[8] = {};
    EXPECT_FALSE(store.Read(4, out, 5));
    EXPECT_FALSE(store.Read(static_cast<std::size_t>(-2), out, 4)); // offset + count wraps
    EXPECT_EQ(out[0], 0);
    EXPECT_FALSE(store.Write(static_cast<std::size_t>(-1), data, 4));
    EXPECT_FALSE(store.Write(std::size_t{1} << 60, data, 4));
    EXPECT_EQ(store.Size(), 8u);
    ASSERT_TRUE(store.Read(0, out, 8));
    EXPECT_EQ(out[7], 8);

    store.Close();
    EXPECT_EQ(store.Size(), 0u);
    EXPECT_FALSE(store.Read(0, out, 1));
}

TEST(JpegOutputBlock, FailedGrowthIsReportedAndKeepsTheBlock) {
    std::string seen;
    DebugOutputSink previous = SetDebugOutputSink([&](const char* text) { seen += text; });
    jpglib32::OutputBlock block;
    const JOCTET bytes[10] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    ASSERT_TRUE(jpglib32::jpg_append_output(&block, bytes, 10));
    ASSERT_TRUE(jpglib32::jpg_append_output(&block, bytes, 3));
    EXPECT_FALSE(jpglib32::jpg_append_output(&block, bytes, std::size_t{1} << 60));
    SetDebugOutputSink(previous);
    EXPECT_EQ(seen, "jpglib32 error memory allocate \n");
    ASSERT_EQ(block.size, 13u);
    EXPECT_EQ(block.handle[9], 0);
    EXPECT_EQ(block.handle[12], 7);
    jpglib32::jpg_free_output(&block);
    EXPECT_EQ(block.handle, nullptr);
}
