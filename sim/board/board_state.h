// What a simulated instrument board keeps: ramp slots and the upload in
// progress, named values (EEPROM identity, supply readings, error bytes,
// software version, anything a *_SET command stores), I/O registers, and
// accessories that take a few polls to reach a new position.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kelm::sim {

struct BoardRampSlot {
    bool loaded = false;
    uint8_t rampID = 0xFF;
    uint8_t polar = 0;
    uint16_t nPoints = 0;
    uint16_t offset = 0;
    uint16_t trigStartAddr = 0;
    uint16_t trigEndAddr = 0;
    uint16_t updateRate = 0;
    std::vector<uint16_t> points;
};

// A part that moves on command and reports its position: a move sets the
// target, and each poll after it counts down until the part gets there.
struct BoardAccessory {
    uint8_t position = 0;
    uint8_t target = 0;
    uint32_t pollsLeft = 0;
    uint32_t moves = 0;
};

struct BoardState {
    int32_t board = 0;

    std::vector<BoardRampSlot> slots;        // 12 on boards 1 and 7, 4 on 3 and 6
    std::optional<uint8_t> uploadSlot;       // RAMP_LOAD seen, RAMP_COMPLETE not yet
    BoardRampSlot upload;
    int32_t runningSlot = -1;                // slot of the last RAMP_START
    uint32_t rampStarts = 0;
    uint32_t rampBusyPolls = 0;              // RAMP_IDLE answers busy this often after a start
    uint32_t busyPollsLeft = 0;
    bool rampAborted = false;

    // Values by command name without the board prefix and "_SET"/"_READ":
    // "EE_SERIAL", "SYSERR", "POWER_CHK", "ADC_P12", "SW_VERSION", "LLC"...
    std::map<std::string, std::vector<uint8_t>, std::less<>> values;

    std::array<uint8_t, 2048> io{};          // registers 4096 to 6143

    std::map<std::string, BoardAccessory, std::less<>> accessories;
    uint32_t settlePolls = 3;                // polls an accessory move takes

    void set_value(const std::string& name, std::vector<uint8_t> bytes) { values[name] = std::move(bytes); }
    uint8_t value_byte(const std::string& name) const {
        auto it = values.find(name);
        return it == values.end() || it->second.empty() ? 0 : it->second[0];
    }
};

}  // namespace kelm::sim
