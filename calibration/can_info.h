// The CAN bridge record of an installation. The calibration reader creates
// it for a MacAddress line and stores the address; the CAN network fills the
// rest when it connects. The CAN subsystem owns this layout and may extend it.
#pragma once

#include <cstdint>

struct CanInfo {
    uint8_t ipAddress[4];      // first octet first; 255 in a new record
    uint8_t macAddress[6];     // first byte 0xFF: no address configured
    uint8_t firmwareMajor;
    uint8_t firmwareMinor;
    int32_t zoomCodes[7];      // −2: no code
    int32_t ledProductId;      // −1: unknown
    int32_t brushMotorProductId;
    uint8_t ringSpotKeypressMode;
    uint8_t zoomKeypressMode;
    uint8_t focusKeypressMode;
};

// Gives a zero-filled record its initial values.
void can_info_init(CanInfo& info);
