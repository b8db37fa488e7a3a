// The open ports behind the handles of the serial port layer. A handle is a
// number that is never reused, so a stale handle finds nothing instead of
// another port.
#pragma once

#include <memory>

#include "platform/serial_device.h"
#include "seriallink/sio.h"

namespace kelm::sio_detail {

struct Port {
    std::unique_ptr<plat::SerialDevice> device;
    sio_timeouts_t timeouts = SIO_DEFAULT_TIMEOUTS;
};

// The port of `handle`, or null for an invalid or closed handle.
std::shared_ptr<Port> find_port(sio_handle_t handle);
sio_handle_t add_port(std::shared_ptr<Port> port);
void remove_port(sio_handle_t handle);

}  // namespace kelm::sio_detail
