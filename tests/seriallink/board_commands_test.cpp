// The command helpers, the ramp commands, the gain, I/O and supply-check
// commands and the board error bytes, for every board type, against the
// board simulator on a real pseudo-terminal; and the command tables.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "board_fixture.h"
#include "seriallink/uz_board_error.h"
#include "seriallink/uz_cmd.h"
#include "seriallink/uz_packet.h"
#include "seriallink/uz_ramp_cmds.h"
#include "support/test_support.h"

namespace {

using board_test::board_name;
using board_test::k_boards;
using board_test::PerBoard;
using kelm::sim::BoardState;
using testing_support::CaptureMessages;

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

// --- command helpers ---

using BoardHelpers = PerBoard;

TEST_P(BoardHelpers, ParametersGoBigEndianWithTheirChecksumAndComeBackAsData) {
    const uz_cmd_def_t& set = cmd("EE_SERIAL_SET");
    const uz_cmd_def_t& read = cmd("EE_SERIAL_READ");
    ASSERT_EQ(uz_cmd_u32(si, set.code, 0x01020304u, set.reqLen), NO_ERROR);
    EXPECT_EQ(sim.serial().received(), bytes({6, set.code, 1, 2, 3, 4, set.code + 10}));

    uint8_t answer[6] = {};
    ASSERT_EQ(uz_query(si, read.code, answer, read.reqLen), NO_ERROR);
    EXPECT_EQ(std::string(answer, answer + 6), bytes({read.code, 1, 2, 3, 4, read.code + 10}))
        << "echoed code, the value, the checksum";

    struct Case {
        const char* set;
        const char* read;
        int width;
        uint32_t value;
    };
    for (const Case c : {Case{"EE_CAMERA_SET", "EE_CAMERA_READ", 1, 0xA5}, Case{"EE_SYSDATE_SET", "EE_SYSDATE_READ", 2, 0xBEEF},
                         Case{"EE_LIGHT_SET", "EE_LIGHT_READ", 1, 3}, Case{"EE_INSTRBD_SET", "EE_INSTRBD_READ", 1, 9}}) {
        SCOPED_TRACE(c.set);
        const uz_cmd_def_t& s = cmd(c.set);
        const uz_cmd_def_t& r = cmd(c.read);
        const int32_t err = c.width == 1 ? uz_cmd_u8(si, s.code, static_cast<uint8_t>(c.value), s.reqLen)
                                         : uz_cmd_u16(si, s.code, static_cast<uint16_t>(c.value), s.reqLen);
        ASSERT_EQ(err, NO_ERROR);
        uint8_t a[UZ_MAX_ANSWER] = {};
        ASSERT_EQ(uz_query(si, r.code, a, r.reqLen), NO_ERROR);
        const uint32_t got = c.width == 1 ? a[1] : (uint32_t{a[1]} << 8 | a[2]);
        EXPECT_EQ(got, c.value);
    }

    const uz_cmd_def_t& reset = cmd("RESET_UART");
    sim.serial().clear_received();
    EXPECT_EQ(uz_cmd(si, reset.code, reset.reqLen), NO_ERROR);
    EXPECT_EQ(sim.serial().received(), bytes({2, reset.code, reset.code}));
}

TEST_P(BoardHelpers, BadRequestsAreRefusedBeforeAnythingIsSent) {
    const uz_cmd_def_t& set = cmd("EE_CAMERA_SET");
    uint8_t answer[UZ_MAX_ANSWER] = {};
    EXPECT_EQ(uz_cmd_u8(si, set.code, 1, set.reqLen + 1), ERR_INVALID_PARAM) << "length must fit the parameter";
    EXPECT_EQ(uz_cmd_u16(si, set.code, 1, set.reqLen), ERR_INVALID_PARAM);
    EXPECT_EQ(uz_query(si, cmd("SW_VERSION").code, answer, 3), ERR_INVALID_PARAM);
    EXPECT_EQ(uz_cmd(nullptr, set.code, 2), ERR_SYS_INFO_NOT_AVAIL);
    si->instrBdType = 8;
    EXPECT_EQ(uz_cmd_u8(si, set.code, 1, set.reqLen), ERR_WRONG_INSTR_BOARD);
    si->instrBdType = sim.board();
    EXPECT_TRUE(sim.serial().received().empty());
}

TEST_P(BoardHelpers, SoftwareVersionAndSupplyReadingsAreQueries) {
    sim.with_state([](BoardState& s) {
        s.set_value("SW_VERSION", {12});
        s.set_value("ADC_P15", {0x7E});
    });
    uint8_t a[UZ_MAX_ANSWER] = {};
    ASSERT_EQ(uz_query(si, cmd("SW_VERSION").code, a, 2), NO_ERROR);
    EXPECT_EQ(a[1], 12);
    ASSERT_EQ(uz_query(si, cmd("ADC_P15_READ").code, a, 2), NO_ERROR);
    EXPECT_EQ(a[1], 0x7E);
}

TEST_P(BoardHelpers, AccessoriesTakeAFewPollsToSettle) {
    const int32_t board = GetParam();
    // The move, its parameters, the poll and its parameters; the poll
    // answers the position (`reports_position`) or whether it still moves.
    struct Move {
        const char* move;
        std::vector<uint8_t> params;
        const char* poll;
        std::vector<uint8_t> pollParams;
        bool reportsPosition;
        uint8_t target;
    };
    const Move m = board == 1   ? Move{"MOTOR_MOVE", {1, 40, 3}, "MOTOR_READ", {1}, true, 3}
                   : board == 3 ? Move{"CHANGE_ALIGNVIEW", {1}, "AV_MOVING", {}, false, 1}
                   : board == 6 ? Move{"WAND", {1}, "WAND_MODE", {}, true, 1}
                                : Move{"MOTOR_MOVE", {4}, "MOTOR_READ", {}, true, 4};
    sim.with_state([](BoardState& s) { s.settlePolls = 3; });
    const uz_cmd_def_t& move = cmd(m.move);
    const uz_cmd_def_t& poll = cmd(m.poll);
    ASSERT_EQ(uz_exchange(si, move.code, m.params, move.reqLen, nullptr), NO_ERROR);
    std::vector<uint8_t> answers;
    for (int i = 0; i < 4; ++i) {
        uint8_t a[UZ_MAX_ANSWER] = {};
        ASSERT_EQ(uz_exchange(si, poll.code, m.pollParams, poll.reqLen, a), NO_ERROR);
        answers.push_back(a[1]);
    }
    if (m.reportsPosition) {
        EXPECT_EQ(answers, (std::vector<uint8_t>{0, 0, m.target, m.target}));
    } else {
        EXPECT_EQ(answers, (std::vector<uint8_t>{1, 1, 1, 0}));
    }
}

INSTANTIATE_TEST_SUITE_P(AllBoards, BoardHelpers, ::testing::ValuesIn(k_boards), board_name);

// --- ramp commands ---

using BoardRamps = PerBoard;

rr_ramp_hdr_t ramp_header(int32_t points) {
    rr_ramp_hdr_t h{};
    h.rampID = 0x1234;  // the board keeps the low byte
    h.polar = 1;
    h.nPoints = points;
    h.offset = 100;
    h.trigStartAddr = 10;
    h.trigEndAddr = 1000;
    h.updateRate = 0x1FFF0;  // low 16 bits
    return h;
}

std::vector<uint16_t> ramp_points(std::size_t n) {
    std::vector<uint16_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<uint16_t>(i * 37 + 0x0102);
    return v;
}

TEST_P(BoardRamps, UploadInBlocksStartPollDelete) {
    const std::size_t slots = GetParam() == 1 || GetParam() == 7 ? 12 : 4;
    const auto points = ramp_points(1025);
    ASSERT_EQ(uz_ramp_load(si, 1, ramp_header(1025)), NO_ERROR);
    const auto load = sim.requests().back();
    EXPECT_EQ(load.params, (std::vector<uint8_t>{1, 0x34, 1, 0x04, 0x01, 0, 100, 0, 10, 0x03, 0xE8, 0xFF, 0xF0}));

    // 1025 points: blocks of 512, 512 and 1, each in one write.
    const uz_cmd_def_t& data = cmd("RAMP_DATA");
    for (std::size_t first : {std::size_t{0}, std::size_t{512}, std::size_t{1024}}) {
        const std::size_t n = std::min<std::size_t>(512, points.size() - first);
        sim.serial().clear_received();
        uint8_t status = 0xEE;
        ASSERT_EQ(uz_ramp_data(si, std::span(points).subspan(first, n), &status), NO_ERROR);
        EXPECT_EQ(status, 0);
        const std::string sent = sim.serial().received();
        ASSERT_EQ(sent.size(), 1 + 4 + 2 * n + 1);
        EXPECT_EQ(sent.substr(0, 5), bytes({4, data.code, static_cast<int>(n >> 8), static_cast<int>(n & 0xFF),
                                            (data.code + static_cast<int>(n >> 8) + static_cast<int>(n & 0xFF)) & 0xFF}));
        EXPECT_EQ(static_cast<uint8_t>(sent[5]), points[first] >> 8) << "big-endian points";
        const int sum = std::accumulate(sent.begin() + 5, sent.end() - 1, 0,
                                        [](int acc, char c) { return acc + static_cast<uint8_t>(c); });
        EXPECT_EQ(static_cast<uint8_t>(sent.back()), sum & 0xFF);
    }
    ASSERT_EQ(uz_ramp_complete(si), NO_ERROR);
    sim.with_state([&](BoardState& s) {
        ASSERT_TRUE(s.slots[1].loaded);
        EXPECT_EQ(s.slots[1].points, points);
        EXPECT_EQ(s.slots[1].updateRate, 0xFFF0);
        s.rampBusyPolls = 2;
    });

    uint8_t ids[UZ_RAMP_REQUEST_IDS];
    ASSERT_EQ(uz_ramp_request(si, ids), NO_ERROR);
    for (std::size_t i = 0; i < UZ_RAMP_REQUEST_IDS; ++i) EXPECT_EQ(ids[i], i == 1 ? 0x34 : 0xFF) << i;
    EXPECT_EQ(cmd("RAMP_REQUEST").respLen, slots + 2);

    ASSERT_EQ(uz_ramp_start(si, 1), NO_ERROR);
    std::vector<uint8_t> idle;
    for (int i = 0; i < 3; ++i) {
        uint8_t b = 0xEE;
        ASSERT_EQ(uz_ramp_idle(si, &b), NO_ERROR);
        idle.push_back(b);
    }
    EXPECT_EQ(idle, (std::vector<uint8_t>{0, 0, 1}));

    ASSERT_EQ(uz_ramp_delete(si, 1), NO_ERROR);
    ASSERT_EQ(uz_ramp_request(si, ids), NO_ERROR);
    EXPECT_EQ(ids[1], 0xFF);
    CaptureMessages quiet;
    EXPECT_EQ(uz_ramp_start(si, 1), ERR_UZ_RECV_FAILED) << "the board refuses an empty slot";
}

TEST_P(BoardRamps, BlockWithoutLoadGetsANonzeroStatusAndBadBlockSizesAreNotSent) {
    uint8_t status = 0;
    const auto points = ramp_points(513);
    ASSERT_EQ(uz_ramp_data(si, std::span(points).first(4), &status), NO_ERROR);
    EXPECT_NE(status, 0);
    sim.serial().clear_received();
    EXPECT_EQ(uz_ramp_data(si, {}, &status), ERR_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(uz_ramp_data(si, points, &status), ERR_PARAM_OUT_OF_RANGE);
    EXPECT_TRUE(sim.serial().received().empty());
}

TEST_P(BoardRamps, UpdateRateOnBoardsOneAndSeven) {
    const int32_t board = GetParam();
    if (board == 3 || board == 6) {
        EXPECT_EQ(uz_ramp_updaterate(si, 0, 500), ERR_WRONG_INSTR_BOARD);
        EXPECT_TRUE(sim.serial().received().empty());
        return;
    }
    EXPECT_EQ(uz_ramp_updaterate(si, 2, 500), ERR_INVALID_RAMP_INDEX) << "nothing in slot 2";
    sim.with_state([](BoardState& s) { s.slots[2].loaded = true; });
    EXPECT_EQ(uz_ramp_updaterate(si, 2, 0xFE01), NO_ERROR);
    EXPECT_EQ(sim.requests().back().params, (std::vector<uint8_t>{2, 0xFE, 0x01}));
    sim.with_state([](BoardState& s) { EXPECT_EQ(s.slots[2].updateRate, 0xFE01); });
}

TEST_P(BoardRamps, PztGainsGoToTheBoardsThatDriveThem) {
    const int32_t board = GetParam();
    const uint16_t gains[3] = {4095, 2048, 1024};
    const std::vector<uint8_t> all{0x0F, 0xFF, 0x08, 0x00, 0x04, 0x00};
    if (board == 7) {
        EXPECT_EQ(uz_pzt_set(si, gains), ERR_WRONG_INSTR_BOARD);
    } else {
        ASSERT_EQ(uz_pzt_set(si, gains), NO_ERROR);
        const auto sent = sim.requests().back();
        EXPECT_EQ(sent.params, board == 6 ? std::vector<uint8_t>(all.begin(), all.begin() + 2) : all);
    }
    sim.clear_requests();
    EXPECT_EQ(uz_pzt3_ramp(si, gains), NO_ERROR);
    const auto requests = sim.requests();
    if (board == 3) {
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].code, UZ2_PZT3_RAMP_CMD);
        EXPECT_EQ(requests[0].params, all);
    } else {
        EXPECT_TRUE(requests.empty()) << "no large-aperture drive: nothing sent";
    }
}

