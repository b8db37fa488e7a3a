// An instrument in slot 0 whose board port is open on a simulated board of
// the test's board type, with short time-outs so that silent or cut
// answers cost little real time.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "calibration/system_info.h"
#include "errors/err_codes.h"
#include "seriallink/sio.h"
#include "seriallink/uz_commands.h"
#include "seriallink/uz_link.h"
#include "seriallink/uz_timing.h"
#include "sim/board/board_simulator.h"
#include "util/dev_table.h"

namespace board_test {

// Port time-outs: 50 ms between bytes, 300 ms for a whole read.
inline constexpr sio_timeouts_t k_quick{50, 0, 300, 0, 1000};
inline constexpr uint32_t k_first_byte_ms = 250;

class BoardFixture {
public:
    explicit BoardFixture(int32_t board) : sim(board) {}

    void open() {
        ASSERT_EQ(dev_init_cntrl(false), NO_ERROR);
        si = &gl_sys_info[0];
        *si = SystemInfo{};
        si->instrBdType = sim.board();
        si->instrComm.set(sim.device_path());
        ASSERT_EQ(ur_initUZ(si), NO_ERROR);
        ASSERT_EQ(sio_set_timeouts(si->link.boardPort, &k_quick), NO_ERROR);
        ur_set_first_byte_timeout_ms(k_first_byte_ms);
    }

    void close() {
        ur_set_first_byte_timeout_ms(0);
        if (si != nullptr && si->link.boardPort != SIO_INVALID_HANDLE && si->link.boardPort != 0) {
            EXPECT_EQ(ur_closeUZ(&si->link.boardPort), NO_ERROR);
        }
        if (si != nullptr) *si = SystemInfo{};
    }

    // The command named `base` on the board ("RAMP_LOAD").
    const uz_cmd_def_t& cmd(std::string_view base) const {
        const uz_cmd_def_t* def = uz_find_command(sim.board(), base);
        EXPECT_NE(def, nullptr) << base;
        static const uz_cmd_def_t none{};
        return def != nullptr ? *def : none;
    }

    // Requests the board received with `code`.
    int32_t count_of(uint8_t code) {
        int32_t n = 0;
        for (const auto& r : sim.requests()) n += r.code == code ? 1 : 0;
        return n;
    }

    kelm::sim::BoardSimulator sim;
    SystemInfo* si = nullptr;
};

// Every serial board type, for parameterised tests.
inline constexpr int32_t k_boards[] = {1, 3, 6, 7};

class PerBoard : public ::testing::TestWithParam<int32_t>, public BoardFixture {
public:
    PerBoard() : BoardFixture(GetParam()) {}
    void SetUp() override { open(); }
    void TearDown() override { close(); }
};

inline std::string board_name(const ::testing::TestParamInfo<int32_t>& info) {
    return "Board" + std::to_string(info.param);
}

}  // namespace board_test
