#include <gtest/gtest.h>

#include "platform/serial_device.h"
#include "support/test_support.h"

namespace {

TEST(SerialDevicePath, MapsPortNamesToDevices) {
    testing_support::ScopedEnv com2("KELM_SERIAL_COM2", "/tmp/pty-for-com2");
    testing_support::ScopedEnv com3("KELM_SERIAL_COM3", nullptr);
    plat::set_serial_port_alias("com4", "/tmp/alias-for-com4");
    struct Case {
        const char* name;
        const char* path;
    } cases[] = {
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"COM1", "/dev/ttyS0"},
        {"com12", "/dev/ttyS11"},
        {"\\\\.\\COM10", "/dev/ttyS9"},
        {"COM2", "/tmp/pty-for-com2"},
        {"COM3", "/dev/ttyS2"},
        {"COM4", "/tmp/alias-for-com4"},
        {"COM0", "/dev/COM0"},
        {"COM1x", "/dev/COM1x"},
        {"ttyACM0", "/dev/ttyACM0"},
    };
    for (const auto& c : cases) EXPECT_EQ(plat::serial_device_path(c.name), c.path) << c.name;
    plat::set_serial_port_alias("COM4", "");
    EXPECT_EQ(plat::serial_device_path("COM4"), "/dev/ttyS3");
}

}  // namespace
