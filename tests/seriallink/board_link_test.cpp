// The instrument board link end to end: set-up and shut-down of the port,
// resends, time-outs, receive errors and board events, against the board
// simulator on a real pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "board_fixture.h"
#include "seriallink/uz_cmd.h"
#include "seriallink/uz_event.h"
#include "seriallink/uz_packet.h"
#include "support/test_support.h"

namespace {

using board_test::board_name;
using board_test::k_boards;
using board_test::PerBoard;
using kelm::sim::BoardEvent;
using testing_support::CaptureMessages;
using testing_support::TempDir;

// --- set-up and shut-down ---

using BoardSetup = PerBoard;

TEST_P(BoardSetup, InitOpensTheLineAt38400WithoutFlowControlAndRegistersIt) {
    const auto line = sim.serial().line_state();
    EXPECT_EQ(line.baud, 38400u);
    EXPECT_FALSE(line.xon_xoff) << "XON and XOFF are packet bytes on this line";
    EXPECT_TRUE(line.raw);
    EXPECT_TRUE(dev_is_registered(si->link.boardPort));
    EXPECT_EQ(ur_instrument_of(si->link.boardPort), si);
}

TEST_P(BoardSetup, CloseUnregistersClosesAndMarksThePort) {
    const sio_handle_t port = si->link.boardPort;
    ASSERT_EQ(ur_closeUZ(&si->link.boardPort), NO_ERROR);
    EXPECT_EQ(si->link.boardPort, SIO_INVALID_HANDLE);
    EXPECT_FALSE(dev_is_registered(port));
    EXPECT_EQ(ur_closeUZ(&si->link.boardPort), ERR_INVALID_PARAM) << "no open port any more";
}

TEST_P(BoardSetup, CloseStillClosesWhenUnregisteringFails) {
    ASSERT_EQ(dev_remove_device(si->link.boardPort), NO_ERROR);
    CaptureMessages messages;
    EXPECT_EQ(ur_closeUZ(&si->link.boardPort), ERR_PARAM_OUT_OF_RANGE) << "the table's error is returned";
    EXPECT_EQ(si->link.boardPort, SIO_INVALID_HANDLE);
    // Closed for real: the exclusive lock is gone, so the line opens again.
    sio_handle_t again = SIO_INVALID_HANDLE;
    ASSERT_EQ(sio_open(sim.device_path().c_str(), &again), NO_ERROR);
    EXPECT_EQ(sio_close(&again), NO_ERROR);
}

TEST_P(BoardSetup, ClearDrainsWhatTheBoardSentUnasked) {
    sim.send_event({155, 1});
    sim.send_event({155, 1});
    ASSERT_EQ(ur_clearUZ(si->link.boardPort), NO_ERROR);
    int32_t pending = -1;
    ASSERT_EQ(sio_inq_count(si->link.boardPort, &pending), 0);
    EXPECT_EQ(pending, 0);
}

INSTANTIATE_TEST_SUITE_P(AllBoards, BoardSetup, ::testing::ValuesIn(k_boards), board_name);

class BoardInitFailure : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(dev_init_cntrl(false), NO_ERROR);
        si = &gl_sys_info[1];
        *si = SystemInfo{};
        si->instrBdType = 3;
    }
    void TearDown() override { *si = SystemInfo{}; }

    // ur_initUZ's result and message for the port `name`.
    std::string init(const std::string& name) {
        si->instrComm.set(name);
        CaptureMessages messages;
        EXPECT_EQ(ur_initUZ(si), ERR_UZ_COMM);
        EXPECT_EQ(si->link.boardPort, 0) << "no port kept";
        return messages.text();
    }

    SystemInfo* si = nullptr;
};

TEST_F(BoardInitFailure, EachFailureNamesThePortAndTheError) {
    kelm::sim::BoardSimulator board(3);
    si->instrBdType = 2;
    EXPECT_EQ(init(board.device_path()),
              "ur_initUZ: error initializing " + board.device_path() + ": ERR_WRONG_INSTR_BOARD\n");
    si->instrBdType = 3;
    EXPECT_EQ(init("/nonexistent/tty"), "ur_initUZ: error initializing /nonexistent/tty: ERR_CANT_OPEN_SERIAL\n");

    // A file is no line: it opens, then is refused and closed again.
    TempDir dir;
    testing_support::write_file(dir.file("notatty"), "");
    EXPECT_EQ(init(dir.file("notatty")),
              "ur_initUZ: error initializing " + dir.file("notatty") + ": ERR_CANT_SET_SERIAL\n");
    sio_handle_t again = SIO_INVALID_HANDLE;
    EXPECT_NE(sio_open(dir.file("notatty").c_str(), &again), ERR_CANT_OPEN_SERIAL) << "the failed init closed it";
    sio_close(&again);
}

