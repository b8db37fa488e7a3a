// Configuration of an open port: sio_init and the single setters. Each one
// reads the port's configuration, changes its part and writes it back.
#include <string>

#include "errors/err_codes.h"
#include "errors/msg.h"
#include "seriallink/sio.h"
#include "seriallink/sio_port.h"
#include "seriallink/sio_settings.h"

using kelm::sio_detail::find_port;
using kelm::sio_detail::Port;

namespace {

constexpr uint8_t k_xon = 17;
constexpr uint8_t k_xoff = 19;
constexpr uint16_t k_xon_limit = 100;
constexpr uint16_t k_xoff_limit = 3996;

plat::StopBits stop_bits_of(float stop) {
    if (stop == 1.5f) return plat::StopBits::one_and_half;
    return stop == 2.0f ? plat::StopBits::two : plat::StopBits::one;
}

void set_xonxoff(plat::SerialConfig& c, bool on) {
    c.xon_xoff_out = on;
    c.xon_xoff_in = on;
    c.xon_char = k_xon;
    c.xoff_char = k_xoff;
    c.xon_limit = k_xon_limit;
    c.xoff_limit = k_xoff_limit;
}

// Reads the configuration of `handle`, lets `change` edit it and writes it
// back.
template <typename Change>
int32_t modify_config(sio_handle_t handle, Change change) {
    auto port = find_port(handle);
    if (!port) return ERR_SERIAL_NOT_OPEN;
    plat::SerialConfig config;
    if (!port->device->get_config(config)) return ERR_CANT_GET_SERIAL;
    change(config);
    return port->device->set_config(config) ? NO_ERROR : ERR_CANT_SET_SERIAL;
}

int32_t init_port(sio_handle_t handle, const char* settings, int32_t flow_control) {
    auto port = find_port(handle);
    if (!port) return ERR_SERIAL_NOT_OPEN;
    plat::SerialConfig config;
    if (!port->device->get_config(config)) return ERR_CANT_GET_SERIAL;

    sio_settings_t line = SIO_DEFAULT_SETTINGS;
    if (settings != nullptr && sio_is_open_mode(settings)) {
        gl_msg_print("Com Settings Parameter: %s is ignored.\n", settings);
    } else if (settings != nullptr) {
        if (const int32_t err = sio_parse_settings(settings, &line); err != NO_ERROR) return err;
    }
    config.baud = static_cast<uint32_t>(line.baud);
    config.data_bits = static_cast<uint8_t>(line.bits);
    config.parity = static_cast<plat::Parity>(line.parity);
    config.parity_check = line.parity_check;
    config.stop_bits = stop_bits_of(line.stop_bits);

    const bool flow = flow_control != 0;
    set_xonxoff(config, flow);
    config.dtr = plat::DtrControl::enable;
    config.cts_out_flow = !flow;
    config.abort_on_error = !flow;
    config.rts_handshake = true;
    config.binary = true;

    port->timeouts = SIO_DEFAULT_TIMEOUTS;
    if (!port->device->set_config(config)) return ERR_CANT_SET_SERIAL;
    port->device->set_dtr(true);
    return NO_ERROR;
}

}  // namespace

int32_t sio_init(sio_handle_t handle, const char* settings, int32_t flow_control) {
    const int32_t err = init_port(handle, settings, flow_control);
    if (err != NO_ERROR) gl_msg_print("Com Settings Parameter: %s is Invalid.\n", settings != nullptr ? settings : "");
    return err;
}

int32_t sio_init(sio_handle_t handle, const char* settings) { return sio_init(handle, settings, 1); }

int32_t sio_set_baud(sio_handle_t handle, int32_t baud) {
    return modify_config(handle, [&](plat::SerialConfig& c) { c.baud = static_cast<uint32_t>(baud); });
}

int32_t sio_set_parity(sio_handle_t handle, int32_t parity) {
    if (parity < 0 || parity > 2) return find_port(handle) ? ERR_CANT_SET_SERIAL : ERR_SERIAL_NOT_OPEN;
    return modify_config(handle, [&](plat::SerialConfig& c) {
        c.parity = static_cast<plat::Parity>(parity);
        c.parity_check = parity != 0;
    });
}

int32_t sio_set_bytesize(sio_handle_t handle, int32_t bits) {
    return modify_config(handle, [&](plat::SerialConfig& c) {
        // An impossible size is refused by the device.
        c.data_bits = bits >= 0 && bits <= 255 ? static_cast<uint8_t>(bits) : 0;
    });
}

int32_t sio_xonxoff_on(sio_handle_t handle) {
    return modify_config(handle, [](plat::SerialConfig& c) { set_xonxoff(c, true); });
}

int32_t sio_xonxoff_off(sio_handle_t handle) {
    return modify_config(handle, [](plat::SerialConfig& c) { set_xonxoff(c, false); });
}

int32_t sio_get_read_timeout(sio_handle_t handle, int32_t* seconds) {
    if (seconds != nullptr) *seconds = 0;
    auto port = find_port(handle);
    if (!port) return ERR_SERIAL_NOT_OPEN;
    if (seconds != nullptr) *seconds = static_cast<int32_t>(port->timeouts.read_total_constant / 1000);
    return NO_ERROR;
}

int32_t sio_set_read_timeout(sio_handle_t handle, int32_t seconds) {
    auto port = find_port(handle);
    if (!port) return ERR_SERIAL_NOT_OPEN;
    if (seconds < 0 || seconds > static_cast<int32_t>(UINT32_MAX / 1000)) return ERR_CANT_SET_SERIAL;
    port->timeouts.read_total_constant = static_cast<uint32_t>(seconds) * 1000;
    return NO_ERROR;
}

int32_t sio_get_timeouts(sio_handle_t handle, sio_timeouts_t* timeouts) {
    auto port = find_port(handle);
    if (!port) return ERR_SERIAL_NOT_OPEN;
    if (timeouts == nullptr) return ERR_INVALID_PARAM;
    *timeouts = port->timeouts;
    return NO_ERROR;
}

int32_t sio_set_timeouts(sio_handle_t handle, const sio_timeouts_t* timeouts) {
    auto port = find_port(handle);
    if (!port) return ERR_SERIAL_NOT_OPEN;
    if (timeouts == nullptr) return ERR_INVALID_PARAM;
    port->timeouts = *timeouts;
    return NO_ERROR;
}
