#include "util/byteorder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "util/memhooks.h"

namespace {

TEST(SwapBytes, ReversesEachWidth) {
    std::array<unsigned char, 2> two{1, 2};
    u_swap_bytes(two.data(), 2);
    EXPECT_EQ(two, (std::array<unsigned char, 2>{2, 1}));
    std::array<unsigned char, 4> four{1, 2, 3, 4};
    u_swap_bytes(four.data(), 4);
    EXPECT_EQ(four, (std::array<unsigned char, 4>{4, 3, 2, 1}));
    std::array<unsigned char, 8> eight{1, 2, 3, 4, 5, 6, 7, 8};
    u_swap_bytes(eight.data(), 8);
    EXPECT_EQ(eight, (std::array<unsigned char, 8>{8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST(SwapBytes, TwiceGivesTheStartBack) {
    double value = -1234.5678;
    u_swap_bytes(&value, 8);
    EXPECT_NE(value, -1234.5678);
    u_swap_bytes(&value, 8);
    EXPECT_EQ(value, -1234.5678);
}

TEST(SwapBytesDeathTest, OtherWidthEndsTheProcess) {
    unsigned char bytes[3] = {1, 2, 3};
    EXPECT_DEATH(u_swap_bytes(bytes, 3), "u_swap_bytes: n=3\n");
}

TEST(BigEndianHelpers, AgreeWithSwapBytes) {
    unsigned char out[8];
    kelm::store_be<int16_t>(out, -2);
    EXPECT_EQ(out[0], 0xFF);
    EXPECT_EQ(out[1], 0xFE);
    kelm::store_be<uint32_t>(out, 0x01020304u);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[3], 4);
    float f = 3.25f;
    float swapped = f;
    u_swap_bytes(&swapped, 4);
    kelm::store_be(out, f);
    EXPECT_EQ(std::memcmp(out, &swapped, 4), 0);
    EXPECT_EQ(kelm::load_be<float>(out), 3.25f);
    kelm::store_be(out, 2.5);
    EXPECT_EQ(kelm::load_be<double>(out), 2.5);
}

TEST(AllocatorHooks, StartAsTheRuntimeAllocator) {
    EXPECT_EQ(gl_mem_alloc, &std::malloc);
    EXPECT_EQ(gl_mem_realloc, &std::realloc);
    EXPECT_EQ(gl_mem_calloc, &std::calloc);
    EXPECT_EQ(gl_mem_free, &std::free);
    auto* p = static_cast<int*>(gl_mem_calloc(4, sizeof(int)));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[3], 0);
    p = static_cast<int*>(gl_mem_realloc(p, 8 * sizeof(int)));
    ASSERT_NE(p, nullptr);
    gl_mem_free(p);
}

}  // namespace
