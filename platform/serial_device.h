// Serial devices (termios). The device keeps its whole port configuration,
// including the parts termios cannot express (1.5 stop bits, flow-control
// thresholds, DTR mode), so that reading the configuration back gives what
// was set. The descriptor is non-blocking: callers wait with wait_readable
// and wait_writable and keep their own time-outs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/sync.h"

namespace plat {

enum class Parity : uint8_t { none = 0, odd = 1, even = 2 };
enum class StopBits : uint8_t { one, one_and_half, two };
enum class DtrControl : uint8_t { disable, enable, handshake };

struct SerialConfig {
    uint32_t baud = 9600;
    uint8_t data_bits = 8;
    Parity parity = Parity::none;
    bool parity_check = false;
    StopBits stop_bits = StopBits::one;
    bool binary = true;
    bool xon_xoff_out = false;
    bool xon_xoff_in = false;
    uint8_t xon_char = 17;
    uint8_t xoff_char = 19;
    uint16_t xon_limit = 100;
    uint16_t xoff_limit = 3996;
    bool cts_out_flow = false;
    bool rts_handshake = false;
    DtrControl dtr = DtrControl::enable;
    bool abort_on_error = false;
};

class SerialDevice {
public:
    // Opens an existing device for reading and writing, exclusively: a lock
    // on the open device that every other opener, root included, is refused.
    // Null on failure, with the system error number in `error`.
    static std::unique_ptr<SerialDevice> open(const std::string& path, int* error);
    // Closes the device if close() was not called.
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Whether the device is a terminal line that can be configured.
    bool is_line() const;
    // Records the wanted queue sizes; the driver's own buffers are fixed, so
    // this only checks that the device is a line.
    bool set_queue_sizes(uint32_t in_bytes, uint32_t out_bytes);
    // Watches for received characters (or stops); a line only.
    bool watch_received(bool on);

    bool get_config(SerialConfig& config) const;
    bool set_config(const SerialConfig& config);
    bool set_dtr(bool raised);

    // Reads what is there, at most `max` bytes: the count read, 0 when
    // nothing waits, -1 on failure.
    long read_some(void* buffer, std::size_t max);
    // Writes what the driver accepts now: the count written, -1 on failure.
    long write_some(const void* bytes, std::size_t count);
    // Waits up to `timeout_ms` of real time: the peer runs in real time.
    WaitResult wait_readable(uint32_t timeout_ms);
    WaitResult wait_writable(uint32_t timeout_ms);

    // Bytes in the input and output queues.
    bool queue_counts(uint32_t& in_bytes, uint32_t& out_bytes);
    // Line errors (overrun, parity, framing, break) since the last call.
    // The termios line discipline reports none of these separately, so the
    // answer is always "none" on a working device.
    bool take_line_errors(uint32_t& errors);
    // Waits until the output queue is empty, at most `timeout_ms` of real
    // time (WAIT_FOREVER: no limit).
    WaitResult wait_output_drained(uint32_t timeout_ms);
    // Discards the input and output queues.
    bool discard(bool input, bool output);

    // Closes the device; false (and still open) when the system refuses.
    bool close();
    bool is_open() const { return fd_ >= 0; }

private:
    explicit SerialDevice(int fd) : fd_(fd) {}
    int fd_;
    SerialConfig config_;
};

// Real milliseconds since an arbitrary origin: serial time-outs follow the
// device, which runs in real time even when a test installs a virtual clock.
uint64_t serial_time_ms();

// The device path of a serial port name. A name starting with "/" is a
// path. "COMn" (any case, also as "\\.\COMn") is looked up in the alias
// table, then in the environment variable KELM_SERIAL_COMn, and is
// "/dev/ttyS<n-1>" otherwise. Any other name is looked up in the alias
// table and is "/dev/<name>" otherwise.
std::string serial_device_path(std::string_view port_name);

// Maps a port name to a device path for this process (simulators and tests
// point "COM1" at a pseudo-terminal); an empty path removes the alias.
void set_serial_port_alias(std::string_view port_name, std::string_view device_path);

}  // namespace plat
