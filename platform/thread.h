// A thread of the library. Joining may wait with a time-out: the thread
// sets an event as its body ends, and a timed join waits on that event.
#pragma once

#include <functional>
#include <memory>
#include <thread>

#include "platform/event.h"

namespace plat {

class Thread {
public:
    Thread() = default;
    // Starts a thread running `body`.
    explicit Thread(std::function<void()> body);
    // Joins a thread that was not joined yet.
    ~Thread();
    Thread(Thread&&) noexcept = default;
    Thread& operator=(Thread&& other) noexcept;
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Whether a thread was started and not joined yet.
    bool joinable() const { return thread_.joinable(); }
    // Waits for the body to end.
    void join();
    // Waits at most `timeout_ms` for the body to end and joins it then;
    // after a time-out the thread is still running and joinable. Fails when
    // there is no thread to join.
    WaitResult join_for(uint32_t timeout_ms);
    // Whether the body has ended (the thread may not be joined yet).
    bool finished() const { return done_ != nullptr && done_->is_set(); }

private:
    std::shared_ptr<Event> done_;
    std::thread thread_;
};

}  // namespace plat
