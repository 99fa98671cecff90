// Global memory blocks: sizes, zeroing, lock counts, fixed blocks used
// through their handle, and handles that are not blocks.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/system/winbase.h"

namespace {

struct SizeCase {
    UINT flags;
    SIZE_T asked;
    SIZE_T given;
};

TEST(GlobalMemory, BlocksAreZeroedAndSizedWhateverTheFlags)
{
    const SizeCase cases[] = {
        {GMEM_MOVEABLE, 6, 6}, {GHND, 3, 3}, {GMEM_FIXED, 16, 16}, {GPTR, 1, 1}, {GMEM_MOVEABLE, 0, 1},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags << " bytes " << c.asked);
        HGLOBAL mem = GlobalAlloc(c.flags, c.asked);
        ASSERT_NE(mem, nullptr);
        EXPECT_EQ(GlobalSize(mem), c.given);
        auto* p = static_cast<unsigned char*>(GlobalLock(mem));
        ASSERT_NE(p, nullptr);
        for (SIZE_T i = 0; i < c.given; ++i) EXPECT_EQ(p[i], 0) << i;
        // A fixed block's handle is its data; a moveable one's is not.
        EXPECT_EQ(p == mem, (c.flags & GMEM_MOVEABLE) == 0);
        GlobalUnlock(mem);
        EXPECT_EQ(GlobalFree(mem), nullptr);
    }
}

TEST(GlobalMemory, LocksAreCountedAndDataStaysPut)
{
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_NE(mem, nullptr);
    EXPECT_EQ(GlobalFlags(mem), 0u);
    void* first = GlobalLock(mem);
    std::memcpy(first, "quelvo", 7);
    void* second = GlobalLock(mem);
    EXPECT_EQ(first, second);
    EXPECT_EQ(GlobalFlags(mem) & GMEM_LOCKCOUNT, 2u);
    EXPECT_TRUE(GlobalUnlock(mem));  // still locked once
    SetLastError(1234);
    EXPECT_FALSE(GlobalUnlock(mem));  // now unlocked, which is no failure
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_FALSE(GlobalUnlock(mem));  // was not locked
    EXPECT_EQ(GetLastError(), 158u);
    EXPECT_STREQ(static_cast<char*>(GlobalLock(mem)), "quelvo");
    GlobalUnlock(mem);
    EXPECT_EQ(GlobalFree(mem), nullptr);
}

TEST(GlobalMemory, HandlesThatAreNotBlocksAreRefused)
{
    HGLOBAL freed = GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_EQ(GlobalFree(freed), nullptr);
    int local = 0;
    for (HGLOBAL bad : {freed, static_cast<HGLOBAL>(&local)}) {
        SetLastError(0);
        EXPECT_EQ(GlobalLock(bad), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_FALSE(GlobalUnlock(bad));
        EXPECT_EQ(GlobalSize(bad), 0u);
        EXPECT_EQ(GlobalFlags(bad), GMEM_INVALID_HANDLE);
        EXPECT_EQ(GlobalFree(bad), bad);  // a second free is refused, not done twice
    }
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
    SetLastError(0);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, (SIZE_T{1} << 31) + 1), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
}

}  // namespace
