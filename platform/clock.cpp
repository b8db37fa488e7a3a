#include "platform/clock.h"

#include <cerrno>
#include <chrono>
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

bool Clock::wait_until(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint64_t deadline_us,
                       const std::function<bool()>& ready) {
    while (!ready()) {
        const uint64_t now = monotonic_us();
        if (now >= deadline_us) return false;
        cv.wait_for(lock, std::chrono::microseconds(deadline_us - now));
    }
    return true;
}

bool VirtualClock::wait_until(std::condition_variable&, std::unique_lock<std::mutex>&, uint64_t deadline_us,
                              const std::function<bool()>& ready) {
    if (ready()) return true;
    // Virtual time does not pass by itself: rather than block, a wait that
    // finds nothing signalled moves the time to its deadline and times out.
    uint64_t now = now_us_.load();
    while (now < deadline_us && !now_us_.compare_exchange_weak(now, deadline_us)) {
    }
    return false;
}

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
