// The device control table: up to 10 registered devices, each with a cheap
// test for pending data, and one polling thread that runs the tests while a
// caller waits in dev_data_read for the first device with data.
//
// The test of each device type is installed by the subsystem that owns the
// type (dev_install_test): the serial port layer for the serial types, the
// motion layer for the motion controller, the CAN layer for the network.
#pragma once

#include <cstdint>

using dev_handle_t = intptr_t;
inline constexpr dev_handle_t DEV_INVALID_HANDLE = -1;
inline constexpr int32_t DEV_MAX_DEVICES = 10;

// Device types are single bits.
inline constexpr int32_t DEV_TYPE_MOTION = 1;
inline constexpr int32_t DEV_TYPE_SERIAL_1 = 2;
inline constexpr int32_t DEV_TYPE_SERIAL_2 = 4;
inline constexpr int32_t DEV_TYPE_SERIAL_3 = 8;
inline constexpr int32_t DEV_TYPE_SERIAL_4 = 16;
inline constexpr int32_t DEV_TYPE_KEYBOARD = 32;
inline constexpr int32_t DEV_TYPE_CAN = 64;
// A wait for any type.
inline constexpr int32_t DEV_TYPE_ALL = 0xFFFF;
// dev_data_read's result when no device had data.
inline constexpr int32_t DEV_NOTHING_FOUND = 0x10000;

// Non-zero when the device has data waiting.
using dev_poll_fn = int32_t (*)(dev_handle_t handle, void* context);

struct dev_info_t {
    dev_handle_t handle;  // DEV_INVALID_HANDLE in a free entry
    int32_t state;        // 1 in use, -1 free
    int32_t dev_type;
    int32_t events_on;  // 1 when the device takes part in polling
    dev_poll_fn poll;   // none for the keyboard
    void* context;      // the caller's device record, passed to poll
};

// Chooses the test of a device being registered: sets `*poll` and returns
// NO_ERROR, or returns the error that refuses the registration.
using dev_test_chooser = int32_t (*)(int32_t dev_type, dev_handle_t handle, void* context, dev_poll_fn* poll);

// Installs the chooser of the test for `dev_type` (a single valid type);
// null removes it. Without a chooser, the keyboard type has no test, the
// motion controller is refused with ERR_INVALID_PARAM (no record) or
// ERR_MC_NOT_AVAIL, and the other types with ERR_DEV_CNTRL.
void dev_install_test(int32_t dev_type, dev_test_chooser chooser);

// Clears the table and starts the events and the polling thread; does
// nothing when initialised already unless `reinit`.
int32_t dev_init_cntrl(bool reinit);
// Stops and joins the polling thread, closes the events and marks the
// module uninitialised, so that a later dev_init_cntrl starts afresh.
int32_t dev_close_cntrl();

int32_t dev_add_device(int32_t dev_type, dev_handle_t handle, void* context);
int32_t dev_remove_device(dev_handle_t handle);
bool dev_is_registered(dev_handle_t handle);
int32_t dev_set_event_state(dev_handle_t handle, int32_t on);
// True for 1, 2, 4, 8, 16, 32 and 64; otherwise prints a message.
bool dev_type_valid(int32_t dev_type);

// Waits for pending data from a device whose type is in `mask` (one type or
// DEV_TYPE_ALL). Returns the type found and copies its entry to `found`, or
// DEV_NOTHING_FOUND; 0 when not initialised or `mask` is invalid. With
// `wait` false one pass is made; with `wait` true the call returns only when
// a device has data.
int32_t dev_data_read(int32_t mask, dev_info_t* found, bool wait);