// --- resends ---

using BoardResend = PerBoard;

// An acknowledged command without parameters, present on every board.
constexpr std::string_view k_ack_cmd = "RESET_UART";
// A query present on every board.
constexpr std::string_view k_query = "EE_CAMERA_READ";

TEST_P(BoardResend, NakAndChecksumErrorsAreSentAgainUpToThreeTimes) {
    const uz_cmd_def_t& reset = cmd(k_ack_cmd);
    struct Case {
        const char* fault;
        uint32_t count;
        int32_t result;
        int32_t sends;
    };
    for (const Case c : {Case{"nak", 1, NO_ERROR, 2}, Case{"nak", 2, NO_ERROR, 3}, Case{"nak", 3, ERR_UZ_RECV_FAILED, 3},
                         Case{"checksum", 2, NO_ERROR, 3}, Case{"checksum", 3, ERR_UZ_RECV_FAILED, 3}}) {
        SCOPED_TRACE(std::string(c.fault) + " x" + std::to_string(c.count));
        sim.clear_requests();
        if (std::string_view(c.fault) == "nak") sim.nak_next(c.count);
        else sim.bad_checksum_next(c.count);
        CaptureMessages messages;
        EXPECT_EQ(uz_cmd(si, reset.code, reset.reqLen), c.result);
        EXPECT_EQ(count_of(reset.code), c.sends);
        if (c.result != NO_ERROR) {
            EXPECT_NE(messages.text().find(std::string("ur_writeUZ failed: cmd=") + reset.name + "\n"), std::string::npos)
                << messages.text();
        }
        if (std::string_view(c.fault) == "checksum") {
            EXPECT_NE(messages.text().find("ur_readUZ: checksum err recv "), std::string::npos);
        }
    }
}

TEST_P(BoardResend, OtherFailuresAreNotSentAgain) {
    const uz_cmd_def_t& query = cmd(k_query);
    uint8_t answer[UZ_MAX_ANSWER] = {};
    {
        sim.wrong_echo_next(1);
        CaptureMessages messages;
        EXPECT_EQ(uz_query(si, query.code, answer, query.reqLen), ERR_UZ_RECV_FAILED);
        EXPECT_NE(messages.text().find("ur_writeUZ: recvd invalid resp  wanted " + std::to_string(query.code) +
                                       "  got " + std::to_string(query.code + 1) + "\n"),
                  std::string::npos)
            << messages.text();
        EXPECT_EQ(count_of(query.code), 1);
    }
    {
        sim.clear_requests();
        sim.serial().set_silent(true);
        CaptureMessages messages;
        EXPECT_EQ(uz_query(si, query.code, answer, query.reqLen), ERR_UZ_RECV_TIMEOUT);
        EXPECT_EQ(count_of(query.code), 1);
        EXPECT_NE(messages.text().find("ur_readUZ: timed out on first byte, respType=2\n"), std::string::npos);
        sim.serial().set_silent(false);
    }
}

// The board checks each request: a wrong checksum, a length byte that is
// not the command's, or a code it does not take are answered with a NAK
// (so the link sends again, three times in all).
TEST_P(BoardResend, BoardRefusesMalformedRequests) {
    const uz_cmd_def_t& reset = cmd(k_ack_cmd);
    const uint8_t unknown = static_cast<uint8_t>(uz_command_table(GetParam()).size());
    struct Case {
        const char* what;
        std::vector<uint8_t> packet;
    };
    for (const Case& c : {Case{"checksum", {2, reset.code, static_cast<uint8_t>(reset.code + 1)}},
                          Case{"length", {3, reset.code, 0, reset.code}}, Case{"code", {2, unknown, unknown}}}) {
        SCOPED_TRACE(c.what);
        sim.clear_requests();
        std::vector<uint8_t> packet = c.packet;
        packet.resize(UZ_MAX_ANSWER);
        CaptureMessages messages;
        EXPECT_EQ(ur_writeUZ(si->link.boardPort, static_cast<int32_t>(c.packet.size()), packet.data(), false, true),
                  ERR_UZ_RECV_FAILED);
        const auto requests = sim.requests();
        ASSERT_EQ(requests.size(), 3u);
        for (const auto& r : requests) EXPECT_FALSE(r.valid);
    }
    EXPECT_EQ(uz_cmd(si, reset.code, reset.reqLen), NO_ERROR);
    EXPECT_TRUE(sim.requests().back().valid);
}

