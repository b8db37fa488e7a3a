// Transfers on an open port. The time-outs are the port's own (see
// sio_timeouts_t): the device is non-blocking and every wait is bounded by
// what is left of the read total, the write total or the byte interval.
#include <algorithm>
#include <cstddef>
#include <optional>

#include "errors/err_codes.h"
#include "seriallink/sio.h"
#include "seriallink/sio_port.h"

using kelm::sio_detail::find_port;
using kelm::sio_detail::Port;

namespace {

constexpr uint32_t k_clear_read_total_ms = 100;

// The deadline of a total time-out, none for a total of 0.
std::optional<uint64_t> total_deadline(uint64_t start, uint32_t multiplier, uint32_t constant, uint32_t count) {
    const uint64_t total = uint64_t{multiplier} * count + constant;
    if (total == 0) return std::nullopt;
    return start + total;
}

// The wait until the earlier of two deadlines (none: without limit).
uint32_t wait_until(std::optional<uint64_t> a, std::optional<uint64_t> b, uint64_t now) {
    std::optional<uint64_t> first = a;
    if (b && (!first || *b < *first)) first = b;
    if (!first) return plat::WAIT_FOREVER;
    return *first <= now ? 0 : static_cast<uint32_t>(std::min<uint64_t>(*first - now, plat::WAIT_FOREVER - 1));
}

// Reads up to `count` bytes within the port's time-outs; false on a device
// failure. `got` is the number read either way.
bool read_bytes(Port& port, unsigned char* buffer, uint32_t count, uint32_t& got) {
    const sio_timeouts_t& t = port.timeouts;
    plat::SerialDevice& dev = *port.device;
    const bool no_wait = t.read_interval == SIO_READ_NO_WAIT && t.read_total_multiplier == 0 &&
                         t.read_total_constant == 0;
    const auto total = total_deadline(plat::serial_time_ms(), t.read_total_multiplier, t.read_total_constant, count);
    std::optional<uint64_t> interval;  // runs from the last byte received
    got = 0;
    while (got < count) {
        const long n = dev.read_some(buffer + got, count - got);
        if (n < 0) return false;
        const uint64_t now = plat::serial_time_ms();
        if (n > 0) {
            got += static_cast<uint32_t>(n);
            if (t.read_interval != 0 && !no_wait) interval = now + t.read_interval;
            continue;
        }
        if (no_wait) break;
        const uint32_t wait = wait_until(total, interval, now);
        if (wait == 0) break;
        if (dev.wait_readable(wait) == plat::WaitResult::failed) return false;
    }
    return true;
}

bool write_bytes(Port& port, const unsigned char* bytes, uint32_t count, uint32_t& sent) {
    const sio_timeouts_t& t = port.timeouts;
    plat::SerialDevice& dev = *port.device;
    const auto total = total_deadline(plat::serial_time_ms(), t.write_total_multiplier, t.write_total_constant, count);
    sent = 0;
    while (sent < count) {
        const long n = dev.write_some(bytes + sent, count - sent);
        if (n < 0) return false;
        sent += static_cast<uint32_t>(n);
        if (sent == count) break;
        const uint32_t wait = wait_until(total, std::nullopt, plat::serial_time_ms());
        if (wait == 0 || dev.wait_writable(wait) == plat::WaitResult::failed) return false;
    }
    const uint32_t drain = wait_until(total, std::nullopt, plat::serial_time_ms());
    return dev.wait_output_drained(drain) == plat::WaitResult::signalled;
}

}  // namespace

int32_t sio_send_data(sio_handle_t handle, const void* bytes, int32_t count, int32_t* sent) {
    if (sent != nullptr) *sent = 0;
    auto port = find_port(handle);
    if (!port || count < 0 || (bytes == nullptr && count > 0)) return 1;
    uint32_t done = 0;
    const bool ok = write_bytes(*port, static_cast<const unsigned char*>(bytes), static_cast<uint32_t>(count), done);
    if (sent != nullptr) *sent = static_cast<int32_t>(done);
    return ok && done == static_cast<uint32_t>(count) ? 0 : 1;
}

int32_t sio_read_data(sio_handle_t handle, void* buffer, int32_t count, int32_t* got) {
    if (got != nullptr) *got = 0;
    auto port = find_port(handle);
    if (!port || count < 0 || (buffer == nullptr && count > 0)) return 1;
    uint32_t errors = 0;
    port->device->take_line_errors(errors);
    uint32_t done = 0;
    const bool ok = read_bytes(*port, static_cast<unsigned char*>(buffer), static_cast<uint32_t>(count), done);
    port->device->take_line_errors(errors);
    if (got != nullptr) *got = static_cast<int32_t>(done);
    return ok && done == static_cast<uint32_t>(count) ? 0 : 1;
}

int32_t sio_inq_count(sio_handle_t handle, int32_t* count) {
    if (count != nullptr) *count = 0;
    auto port = find_port(handle);
    uint32_t in = 0;
    uint32_t out = 0;
    if (!port || !port->device->queue_counts(in, out)) return 1;
    if (count != nullptr) *count = static_cast<int32_t>(in);
    return 0;
}

bool sio_has_input(sio_handle_t handle) {
    auto port = find_port(handle);
    uint32_t errors = 0;
    uint32_t in = 0;
    uint32_t out = 0;
    return port && port->device->take_line_errors(errors) && errors == 0 && port->device->queue_counts(in, out) &&
           in > 0;
}

int32_t sio_clear_buffer(sio_handle_t handle) {
    auto port = find_port(handle);
    if (!port) return ERR_SERIAL_NOT_OPEN;
    const sio_timeouts_t saved = port->timeouts;
    port->timeouts.read_total_multiplier = 0;
    port->timeouts.read_total_constant = k_clear_read_total_ms;
    int32_t result = 0;
    for (;;) {
        if (!port->device->discard(true, true)) {
            result = 1;
            break;
        }
        unsigned char byte = 0;
        uint32_t got = 0;
        if (!read_bytes(*port, &byte, 1, got)) {
            result = 1;
            break;
        }
        if (got == 0) break;
    }
    port->timeouts = saved;
    return result;
}
