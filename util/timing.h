// Clocks, a stopwatch, an interval timer and pauses.
//
// Everything reads and sleeps on the replaceable clock (platform/clock.h),
// so a test with a virtual clock sees exact times and never waits.
#pragma once

#include <cstdint>

// Current wall-clock time as whole seconds and microseconds since the epoch;
// the microseconds are a multiple of 1000. Either pointer may be null.
void u_clock_parts(int64_t* seconds, int32_t* microseconds);

// Current wall-clock time in seconds (seconds + microseconds / 1e6).
double u_clock();

// Records u_clock() as the stopwatch's start and returns it.
double u_stopwatch_start();

// Seconds since the last u_stopwatch_start.
double u_stopwatch_elapsed();

// Ticks per second of the counter that u_counter reads.
inline constexpr int64_t U_COUNTER_FREQUENCY = 10'000'000;

// Measures the cost of one counter reading (two readings in a row) and
// starts the lap there.
void u_timer_init();

// Microseconds since the previous lap, less the cost of one reading and
// never negative; the current reading starts the next lap. Initialises the
// timer on first use.
int64_t u_timer_lap();

// The current counter reading less the cost of one reading, in
// microseconds. Initialises the timer on first use.
int64_t u_timer_now();

// The raw counter value (U_COUNTER_FREQUENCY ticks per second).
int64_t u_counter();

// Microseconds between two raw counter values, rounded to the nearest
// integer, halves away from zero.
int64_t u_counter_us(int64_t start, int64_t end);

// Pause the calling thread for `n` seconds or milliseconds. The pause is
// never cut short; a negative or zero length does not pause.
void u_sleep_seconds(int32_t n);
void u_sleep_ms(int32_t n);
