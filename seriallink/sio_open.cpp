// Opening and closing ports.
#include <memory>
#include <mutex>
#include <string>

#include "errors/err_codes.h"
#include "seriallink/sio.h"
#include "seriallink/sio_devtest.h"
#include "seriallink/sio_port.h"

using kelm::sio_detail::Port;

namespace {

constexpr uint32_t k_queue_bytes = 4096;

}  // namespace

int32_t sio_open(const char* port_name, sio_handle_t* handle) {
    if (handle == nullptr) return ERR_INVALID_PARAM;
    *handle = SIO_INVALID_HANDLE;
    if (port_name == nullptr || *port_name == '\0') return ERR_CANT_OPEN_SERIAL;
    // Whoever opens a port may register it with the device table.
    sio_install_device_test();

    int error = 0;
    auto device = plat::SerialDevice::open(plat::serial_device_path(port_name), &error);
    if (!device) return ERR_CANT_OPEN_SERIAL;
    auto port = std::make_shared<Port>();
    port->device = std::move(device);
    const bool configurable = port->device->watch_received(true) &&
                              port->device->set_queue_sizes(k_queue_bytes, k_queue_bytes);
    *handle = kelm::sio_detail::add_port(std::move(port));
    return configurable ? NO_ERROR : ERR_CANT_SET_SERIAL;
}

int32_t sio_close(sio_handle_t* handle) {
    if (handle == nullptr) return ERR_SERIAL_NOT_OPEN;
    auto port = kelm::sio_detail::find_port(*handle);
    if (!port) return ERR_SERIAL_NOT_OPEN;
    plat::SerialDevice& dev = *port->device;
    dev.watch_received(false);
    dev.set_dtr(false);
    dev.discard(true, true);
    if (!dev.close()) return ERR_CANT_CLOSE_SERIAL;
    kelm::sio_detail::remove_port(*handle);
    *handle = SIO_INVALID_HANDLE;
    return NO_ERROR;
}
