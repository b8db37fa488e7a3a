// Threads, events and mutexes share one process-wide lock and condition:
// every change of a synchronisation object wakes every waiter, which then
// checks its own condition. That makes waiting for several objects at once
// simple and exact; the library has few objects and few waiters.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace plat {

// How a wait ended.
enum class WaitResult { signalled, timed_out, failed };

// A time-out that never expires.
inline constexpr uint32_t WAIT_FOREVER = 0xFFFFFFFFu;

namespace sync_detail {

std::mutex& sync_mutex();
std::condition_variable& sync_condition();
// Wakes every waiter; the caller holds sync_mutex().
void notify_all();
// Waits (holding `lock` on sync_mutex()) until `ready()` or `timeout_ms` on
// the replaceable clock; WAIT_FOREVER waits without limit. Returns ready().
bool wait_for(std::unique_lock<std::mutex>& lock, uint32_t timeout_ms, const std::function<bool()>& ready);

}  // namespace sync_detail

}  // namespace plat
