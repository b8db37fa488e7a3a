// Registration in the device control table, and its life cycle.
#include <atomic>

#include "errors/err_codes.h"
#include "errors/err_name.h"
#include "errors/msg.h"
#include "util/dev_control.h"

using kelm::dev_detail::Control;
using kelm::dev_detail::control;

namespace kelm::dev_detail {

Control& control() {
    // Never destroyed: a polling thread that was not closed keeps waiting
    // until the process ends, as it may.
    static Control& c = *new Control;
    return c;
}

}  // namespace kelm::dev_detail

namespace {

// The bit index of each valid type: 1, 2, 4, ..., 64.
constexpr int32_t k_type_count = 7;
std::atomic<dev_test_chooser> g_choosers[k_type_count]{};

int32_t type_index(int32_t dev_type) {
    for (int32_t i = 0; i < k_type_count; ++i) {
        if (dev_type == (1 << i)) return i;
    }
    return -1;
}

constexpr dev_info_t k_free_entry{DEV_INVALID_HANDLE, -1, 0, 0, nullptr, nullptr};

int32_t report(const char* operation, int32_t err) {
    if (err != NO_ERROR) gl_msg_print("%s failed: err=%s\n", operation, err_name(err));
    return err;
}

// Index of the entry of `handle`, or -1. The caller holds the lock.
int32_t find_entry(const Control& c, dev_handle_t handle) {
    for (int32_t i = 0; i < DEV_MAX_DEVICES; ++i) {
        if (c.table[static_cast<size_t>(i)].state == 1 && c.table[static_cast<size_t>(i)].handle == handle) return i;
    }
    return -1;
}

int32_t choose_test(int32_t dev_type, dev_handle_t handle, void* context, dev_poll_fn* poll) {
    *poll = nullptr;
    const int32_t i = type_index(dev_type);
    if (dev_test_chooser chooser = i >= 0 ? g_choosers[i].load() : nullptr) {
        return chooser(dev_type, handle, context, poll);
    }
    if (dev_type == DEV_TYPE_KEYBOARD) return NO_ERROR;
    if (dev_type == DEV_TYPE_MOTION) return context == nullptr ? ERR_INVALID_PARAM : ERR_MC_NOT_AVAIL;
    gl_msg_print("dev_add_device: no test installed for dev_type=%d\n", dev_type);
    return ERR_DEV_CNTRL;
}

plat::EventHandle make_event(const char* name) {
    return plat::create_named_event(name, plat::Event::Reset::manual, false);
}

int32_t init_cntrl(bool reinit) {
    Control& c = control();
    if (c.initialised && !reinit) return NO_ERROR;
    {
        std::lock_guard lock(c.lock);
        c.table.fill(k_free_entry);
        c.count = 0;
        c.found_index = -1;
        c.found_type = 0;
    }
    // These names live in this process's registry only: two programs'
    // polling threads never wake or reset each other.
    if (!c.start) c.start = make_event("StartEvent");
    if (!c.stop) c.stop = make_event("StopEvent");
    if (!c.done1) c.done1 = make_event("DoneEvent1");
    if (!c.done2) c.done2 = make_event("DoneEvent2");
    if (!c.start || !c.stop || !c.done1 || !c.done2) return ERR_DEV_CNTRL;
    if (!c.thread.joinable()) {
        c.quit = false;
        c.thread = plat::Thread(kelm::dev_detail::poll_loop);
    }
    c.initialised = true;
    return NO_ERROR;
}

}  // namespace

void dev_install_test(int32_t dev_type, dev_test_chooser chooser) {
    const int32_t i = type_index(dev_type);
    if (i >= 0) g_choosers[i].store(chooser);
}

bool dev_type_valid(int32_t dev_type) {
    if (type_index(dev_type) >= 0) return true;
    gl_msg_print("%s: dev_type=%d is invalid\n", "dev_type_valid", dev_type);
    return false;
}

int32_t dev_init_cntrl(bool reinit) {
    const int32_t err = init_cntrl(reinit);
    if (err != NO_ERROR) gl_msg_print("%s failed: %s\n", "dev_init_cntrl", err_name(err));
    return err;
}

int32_t dev_close_cntrl() {
    Control& c = control();
    c.closing = true;
    {
        // Waits for a running dev_data_read, which gives up at its next
        // restart once it sees `closing`.
        std::lock_guard reader(c.read_lock);
        c.initialised = false;
        if (c.thread.joinable()) {
            c.quit = true;
            c.start->set();
            c.stop->set();
            c.thread.join();
        }
        c.start.reset();
        c.stop.reset();
        c.done1.reset();
        c.done2.reset();
    }
    c.closing = false;
    return NO_ERROR;
}

int32_t dev_add_device(int32_t dev_type, dev_handle_t handle, void* context) {
    Control& c = control();
    if (!c.initialised || !dev_type_valid(dev_type)) return report("dev_add_device", ERR_DEV_CNTRL);
    if (handle == DEV_INVALID_HANDLE) return report("dev_add_device", ERR_INVALID_PARAM);
    std::lock_guard lock(c.lock);
    int32_t slot = -1;
    for (int32_t i = 0; i < DEV_MAX_DEVICES && slot < 0; ++i) {
        if (c.table[static_cast<size_t>(i)].state != 1) slot = i;
    }
    if (slot < 0) {
        gl_msg_print("gl_DevInfo table is full");
        return report("dev_add_device", ERR_DEV_CNTRL);
    }
    dev_poll_fn poll = nullptr;
    if (const int32_t err = choose_test(dev_type, handle, context, &poll); err != NO_ERROR) {
        return report("dev_add_device", err);
    }
    c.table[static_cast<size_t>(slot)] = dev_info_t{handle, 1, dev_type, 1, poll, context};
    ++c.count;
    return NO_ERROR;
}

int32_t dev_remove_device(dev_handle_t handle) {
    Control& c = control();
    if (!c.initialised) return report("dev_remove_device", ERR_DEV_CNTRL);
    if (handle == DEV_INVALID_HANDLE) return report("dev_remove_device", ERR_INVALID_PARAM);
    std::lock_guard lock(c.lock);
    const int32_t i = c.count > 0 ? find_entry(c, handle) : -1;
    if (i < 0) return report("dev_remove_device", ERR_PARAM_OUT_OF_RANGE);
    c.table[static_cast<size_t>(i)] = k_free_entry;
    --c.count;
    if (c.found_index == i) {
        c.found_index = -1;
        c.found_type = 0;
    }
    return NO_ERROR;
}

bool dev_is_registered(dev_handle_t handle) {
    Control& c = control();
    if (!c.initialised || handle == DEV_INVALID_HANDLE) return false;
    std::lock_guard lock(c.lock);
    return find_entry(c, handle) >= 0;
}

int32_t dev_set_event_state(dev_handle_t handle, int32_t on) {
    Control& c = control();
    if (!c.initialised) return report("dev_set_event_state", ERR_DEV_CNTRL);
    if (handle == DEV_INVALID_HANDLE || (on != 0 && on != 1)) return report("dev_set_event_state", ERR_INVALID_PARAM);
    std::lock_guard lock(c.lock);
    const int32_t i = find_entry(c, handle);
    if (i < 0) return report("dev_set_event_state", ERR_PARAM_OUT_OF_RANGE);
    c.table[static_cast<size_t>(i)].events_on = on;
    return NO_ERROR;
}
