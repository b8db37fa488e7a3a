#include "platform/thread.h"

#include <utility>

namespace plat {

Thread::Thread(std::function<void()> body) : done_(std::make_shared<Event>(Event::Reset::manual, false)) {
    thread_ = std::thread([done = done_, body = std::move(body)] {
        body();
        done->set();
    });
}

Thread::~Thread() {
    if (thread_.joinable()) thread_.join();
}

Thread& Thread::operator=(Thread&& other) noexcept {
    if (this != &other) {
        if (thread_.joinable()) thread_.join();
        done_ = std::move(other.done_);
        thread_ = std::move(other.thread_);
    }
    return *this;
}

void Thread::join() {
    if (thread_.joinable()) thread_.join();
}

WaitResult Thread::join_for(uint32_t timeout_ms) {
    if (!thread_.joinable() || thread_.get_id() == std::this_thread::get_id()) return WaitResult::failed;
    const WaitResult r = done_->wait(timeout_ms);
    if (r == WaitResult::signalled) thread_.join();
    return r;
}

}  // namespace plat
