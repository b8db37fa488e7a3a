// A lock owned by the thread that takes it. The owner may take it again;
// it is free once released as often as taken. Taking it waits with a
// time-out on the replaceable clock.
#pragma once

#include <cstdint>
#include <thread>

#include "platform/sync.h"

namespace plat {

class Mutex {
public:
    explicit Mutex(bool initially_owned = false);
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    // Takes the lock, waiting at most `timeout_ms` (WAIT_FOREVER: no limit).
    WaitResult lock(uint32_t timeout_ms);
    // Releases one hold; false when the calling thread does not own it.
    bool unlock();

private:
    std::thread::id owner_;  // guarded by the process-wide synchronisation lock
    uint32_t depth_ = 0;
};

}  // namespace plat
