#include "platform/clock.h"

#include <gtest/gtest.h>

namespace {

TEST(Clock, VirtualClockSleepsInNoRealTime) {
    plat::VirtualClock virt;
    plat::ScopedClock use(virt);
    const uint64_t real_start = plat::SystemClock().monotonic_us();
    const uint64_t start = plat::clock().monotonic_ms();
    plat::clock().sleep_ms(20'000);
    EXPECT_EQ(plat::clock().monotonic_ms() - start, 20'000u);
    EXPECT_EQ(plat::clock().wall_time(), 1'300'000'020);
    EXPECT_LT(plat::SystemClock().monotonic_us() - real_start, 1'000'000u);
}

TEST(Clock, SystemClockIsRestored) {
    {
        plat::VirtualClock virt;
        plat::ScopedClock use(virt);
        EXPECT_EQ(&plat::clock(), &virt);
    }
    EXPECT_NE(dynamic_cast<plat::SystemClock*>(&plat::clock()), nullptr);
    const uint64_t a = plat::clock().monotonic_us();
    plat::clock().sleep_us(2000);
    EXPECT_GE(plat::clock().monotonic_us() - a, 2000u);
}

}  // namespace