INSTANTIATE_TEST_SUITE_P(AllBoards, BoardResend, ::testing::ValuesIn(k_boards), board_name);

// --- time-outs and receive errors ---

using BoardReceive = PerBoard;

TEST_P(BoardReceive, SilentBoardTimesOutOnTheFirstByteAndTheTimeoutsAreRestored) {
    const uz_cmd_def_t& reset = cmd(k_ack_cmd);
    sim.serial().set_silent(true);
    CaptureMessages messages;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(uz_cmd(si, reset.code, reset.reqLen), ERR_UZ_RECV_TIMEOUT);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_GE(ms.count(), board_test::k_first_byte_ms - 20) << "waited the first-byte time-out";
    EXPECT_EQ(messages.text(), std::string("ur_readUZ: timed out on first byte, respType=1\nur_writeUZ failed: cmd=") +
                                   reset.name + "\n");
    sio_timeouts_t now{};
    ASSERT_EQ(sio_get_timeouts(si->link.boardPort, &now), NO_ERROR);
    EXPECT_EQ(now.read_total_constant, board_test::k_quick.read_total_constant);
}

TEST_P(BoardReceive, AnswerCutShortTimesOutWithinTheAnswer) {
    const uz_cmd_def_t& query = cmd(k_query);
    uint8_t answer[UZ_MAX_ANSWER] = {};
    sim.serial().cut_replies(1, 2);  // length byte and echoed code only
    CaptureMessages messages;
    EXPECT_EQ(uz_query(si, query.code, answer, query.reqLen), ERR_UZ_RECV_TIMEOUT);
    EXPECT_NE(messages.text().find("ur_readUZ: sio_read_data failed\n"), std::string::npos);
    EXPECT_EQ(count_of(query.code), 1);
}

TEST_P(BoardReceive, SlowButSteadyAnswerIsReceived) {
    const uz_cmd_def_t& query = cmd(k_query);
    uint8_t answer[UZ_MAX_ANSWER] = {};
    sim.with_state([](auto& s) { s.set_value("EE_CAMERA", {7}); });
    sim.serial().set_reply_delay_ms(100);  // later than the port's byte gap, within the first-byte wait
    sim.serial().set_byte_gap_ms(10);
    EXPECT_EQ(uz_query(si, query.code, answer, query.reqLen), NO_ERROR);
    EXPECT_EQ(answer[1], 7);
}

// A length byte of 0 or of 128 and above is no answer: it fails, is not
// sent again, and the rest of the bad packet is drained so that the next
// exchange works.
TEST_P(BoardReceive, BadLengthByteIsAReceiveErrorAndTheLineIsDrained) {
    const uz_cmd_def_t& reset = cmd(k_ack_cmd);
    for (uint8_t bad : {uint8_t{0}, uint8_t{128}, uint8_t{200}, uint8_t{255}}) {
        SCOPED_TRACE(static_cast<int>(bad));
        sim.clear_requests();
        sim.bad_length_next(1, bad);
        CaptureMessages messages;
        EXPECT_EQ(uz_cmd(si, reset.code, reset.reqLen), ERR_UZ_RECV_FAILED);
        EXPECT_EQ(count_of(reset.code), 1);
        EXPECT_EQ(uz_cmd(si, reset.code, reset.reqLen), NO_ERROR) << "the next exchange starts clean";
    }
}

TEST_P(BoardReceive, WrongButValidLengthIsCaughtBeforeTheCallerSeesIt) {
    // A length byte one too large: the board sends fewer bytes than it
    // announced, so the read runs out within the answer.
    const uz_cmd_def_t& query = cmd(k_query);
    uint8_t answer[UZ_MAX_ANSWER] = {};
    sim.bad_length_next(1, static_cast<uint8_t>(query.respLen + 1));
    EXPECT_EQ(uz_query(si, query.code, answer, query.reqLen), ERR_UZ_RECV_TIMEOUT);
    ur_clearUZ(si->link.boardPort);

    // A well-formed answer longer than the command's: refused, and nothing
    // reaches the caller's buffer past the command's answer length.
    sim.with_model([&](kelm::sim::BoardModel& m) {
        m.on(uz_command_base(query), [code = query.code](auto&, const auto&) {
            std::vector<uint8_t> body(40, 0x55);
            body[0] = code;
            return kelm::sim::BoardReply::raw(std::move(body));
        });
    });
    uint8_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), 0xAA);
    CaptureMessages messages;
    EXPECT_EQ(uz_query(si, query.code, buffer, query.reqLen), ERR_UZ_RECV_FAILED);
    EXPECT_NE(messages.text().find("ur_writeUZ: answer length 41, expected " + std::to_string(query.respLen)),
              std::string::npos)
        << messages.text();
    for (uint8_t b : buffer) EXPECT_EQ(b, 0xAA);
}

