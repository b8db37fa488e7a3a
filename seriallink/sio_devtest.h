// The device table's test for serial devices (types 2, 4, 8 and 16): data
// is pending when the port's status shows no line error and at least one
// byte waits in the input queue.
#pragma once

#include <cstdint>

#include "util/dev_table.h"

// The test itself; `handle` is the port's sio handle.
int32_t sio_device_poll(dev_handle_t handle, void* context);
// Installs the test for the serial types; sio_open does this, so every
// program that opens a port can register it. Idempotent.
void sio_install_device_test();
