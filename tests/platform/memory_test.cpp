#include "platform/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

TEST(LargeBlock, AlignedUsableAndFreedWithFree) {
    const size_t bytes = plat::kLargeBlockThreshold * 2 + 12345;
    auto* block = static_cast<unsigned char*>(plat::alloc_large_block(bytes));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % plat::kLargeBlockThreshold, 0u);
    std::memset(block, 0x5A, bytes);
    EXPECT_EQ(block[bytes - 1], 0x5A);
    block = static_cast<unsigned char*>(std::realloc(block, bytes * 2));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[bytes - 1], 0x5A);
    std::free(block);
}

TEST(LargeBlock, ImpossibleSizeIsNull) { EXPECT_EQ(plat::alloc_large_block(SIZE_MAX - 10), nullptr); }

}  // namespace
