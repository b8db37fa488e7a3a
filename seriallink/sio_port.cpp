#include "seriallink/sio_port.h"

#include <map>
#include <mutex>

namespace kelm::sio_detail {

namespace {

std::mutex g_ports_lock;
sio_handle_t g_next_handle = 1;

std::map<sio_handle_t, std::shared_ptr<Port>>& ports() {
    static std::map<sio_handle_t, std::shared_ptr<Port>> table;
    return table;
}

}  // namespace

std::shared_ptr<Port> find_port(sio_handle_t handle) {
    std::lock_guard lock(g_ports_lock);
    auto it = ports().find(handle);
    return it == ports().end() ? nullptr : it->second;
}

sio_handle_t add_port(std::shared_ptr<Port> port) {
    std::lock_guard lock(g_ports_lock);
    const sio_handle_t handle = g_next_handle++;
    ports().emplace(handle, std::move(port));
    return handle;
}

void remove_port(sio_handle_t handle) {
    std::lock_guard lock(g_ports_lock);
    ports().erase(handle);
}

}  // namespace kelm::sio_detail
