#include "platform/event.h"

namespace plat {

using sync_detail::sync_mutex;

struct EventAccess {
    static bool& flag(Event& e) { return e.set_; }
    static void consume(Event& e) {
        if (e.reset_ == Event::Reset::automatic) e.set_ = false;
    }
};

void Event::set() {
    std::lock_guard lock(sync_mutex());
    set_ = true;
    sync_detail::notify_all();
}

void Event::reset() {
    std::lock_guard lock(sync_mutex());
    set_ = false;
}

bool Event::is_set() const {
    std::lock_guard lock(sync_mutex());
    return set_;
}

WaitResult Event::wait(uint32_t timeout_ms) {
    Event* self = this;
    return wait_any(std::span<Event* const>(&self, 1), timeout_ms).result;
}

WaitAnyResult wait_any(std::span<Event* const> events, uint32_t timeout_ms) {
    if (events.empty()) return {WaitResult::failed, 0};
    for (Event* e : events) {
        if (e == nullptr) return {WaitResult::failed, 0};
    }
    std::unique_lock lock(sync_mutex());
    std::size_t found = 0;
    const auto any_set = [&] {
        for (std::size_t i = 0; i < events.size(); ++i) {
            if (EventAccess::flag(*events[i])) {
                found = i;
                return true;
            }
        }
        return false;
    };
    if (!sync_detail::wait_for(lock, timeout_ms, any_set)) return {WaitResult::timed_out, 0};
    EventAccess::consume(*events[found]);
    return {WaitResult::signalled, found};
}

}  // namespace plat
