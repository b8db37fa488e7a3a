// The replaceable clock. Every pause and every reading of the time in the
// library goes through clock(), so tests can install a VirtualClock and run
// a 20-second settle loop or a 10-second time-out in no real time.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>

namespace plat {

class Clock {
public:
    virtual ~Clock() = default;
    // Pauses the calling thread.
    virtual void sleep_us(uint64_t microseconds) = 0;
    // Monotonic time since an arbitrary origin.
    virtual uint64_t monotonic_us() = 0;
    // Wall-clock time, seconds since the epoch.
    virtual std::time_t wall_time() = 0;
    // Wall-clock time in milliseconds since the epoch; clocks without a
    // finer wall time give whole seconds.
    virtual int64_t wall_time_ms() { return static_cast<int64_t>(wall_time()) * 1000; }

    // Waits on `cv` (with `lock` held) until `ready()` holds or this
    // clock's monotonic time reaches `deadline_us`; returns ready(). Timed
    // waits of events, mutexes and threads go through here, so that a
    // virtual clock decides how long they take. This version waits in real
    // time, which suits every clock that follows the system's.
    virtual bool wait_until(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint64_t deadline_us,
                            const std::function<bool()>& ready);

    void sleep_ms(uint32_t milliseconds) { sleep_us(uint64_t{milliseconds} * 1000); }
    uint64_t monotonic_ms() { return monotonic_us() / 1000; }
};

// The clock of the operating system.
class SystemClock final : public Clock {
public:
    void sleep_us(uint64_t microseconds) override;
    uint64_t monotonic_us() override;
    std::time_t wall_time() override;
    int64_t wall_time_ms() override;
};

// A clock that only moves when told to or when someone sleeps on it: a
// sleep returns at once after advancing the time by its length, and a timed
// wait that finds nothing signalled advances the time to its deadline and
// reports the time-out at once.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(std::time_t wall_start = 1'300'000'000) : wall_start_(wall_start) {}
    void sleep_us(uint64_t microseconds) override { advance_us(microseconds); }
    bool wait_until(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, uint64_t deadline_us,
                    const std::function<bool()>& ready) override;
    uint64_t monotonic_us() override { return now_us_.load(); }
    std::time_t wall_time() override { return wall_start_ + static_cast<std::time_t>(now_us_.load() / 1'000'000); }
    int64_t wall_time_ms() override {
        return static_cast<int64_t>(wall_start_) * 1000 + static_cast<int64_t>(now_us_.load() / 1000);
    }
    void advance_us(uint64_t microseconds) { now_us_ += microseconds; }
    // Total time slept or advanced so far.
    uint64_t elapsed_us() const { return now_us_.load(); }

private:
    std::time_t wall_start_;
    std::atomic<uint64_t> now_us_{0};
};

// The clock in use; the system clock unless a test installed another.
Clock& clock();
// Installs `c` (not owned); null restores the system clock.
void set_clock(Clock* c);

// Installs a clock for the lifetime of a scope.
class ScopedClock {
public:
    explicit ScopedClock(Clock& c) { set_clock(&c); }
    ~ScopedClock() { set_clock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

// Local broken-down time of `t`.
std::tm local_time(std::time_t t);

}  // namespace plat
