// Events: a flag that threads set, reset and wait for. A manual-reset event
// stays set until reset and releases every waiter; an automatic-reset event
// releases one waiter and resets itself as it does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/sync.h"

namespace plat {

class Event {
public:
    enum class Reset { manual, automatic };

    explicit Event(Reset reset = Reset::manual, bool initially_set = false) : reset_(reset), set_(initially_set) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    // Waits until the event is set or `timeout_ms` passes on the replaceable
    // clock (0 tests without waiting, WAIT_FOREVER waits without limit).
    WaitResult wait(uint32_t timeout_ms);
    // Whether the event is set, without consuming an automatic reset.
    bool is_set() const;
    Reset reset_mode() const { return reset_; }

private:
    friend struct EventAccess;
    const Reset reset_;
    bool set_;  // guarded by the process-wide synchronisation lock
};

// The result of waiting for several events.
struct WaitAnyResult {
    WaitResult result;
    std::size_t index;  // of the event that ended the wait; 0 otherwise
};

// Waits until any of `events` is set, or the time-out passes. The lowest
// index wins when several are set; only that event is consumed when it
// resets itself. An empty list or a null entry fails.
WaitAnyResult wait_any(std::span<Event* const> events, uint32_t timeout_ms);

}  // namespace plat