TEST_P(BoardRamps, WriteIoTakesOnlyRegisterAddresses) {
    EXPECT_EQ(uz_write_io(si, 4095, 1), ERR_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(uz_write_io(si, 6144, 1), ERR_PARAM_OUT_OF_RANGE);
    EXPECT_TRUE(sim.serial().received().empty());
    ASSERT_EQ(uz_write_io(si, 4096, 0x11), NO_ERROR);
    ASSERT_EQ(uz_write_io(si, 6143, 0x22), NO_ERROR);
    sim.with_state([](BoardState& s) {
        EXPECT_EQ(s.io.front(), 0x11);
        EXPECT_EQ(s.io.back(), 0x22);
    });
    const uz_cmd_def_t& read = cmd("READ_IO");
    const uint8_t address[] = {0x17, 0xFF};  // 6143
    uint8_t a[UZ_MAX_ANSWER] = {};
    ASSERT_EQ(uz_exchange(si, read.code, address, read.reqLen, a), NO_ERROR);
    EXPECT_EQ(std::string(a, a + 4), bytes({read.code, 0x17, 0xFF, 0x22}));
}

TEST_P(BoardRamps, CommandsNeedASerialBoard) {
    si->instrBdType = 5;
    const uint16_t gains[3] = {1, 2, 3};
    uint8_t ids[UZ_RAMP_REQUEST_IDS];
    EXPECT_EQ(uz_ramp_load(si, 0, ramp_header(4)), ERR_WRONG_INSTR_BOARD);
    EXPECT_EQ(uz_ramp_request(si, ids), ERR_WRONG_INSTR_BOARD);
    EXPECT_EQ(ids[0], 0xFF) << "filled first";
    EXPECT_EQ(uz_pzt3_ramp(si, gains), ERR_WRONG_INSTR_BOARD);
    EXPECT_EQ(uz_write_io(si, 4096, 0), ERR_WRONG_INSTR_BOARD);
    EXPECT_EQ(uz_power_chk(si), ERR_WRONG_INSTR_BOARD);
    si->instrBdType = sim.board();
    EXPECT_TRUE(sim.serial().received().empty());
}

INSTANTIATE_TEST_SUITE_P(AllBoards, BoardRamps, ::testing::ValuesIn(k_boards), board_name);

// --- supply check and board errors ---

struct PowerCase {
    int32_t board;
    uint8_t byte;
    int32_t result;
    const char* message;
};

class BoardPowerCheck : public ::testing::TestWithParam<PowerCase> {};

TEST_P(BoardPowerCheck, ErrorByteIsDecodedWithTheBoardsTexts) {
    const PowerCase c = GetParam();
    board_test::BoardFixture f(c.board);
    f.open();
    f.sim.with_state([&](BoardState& s) { s.set_value("POWER_CHK", {c.byte}); });
    CaptureMessages messages;
    EXPECT_EQ(uz_power_chk(f.si), c.result);
    EXPECT_EQ(messages.text(), c.message);
    f.close();
}

INSTANTIATE_TEST_SUITE_P(
    Table, BoardPowerCheck,
    ::testing::Values(PowerCase{1, 0, NO_ERROR, ""},
                      PowerCase{1, 4, ERR_INST_POWER, "Error: Over voltage +12 volt power supply\n"},
                      PowerCase{3, 1, ERR_PZT_STACK_FAULT, "Error: PZT stack fault\n"},
                      PowerCase{6, 12, ERR_HW_FAIL, "Error: LCA no done\n"},
                      PowerCase{7, 20, ERR_INVALID_PARAM, "Error:  Invalid motor position\n"},
                      PowerCase{7, 21, ERR_UNKNOWN, "Error: Unrecognized instrument board error 21\n"}));

TEST(BoardErrorByte, EachBoardHasItsOwnNumbering) {
    struct Case {
        uint8_t byte;
        int32_t board;
        int32_t code;
        const char* text;
    };
    for (const Case c : {Case{12, 6, ERR_HW_FAIL, "LCA no done"}, Case{13, 6, ERR_UNKNOWN, nullptr},
                         Case{23, 1, ERR_INVALID_PARAM, "Invalid ramp index"}, Case{24, 1, ERR_UNKNOWN, nullptr},
                         Case{1, 1, ERR_TURRET_TIMEOUT, "Motor movement has timed out"},
                         Case{1, 3, ERR_PZT_STACK_FAULT, "PZT stack fault"},
                         Case{13, 1, ERR_HW_FAIL, "LCA INIT* stuck hi"}, Case{12, 3, ERR_HW_FAIL, "LCA INIT* stuck high"},
                         Case{20, 3, ERR_HW_FAIL, "Attenuator in out position"}, Case{21, 3, ERR_UNKNOWN, nullptr},
                         Case{19, 7, ERR_INVALID_PARAM, "Invalid ramp index"},
                         Case{2, 7, ERR_INST_POWER, "Over voltage +12 volt power supply"},
                         Case{1, 5, ERR_UNKNOWN, nullptr}}) {
        SCOPED_TRACE(std::to_string(c.board) + "/" + std::to_string(c.byte));
        CaptureMessages messages;
        EXPECT_EQ(uz_board_error(c.byte, c.board, true), c.code);
        EXPECT_EQ(messages.text(), c.text != nullptr ? std::string("Error: ") + c.text + "\n"
                                                     : "Error: Unrecognized instrument board error " +
                                                           std::to_string(c.byte) + "\n");
        messages.clear();
        EXPECT_EQ(uz_board_error(c.byte, c.board, false), c.code);
        EXPECT_EQ(messages.text(), "") << "quiet without the report flag";
    }
    CaptureMessages messages;
    EXPECT_EQ(uz_board_error(0, 1, true), NO_ERROR);
    EXPECT_EQ(messages.text(), "");
}

// --- command tables ---

TEST(BoardCommandTables, TablesHoldEveryBoardsCommands) {
    EXPECT_EQ(uz_command_table(1).size(), 59u);
    EXPECT_EQ(uz_command_table(3).size(), 63u);
    EXPECT_EQ(uz_command_table(6).size(), 43u);
    EXPECT_EQ(uz_command_table(7).size(), 42u);
    EXPECT_TRUE(uz_command_table(5).empty());
    EXPECT_EQ(uz_command_table(6)[0].name, nullptr);

    struct Case {
        int32_t board;
        const char* base;
        int code;
        int request;
        int response;
    };
    for (const Case c : {Case{1, "RAMP_LOAD", 32, 15, 0}, Case{3, "RAMP_LOAD", 29, 15, 0}, Case{6, "RAMP_LOAD", 25, 15, 0},
                         Case{7, "RAMP_LOAD", 28, 15, 0}, Case{1, "RAMP_REQUEST", 9, 2, 14},
                         Case{3, "RAMP_REQUEST", 27, 2, 6}, Case{6, "PZT_SET", 1, 4, 0}, Case{3, "CORVEL_POS", 33, 2, 8},
                         Case{1, "PC_READ", 46, 2, 27}, Case{1, "ZOOM_POSITION", 55, 0, 3},
                         Case{7, "RAMP_UPDATERATE", 40, 5, 3}}) {
        const uz_cmd_def_t* def = uz_find_command(c.board, c.base);
        ASSERT_NE(def, nullptr) << c.base;
        EXPECT_EQ(def->code, c.code);
        EXPECT_EQ(def->reqLen, c.request);
        EXPECT_EQ(def->respLen, c.response);
    }
    EXPECT_EQ(uz_find_command(3, "RAMP_UPDATERATE"), nullptr);
    EXPECT_EQ(uz_find_command(7, "PZT_SET"), nullptr);
    EXPECT_EQ(UZ1_TURRETPOS_REPORT_CMD, 58);
    EXPECT_EQ(DENEB_SHUTTER_OUTPUT_CMD, 42);
}

TEST(BoardCommandTables, EventCodesPerBoard) {
    for (uint8_t code : {155, 156}) {
        EXPECT_TRUE(uz_is_interrupting_event(1, code));
        EXPECT_TRUE(uz_is_accepted_event(1, code));
    }
    EXPECT_FALSE(uz_is_accepted_event(1, 135));
    for (int32_t board : {3, 6, 7}) {
        for (uint8_t code : {135, 155, 157}) EXPECT_TRUE(uz_is_interrupting_event(board, code));
        for (uint8_t code : {129, 139}) {
            EXPECT_FALSE(uz_is_interrupting_event(board, code));
            EXPECT_TRUE(uz_is_accepted_event(board, code));
        }
        EXPECT_FALSE(uz_is_accepted_event(board, 156));
    }
}

}  // namespace
