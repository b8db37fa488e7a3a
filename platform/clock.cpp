#include "platform/clock.h"

#include <cerrno>
#include <time.h>

namespace plat {

namespace {

SystemClock g_system_clock;
std::atomic<Clock*> g_clock{&g_system_clock};

}  // namespace

void SystemClock::sleep_us(uint64_t microseconds) {
    timespec ts{static_cast<time_t>(microseconds / 1'000'000), static_cast<long>((microseconds % 1'000'000) * 1000)};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

uint64_t SystemClock::monotonic_us() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1'000'000 + static_cast<uint64_t>(ts.tv_nsec) / 1000;
}

std::time_t SystemClock::wall_time() { return ::time(nullptr); }

int64_t SystemClock::wall_time_ms() {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
}

Clock& clock() { return *g_clock.load(); }

void set_clock(Clock* c) { g_clock.store(c != nullptr ? c : &g_system_clock); }

std::tm local_time(std::time_t t) {
    std::tm out{};
    ::localtime_r(&t, &out);
    return out;
}

}  // namespace plat
