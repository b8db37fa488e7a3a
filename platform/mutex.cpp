#include "platform/mutex.h"

namespace plat {

using sync_detail::sync_mutex;

Mutex::Mutex(bool initially_owned) {
    if (initially_owned) {
        owner_ = std::this_thread::get_id();
        depth_ = 1;
    }
}

WaitResult Mutex::lock(uint32_t timeout_ms) {
    const auto me = std::this_thread::get_id();
    std::unique_lock lock(sync_mutex());
    if (!sync_detail::wait_for(lock, timeout_ms, [&] { return depth_ == 0 || owner_ == me; })) {
        return WaitResult::timed_out;
    }
    owner_ = me;
    ++depth_;
    return WaitResult::signalled;
}

bool Mutex::unlock() {
    std::lock_guard lock(sync_mutex());
    if (depth_ == 0 || owner_ != std::this_thread::get_id()) return false;
    if (--depth_ == 0) {
        owner_ = std::thread::id();
        sync_detail::notify_all();
    }
    return true;
}

}  // namespace plat