TEST_P(BoardReceive, ReadWithoutInstrumentOrSerialBoardIsRefused) {
    uint8_t buffer[UZ_MAX_ANSWER];
    int32_t count = -1;
    EXPECT_EQ(ur_readUZ(12345, buffer, UZ_RESP_ACK, &count), ERR_SYS_INFO_NOT_AVAIL);
    EXPECT_EQ(count, 0);
    si->instrBdType = 5;
    EXPECT_EQ(ur_readUZ(si->link.boardPort, buffer, UZ_RESP_ACK, &count), ERR_WRONG_INSTR_BOARD);
    si->instrBdType = sim.board();
}

TEST_P(BoardReceive, SendFailureIsNotRetried) {
    uint8_t packet[8] = {2, cmd(k_ack_cmd).code};
    CaptureMessages messages;
    EXPECT_EQ(ur_writeUZ(987654, 2, packet, false, false), ERR_UZ_SEND_FAILED);
    EXPECT_EQ(messages.text(), "ur_writeUZ: sio_send_data failed  i=0  len=3\nur_writeUZ failed: cmd=INVALID_PARAM\n");
}

INSTANTIATE_TEST_SUITE_P(AllBoards, BoardReceive, ::testing::ValuesIn(k_boards), board_name);

// --- board events ---

using BoardEvents = PerBoard;

// An interrupting event code of each board.
uint8_t interrupting_event(int32_t board) { return board == 1 ? 156 : 135; }

TEST_P(BoardEvents, UpToTwoEventsBeforeTheAnswerAreSkipped) {
    const uz_cmd_def_t& reset = cmd(k_ack_cmd);
    const uz_cmd_def_t& query = cmd(k_query);
    const BoardEvent e{interrupting_event(GetParam()), 2};
    uint8_t answer[UZ_MAX_ANSWER] = {};

    sim.events_before_next_answer({e, e});
    EXPECT_EQ(uz_cmd(si, reset.code, reset.reqLen), NO_ERROR);
    sim.events_before_next_answer({e, e});
    sim.with_state([](auto& s) { s.set_value("EE_CAMERA", {9}); });
    EXPECT_EQ(uz_query(si, query.code, answer, query.reqLen), NO_ERROR);
    EXPECT_EQ(answer[1], 9);

    sim.events_before_next_answer({e, e, e});
    CaptureMessages messages;
    EXPECT_EQ(uz_cmd(si, reset.code, reset.reqLen), ERR_UZ_RECV_FAILED);
    EXPECT_NE(messages.text().find("ur_readUZ: received unsolicited info\n"), std::string::npos);
    EXPECT_EQ(count_of(reset.code), 2) << "not sent again";
}

TEST_P(BoardEvents, EventReaderSkipsOtherPacketsAndTimesOutOnSilence) {
    // Two acknowledgements nobody asked for, then an event.
    const std::string ack = "\x02\xff\xff";
    const uint8_t code = GetParam() == 1 ? 155 : 157;
    sim.serial().send_unsolicited(ack + ack + kelm::sim::BoardModel::event_packet({code, 1}));
    int32_t kind = -1;
    int32_t value = -1;
    EXPECT_EQ(uz_read_event(si, &kind, &value), NO_ERROR);
    EXPECT_EQ(kind, GetParam() == 1 ? UZ_EVENT_ZOOM_POSITION : UZ_EVENT_RING_SPOT);

    sim.serial().send_unsolicited(ack + ack + ack + kelm::sim::BoardModel::event_packet({code, 1}));
    EXPECT_EQ(uz_read_event(si, &kind, &value), ERR_UZ_RECV_FAILED) << "three other packets";
    ur_clearUZ(si->link.boardPort);

    CaptureMessages messages;
    EXPECT_EQ(uz_read_event(si, &kind, &value), ERR_UZ_RECV_TIMEOUT);
    EXPECT_EQ(messages.text(), "ur_readUZ: timed out on first byte, respType=3\n");

    std::string corrupt = kelm::sim::BoardModel::event_packet({code, 1});
    corrupt.back() = static_cast<char>(corrupt.back() + 1);
    sim.serial().send_unsolicited(corrupt);
    EXPECT_EQ(uz_read_event(si, &kind, &value), ERR_UZ_RECV_FAILED) << "a checksum error is a failed receive here";
}

