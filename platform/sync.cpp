#include "platform/sync.h"

#include "platform/clock.h"

namespace plat::sync_detail {

// Never destroyed: threads may still wait on them while the process ends.
std::mutex& sync_mutex() {
    static std::mutex& m = *new std::mutex;
    return m;
}

std::condition_variable& sync_condition() {
    static std::condition_variable& cv = *new std::condition_variable;
    return cv;
}

void notify_all() { sync_condition().notify_all(); }

bool wait_for(std::unique_lock<std::mutex>& lock, uint32_t timeout_ms, const std::function<bool()>& ready) {
    if (timeout_ms == WAIT_FOREVER) {
        sync_condition().wait(lock, ready);
        return true;
    }
    Clock& c = clock();
    const uint64_t deadline = c.monotonic_us() + uint64_t{timeout_ms} * 1000;
    return c.wait_until(sync_condition(), lock, deadline, ready);
}

}  // namespace plat::sync_detail
