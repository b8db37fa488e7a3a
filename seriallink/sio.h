// Serial ports: open a port by name, configure line settings, flow control
// and time-outs, send and receive exact byte counts, drain the input, close.
// Every call blocks until its bytes are transferred or a time-out expires.
//
// Results: configuration calls return error codes; sio_send_data,
// sio_read_data, sio_inq_count and sio_clear_buffer return 0 for success
// and 1 for failure (except sio_clear_buffer's ERR_SERIAL_NOT_OPEN).
#pragma once

#include <cstdint>

// A port handle; SIO_INVALID_HANDLE means not open.
using sio_handle_t = intptr_t;
inline constexpr sio_handle_t SIO_INVALID_HANDLE = -1;

// The port's time-outs, in milliseconds. A read ends when `count` bytes are
// in, when the gap after a received byte exceeds `read_interval`, or when
// the read total (multiplier × count + constant) has passed; a write ends
// when its total has passed. A total of 0 means no limit; an interval of 0
// means no interval limit. An interval of SIO_READ_NO_WAIT with both read
// totals 0 makes a read return at once with whatever is waiting.
struct sio_timeouts_t {
    uint32_t read_interval;
    uint32_t read_total_multiplier;
    uint32_t read_total_constant;
    uint32_t write_total_multiplier;
    uint32_t write_total_constant;
};
inline constexpr uint32_t SIO_READ_NO_WAIT = 0xFFFFFFFFu;
// Set by sio_init (and by sio_open, so a port never blocks without limit).
inline constexpr sio_timeouts_t SIO_DEFAULT_TIMEOUTS{100, 0, 2000, 0, 1000};

// Opens the port `port` (a device path, or a name such as "COM1": see
// docs/seriallink.md) exclusively. ERR_CANT_OPEN_SERIAL when it cannot be
// opened (the handle is then invalid); ERR_CANT_SET_SERIAL when it is no
// configurable line (the handle stays open).
int32_t sio_open(const char* port, sio_handle_t* handle);

// Applies the default configuration, with the line settings of `settings`
// ("baud,bits,parity,stop"; null or a file-open mode: 9600,8,0,1), XON/XOFF
// flow control when `flow_control` is 1 and CTS flow control when it is 0.
int32_t sio_init(sio_handle_t handle, const char* settings, int32_t flow_control);
// sio_init with flow control 1.
int32_t sio_init(sio_handle_t handle, const char* settings);

int32_t sio_set_baud(sio_handle_t handle, int32_t baud);
int32_t sio_set_parity(sio_handle_t handle, int32_t parity);
int32_t sio_set_bytesize(sio_handle_t handle, int32_t bits);
int32_t sio_xonxoff_on(sio_handle_t handle);
int32_t sio_xonxoff_off(sio_handle_t handle);

// Whole seconds of the read total constant (0 on error).
int32_t sio_get_read_timeout(sio_handle_t handle, int32_t* seconds);
// Sets the read total constant to `seconds` × 1000 ms, keeping the others.
int32_t sio_set_read_timeout(sio_handle_t handle, int32_t seconds);
int32_t sio_get_timeouts(sio_handle_t handle, sio_timeouts_t* timeouts);
int32_t sio_set_timeouts(sio_handle_t handle, const sio_timeouts_t* timeouts);

// Writes `count` bytes and waits until the output has drained; 1 unless
// every byte went out. `sent` (may be null) gets the count written.
int32_t sio_send_data(sio_handle_t handle, const void* bytes, int32_t count, int32_t* sent);
// Reads up to `count` bytes within the time-outs; 1 unless exactly `count`
// bytes came. `got` (may be null) gets the count read.
int32_t sio_read_data(sio_handle_t handle, void* buffer, int32_t count, int32_t* got);
// Bytes waiting in the input queue; 1 on failure (count 0).
int32_t sio_inq_count(sio_handle_t handle, int32_t* count);
// Drains the input: discards both queues and reads one byte with a read
// total of 100 ms, until a read yields nothing, so it returns once the line
// has been quiet for 100 ms; restores the time-outs.
int32_t sio_clear_buffer(sio_handle_t handle);
// Drops DTR, discards both queues, closes the port and sets `*handle` to
// SIO_INVALID_HANDLE.
int32_t sio_close(sio_handle_t* handle);

// Whether the port's status can be read, shows no line error and at least
// one byte waits: the device table's test for serial devices.
bool sio_has_input(sio_handle_t handle);
