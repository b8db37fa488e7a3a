#include "util/timing.h"

#include "platform/clock.h"

namespace {

// The timers keep one lap start for the whole process.
double g_stopwatch_start = 0.0;
int64_t g_lap_start = 0;
int64_t g_read_cost = -1;  // negative until the timer is initialised

void ensure_timer() {
    if (g_read_cost < 0) u_timer_init();
}

int64_t ticks_to_us(int64_t ticks) { return u_counter_us(0, ticks); }

}  // namespace

void u_clock_parts(int64_t* seconds, int32_t* microseconds) {
    const int64_t ms = plat::clock().wall_time_ms();
    // Floor division keeps the microseconds in 0..999000 for times before
    // the epoch too.
    int64_t whole = ms / 1000;
    int64_t rest = ms % 1000;
    if (rest < 0) {
        rest += 1000;
        --whole;
    }
    if (seconds != nullptr) *seconds = whole;
    if (microseconds != nullptr) *microseconds = static_cast<int32_t>(rest * 1000);
}

double u_clock() {
    int64_t seconds = 0;
    int32_t microseconds = 0;
    u_clock_parts(&seconds, &microseconds);
    return static_cast<double>(seconds) + microseconds / 1e6;
}

double u_stopwatch_start() {
    g_stopwatch_start = u_clock();
    return g_stopwatch_start;
}

double u_stopwatch_elapsed() { return u_clock() - g_stopwatch_start; }

int64_t u_counter() {
    return static_cast<int64_t>(plat::clock().monotonic_us()) * (U_COUNTER_FREQUENCY / 1'000'000);
}

int64_t u_counter_us(int64_t start, int64_t end) {
    // Exact integer arithmetic, ticks * 1e6 / frequency with halves away
    // from zero; whole seconds are split off first so that the product
    // cannot overflow however long the machine has run.
    const int64_t ticks = end - start;
    const int64_t magnitude = ticks < 0 ? -ticks : ticks;
    const int64_t whole_seconds = magnitude / U_COUNTER_FREQUENCY;
    const int64_t rest = magnitude % U_COUNTER_FREQUENCY;
    const int64_t rounded =
        whole_seconds * 1'000'000 + (rest * 1'000'000 + U_COUNTER_FREQUENCY / 2) / U_COUNTER_FREQUENCY;
    return ticks < 0 ? -rounded : rounded;
}

void u_timer_init() {
    const int64_t first = u_counter();
    const int64_t second = u_counter();
    g_read_cost = second - first;
    g_lap_start = second;
}

int64_t u_timer_lap() {
    ensure_timer();
    const int64_t now = u_counter();
    const int64_t ticks = now - g_lap_start - g_read_cost;
    g_lap_start = now;
    return ticks > 0 ? ticks_to_us(ticks) : 0;
}

int64_t u_timer_now() {
    ensure_timer();
    return ticks_to_us(u_counter() - g_read_cost);
}

void u_sleep_seconds(int32_t n) {
    if (n > 0) plat::clock().sleep_us(static_cast<uint64_t>(n) * 1'000'000);
}

void u_sleep_ms(int32_t n) {
    if (n > 0) plat::clock().sleep_ms(static_cast<uint32_t>(n));
}