INSTANTIATE_TEST_SUITE_P(AllBoards, BoardEvents, ::testing::ValuesIn(k_boards), board_name);

struct EventCase {
    int32_t board;
    uint8_t code;
    uint8_t byte;
    int32_t result;
    int32_t kind;
    int32_t value;
};

class BoardEventDecoding : public ::testing::TestWithParam<EventCase> {};

TEST_P(BoardEventDecoding, EventsDecodeToKindAndValue) {
    const EventCase c = GetParam();
    board_test::BoardFixture f(c.board);
    f.open();
    f.sim.send_event({c.code, c.byte});
    int32_t kind = -1;
    int32_t value = -1;
    EXPECT_EQ(uz_read_event(f.si, &kind, &value), c.result);
    if (c.result == NO_ERROR) {
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(value, c.value);
    }
    f.close();
}

INSTANTIATE_TEST_SUITE_P(
    Table, BoardEventDecoding,
    ::testing::Values(EventCase{1, 155, 3, NO_ERROR, UZ_EVENT_ZOOM_POSITION, 2},
                      EventCase{1, 156, 1, NO_ERROR, UZ_EVENT_TURRET_POSITION, 0},
                      EventCase{3, 135, 2, NO_ERROR, UZ_EVENT_FKEY, 2}, EventCase{3, 135, 12, NO_ERROR, UZ_EVENT_FKEY, 12},
                      EventCase{3, 135, 3, ERR_UZ_RECV_FAILED, 0, 0},
                      EventCase{3, 155, 1, NO_ERROR, UZ_EVENT_ALIGN_VIEW, 1},
                      EventCase{3, 155, 2, ERR_UZ_RECV_FAILED, 0, 0},
                      EventCase{6, 157, 0, NO_ERROR, UZ_EVENT_RING_SPOT, 0},
                      EventCase{6, 129, 108, NO_ERROR, UZ_EVENT_FKEY_2, 108},
                      EventCase{6, 129, 8, ERR_UZ_RECV_FAILED, 0, 0},
                      EventCase{7, 139, 1, NO_ERROR, UZ_EVENT_ALIGN_VIEW_2, 1},
                      EventCase{7, 139, 5, ERR_UZ_RECV_FAILED, 0, 0}));

// --- command names ---

TEST(BoardCommandNames, NamesComeFromTheInstrumentsBoard) {
    struct Case {
        int32_t board;
        int32_t code;
        const char* name;
    };
    for (const Case c : {Case{1, 200, "UZ1_INVALID_CMD"}, Case{1, 32, "UZ1_RAMP_LOAD_CMD"},
                         Case{1, 58, "UZ1_TURRETPOS_REPORT_CMD"}, Case{1, 59, "UZ1_INVALID_CMD"},
                         Case{3, 62, "UZ2_RS_MOVING_CMD"}, Case{3, -1, "UZ2_INVALID_CMD"},
                         Case{6, 42, "DENEB_SHUTTER_OUTPUT_CMD"}, Case{6, 0, "DENEB_INVALID_CMD"},
                         Case{6, 43, "DENEB_INVALID_CMD"}, Case{7, 41, "FTP_CUSTOM_CAMERA_CMD"},
                         Case{7, 42, "FTP_INVALID_CMD"}}) {
        SystemInfo& si = gl_sys_info[2];
        si = SystemInfo{};
        si.instrBdType = c.board;
        si.link.boardPort = 4242;
        EXPECT_STREQ(ur_cmd_str(4242, c.code), c.name) << c.board << "/" << c.code;
        si = SystemInfo{};
    }
    EXPECT_STREQ(ur_cmd_str(4242, 1), "INVALID_PARAM");

    gl_sys_info[2].instrBdType = 5;
    gl_sys_info[2].link.boardPort = 4242;
    CaptureMessages messages;
    EXPECT_STREQ(ur_cmd_str(4242, 1), "");
    EXPECT_EQ(messages.text(), "ur_cmd_str: unknown instrBdType\n");
    gl_sys_info[2] = SystemInfo{};
}

}  // namespace
