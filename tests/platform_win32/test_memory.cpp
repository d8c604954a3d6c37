#include <cstring>
#include <gtest/gtest.h>

#include "platform/win32/win32.h"

TEST(GlobalMemory, ZeroInitAndSize) {
    for (UINT flags : {GPTR, GHND}) {
        HGLOBAL mem = GlobalAlloc(flags, 1000);
        ASSERT_NE(mem, nullptr);
        EXPECT_EQ(GlobalSize(mem), 1000u);
        auto* bytes = static_cast<unsigned char*>(GlobalLock(mem));
        ASSERT_NE(bytes, nullptr);
        for (int i = 0; i < 1000; ++i) {
            ASSERT_EQ(bytes[i], 0) << i;
        }
        GlobalUnlock(mem);
        EXPECT_EQ(GlobalFree(mem), nullptr);
    }
}

TEST(GlobalMemory, HandleIsDataPointer) {
    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 16);
    EXPECT_EQ(GlobalLock(fixed), fixed);
    EXPECT_EQ(GlobalHandle(fixed), fixed);
    GlobalFree(fixed);
}

TEST(GlobalMemory, LockCountOfMoveableBlock) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 8);
    EXPECT_EQ(GlobalFlags(mem) & GMEM_LOCKCOUNT, 0u);
    GlobalLock(mem);
    GlobalLock(mem);
    EXPECT_EQ(GlobalFlags(mem) & GMEM_LOCKCOUNT, 2u);
    EXPECT_TRUE(GlobalUnlock(mem)); // still locked once
    SetLastError(12345);
    EXPECT_FALSE(GlobalUnlock(mem));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
    EXPECT_FALSE(GlobalUnlock(mem));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));
    GlobalFree(mem);
}

TEST(GlobalMemory, ZeroSizeMoveableBlockIsDiscarded) {
    HGLOBAL mem = GlobalAlloc(GHND, 0);
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(GlobalSize(mem), 0u);
    EXPECT_EQ(GlobalLock(mem), nullptr);
    EXPECT_NE(GlobalFlags(mem) & GMEM_DISCARDED, 0u);
    // Growing it brings it back as an ordinary block.
    mem = GlobalReAlloc(mem, 64, GMEM_MOVEABLE | GMEM_ZEROINIT);
    ASSERT_NE(mem, nullptr);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(mem));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[63], 0);
    GlobalUnlock(mem);
    GlobalFree(mem);
}

TEST(GlobalMemory, ReAllocKeepsContentsAndZeroesGrowth) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 4);
    std::memcpy(GlobalLock(mem), "abcd", 4);
    GlobalUnlock(mem);
    mem = GlobalReAlloc(mem, 1 << 20, GMEM_MOVEABLE | GMEM_ZEROINIT);
    ASSERT_NE(mem, nullptr);
    auto* bytes = static_cast<char*>(GlobalLock(mem));
    EXPECT_EQ(std::memcmp(bytes, "abcd", 4), 0);
    EXPECT_EQ(bytes[4], 0);
    EXPECT_EQ(bytes[(1 << 20) - 1], 0);
    EXPECT_EQ(GlobalSize(mem), static_cast<SIZE_T>(1 << 20));
    GlobalUnlock(mem);
    GlobalFree(mem);
}

TEST(GlobalMemory, FailedReAllocKeepsTheOldBlock) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 16);
    std::memcpy(GlobalLock(mem), "still here", 11);
    GlobalUnlock(mem);
    EXPECT_EQ(GlobalReAlloc(mem, SIZE_MAX / 2, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(GlobalSize(mem), 16u);
    EXPECT_STREQ(static_cast<char*>(GlobalLock(mem)), "still here");
    GlobalUnlock(mem);
    GlobalFree(mem);
    EXPECT_EQ(GlobalAlloc(GMEM_FIXED, SIZE_MAX - 8), nullptr);
}

TEST(GlobalMemory, ModifyChangesOnlyTheKind) {
    HGLOBAL mem = GlobalAlloc(GMEM_FIXED, 32);
    EXPECT_EQ(GlobalReAlloc(mem, 0, GMEM_MODIFY | GMEM_MOVEABLE), mem);
    EXPECT_EQ(GlobalSize(mem), 32u);
    GlobalLock(mem);
    EXPECT_EQ(GlobalFlags(mem) & GMEM_LOCKCOUNT, 1u); // now counted as moveable
    GlobalFree(mem);
}

TEST(LocalMemory, AllocAndFree) {
    HLOCAL mem = LocalAlloc(LPTR, 10);
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(static_cast<char*>(mem)[9], 0);
    EXPECT_EQ(LocalFree(mem), nullptr);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}
