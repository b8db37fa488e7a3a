// The shared state of the device control table (internal to util/).
#pragma once

#include <array>
#include <atomic>
#include <mutex>

#include "platform/named_objects.h"
#include "platform/thread.h"
#include "util/dev_table.h"

namespace kelm::dev_detail {

struct Control {
    // Guards the table and the hand-over fields below, so that the polling
    // thread and a caller changing the table never meet inside an entry.
    std::mutex lock;
    std::array<dev_info_t, DEV_MAX_DEVICES> table{};
    int32_t count = 0;
    int32_t active_mask = 0;
    bool single_pass = false;
    int32_t found_index = -1;
    int32_t found_type = 0;

    std::atomic<bool> initialised{false};
    // Set while dev_close_cntrl stops the thread.
    std::atomic<bool> closing{false};
    std::atomic<bool> quit{false};
    // Held by the one dev_data_read that may run at a time.
    std::mutex read_lock;

    plat::EventHandle start;
    plat::EventHandle stop;
    plat::EventHandle done1;
    plat::EventHandle done2;
    plat::Thread thread;
};

Control& control();

// The body of the polling thread.
void poll_loop();

}  // namespace kelm::dev_detail
