#include "util/timing.h"

#include <gtest/gtest.h>

#include "platform/clock.h"

namespace {

class TimingOnVirtualClock : public ::testing::Test {
protected:
    plat::VirtualClock clock_{1'300'000'000};
    plat::ScopedClock use_{clock_};
};

TEST_F(TimingOnVirtualClock, WallClockInSecondsAndWholeMilliseconds) {
    clock_.advance_us(1'234'567);
    int64_t seconds = 0;
    int32_t microseconds = -1;
    u_clock_parts(&seconds, &microseconds);
    EXPECT_EQ(seconds, 1'300'000'001);
    EXPECT_EQ(microseconds, 234'000);
    EXPECT_DOUBLE_EQ(u_clock(), 1'300'000'001.234);
}

TEST_F(TimingOnVirtualClock, StopwatchMeasuresFromItsStart) {
    const double start = u_stopwatch_start();
    EXPECT_DOUBLE_EQ(start, u_clock());
    clock_.advance_us(2'500'000);
    EXPECT_DOUBLE_EQ(u_stopwatch_elapsed(), 2.5);
}

TEST_F(TimingOnVirtualClock, LapsAndNowInMicroseconds) {
    u_timer_init();
    clock_.advance_us(1500);
    EXPECT_EQ(u_timer_lap(), 1500);
    EXPECT_EQ(u_timer_lap(), 0);  // the previous lap started a new one
    clock_.advance_us(7);
    EXPECT_EQ(u_timer_lap(), 7);
    EXPECT_EQ(u_timer_now(), static_cast<int64_t>(clock_.elapsed_us()));
    EXPECT_EQ(u_counter(), static_cast<int64_t>(clock_.elapsed_us()) * (U_COUNTER_FREQUENCY / 1'000'000));
}

TEST_F(TimingOnVirtualClock, SleepsEndNeitherEarlyNorLate) {
    u_sleep_ms(250);
    EXPECT_EQ(clock_.elapsed_us(), 250'000u);
    u_sleep_seconds(3);
    EXPECT_EQ(clock_.elapsed_us(), 3'250'000u);
    u_sleep_ms(0);
    u_sleep_ms(-5);  // a negative length must not become a near-endless pause
    u_sleep_seconds(-1);
    EXPECT_EQ(clock_.elapsed_us(), 3'250'000u);
}

TEST(Timing, SystemSleepDoesNotEndEarly) {
    const int64_t start = u_counter();
    u_sleep_ms(20);
    EXPECT_GE(u_counter_us(start, u_counter()), 20'000);
}

TEST(Timing, CounterMicrosecondsRoundHalfAwayFromZero) {
    // One tick is 0.1 microsecond.
    static_assert(U_COUNTER_FREQUENCY == 10'000'000);
    struct Case {
        int64_t start, end, expected;
    };
    const Case cases[] = {
        {0, 0, 0},           {123, 123, 0},      {0, 4, 0},     {0, 5, 1},   {0, 14, 1},
        {0, 15, 2},          {0, -4, 0},         {0, -5, -1},   {0, -15, -2}, {100, 85, -2},
        {1000, 1025, 3},
        // Thirty days of ticks: no overflow on the way to microseconds.
        {0, 30LL * 86'400 * U_COUNTER_FREQUENCY + 5, 30LL * 86'400 * 1'000'000 + 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(u_counter_us(c.start, c.end), c.expected) << c.start << " -> " << c.end;
}

}  // namespace
