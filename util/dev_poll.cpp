// The polling thread of the device control table and dev_data_read, which
// hand over through four events: start, stop, done (a device found or a
// single pass ended) and acknowledged (the thread is idle again).
#include "errors/err_codes.h"
#include "errors/err_name.h"
#include "errors/msg.h"
#include "util/dev_control.h"

using kelm::dev_detail::Control;
using kelm::dev_detail::control;

namespace {

constexpr uint32_t k_sweep_pause_ms = 50;
constexpr uint32_t k_done_wait_ms = 100;

// Runs the tests until one reports data, a single pass ends, a sweep finds
// nothing to test, or the stop event comes.
void sweep(Control& c) {
    {
        std::lock_guard lock(c.lock);
        c.found_index = -1;
        c.found_type = 0;
    }
    int32_t tests = 0;
    for (int32_t i = 0;;) {
        dev_info_t entry{};
        int32_t mask = 0;
        bool single_pass = false;
        {
            std::lock_guard lock(c.lock);
            entry = c.table[static_cast<size_t>(i)];
            mask = c.active_mask;
            single_pass = c.single_pass;
        }
        if (entry.state == 1 && entry.events_on == 1 && (entry.dev_type & mask) != 0 && entry.poll != nullptr) {
            ++tests;
            // The test runs outside the lock: it may take its own locks.
            if (entry.poll(entry.handle, entry.context) != 0) {
                std::lock_guard lock(c.lock);
                c.found_index = i;
                c.found_type = entry.dev_type;
                c.done1->set();
                return;
            }
        }
        uint32_t pause = 0;
        if (++i == DEV_MAX_DEVICES) {
            if (single_pass) {
                c.done1->set();
                return;
            }
            if (tests == 0) return;
            i = 0;
            tests = 0;
            pause = k_sweep_pause_ms;
        }
        if (c.stop->wait(pause) == plat::WaitResult::signalled) return;
    }
}

void report_bad_call() { gl_msg_print("%s: %s\n", "dev_data_read", err_name(ERR_DEV_CNTRL)); }

}  // namespace

namespace kelm::dev_detail {

void poll_loop() {
    Control& c = control();
    for (;;) {
        c.start->wait(plat::WAIT_FOREVER);
        if (c.quit) return;
        sweep(c);
        c.stop->wait(plat::WAIT_FOREVER);
        if (c.quit) return;
        c.start->reset();
        c.done2->set();
    }
}

}  // namespace kelm::dev_detail

int32_t dev_data_read(int32_t mask, dev_info_t* found, bool wait) {
    Control& c = control();
    if (!c.initialised) {
        report_bad_call();
        return 0;
    }
    if (mask != DEV_TYPE_ALL && !dev_type_valid(mask)) {
        report_bad_call();
        return 0;
    }
    std::lock_guard reader(c.read_lock);
    for (;;) {
        if (c.closing || !c.initialised) return DEV_NOTHING_FOUND;
        {
            std::lock_guard lock(c.lock);
            c.found_index = -1;
            c.found_type = 0;
            c.active_mask = mask;
            c.single_pass = !wait;
        }
        c.done1->reset();
        c.done2->reset();
        c.stop->reset();
        c.start->set();
        const plat::WaitResult done = c.done1->wait(k_done_wait_ms);
        c.stop->set();
        // The thread is idle again before the caller goes on.
        c.done2->wait(plat::WAIT_FOREVER);
        {
            std::lock_guard lock(c.lock);
            if (c.found_type != 0 && c.found_index >= 0) {
                if (found != nullptr) *found = c.table[static_cast<size_t>(c.found_index)];
                return c.found_type;
            }
        }
        if (done == plat::WaitResult::failed || !wait) return DEV_NOTHING_FOUND;
    }
}
