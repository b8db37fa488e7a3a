// A serial instrument board (type 1, 3, 6 or 7) as a serial device model.
// It frames, checks and answers packets from the command tables the
// library uses: a request whose length byte is not the command's request
// length, whose checksum is wrong or whose code the board does not take is
// answered with a negative acknowledgement; a command whose response length
// is 0 with an acknowledgement; any other with its data answer.
//
// What a command does is a handler looked up by the command's name without
// the board prefix ("RAMP_LOAD"). Commands without a handler of their own
// keep named values: "X_SET" (or any acknowledged command "X") stores its
// parameters as value "X", and a query "X_READ" (or "X") answers value "X",
// zero-padded. Later work adds commands with on().
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "seriallink/uz_commands.h"
#include "sim/board/board_state.h"
#include "sim/serial/device_model.h"

namespace kelm::sim {

// One request as the board decoded it.
struct BoardRequest {
    uint8_t code = 0;
    std::string base;              // name without prefix and "_CMD"; empty if unknown
    std::vector<uint8_t> params;   // between the code and the checksum
    std::vector<uint16_t> points;  // RAMP_DATA: the points that followed
    bool pointsSumOk = true;       // RAMP_DATA: their sum byte matched
    bool valid = false;            // length, checksum and code were right

    uint16_t u16(std::size_t at) const;
    uint32_t u32(std::size_t at) const;
    uint8_t u8(std::size_t at) const { return at < params.size() ? params[at] : 0; }
};

struct BoardReply {
    // raw: `values` is the whole body (first byte included), framed as it
    // is, whatever the command's answer length: for answers a board should
    // not give.
    enum class Kind { ack, nak, data, raw, none };
    Kind kind = Kind::ack;
    std::vector<uint8_t> values;  // data: the bytes after the echoed code

    static BoardReply ack() { return {Kind::ack, {}}; }
    static BoardReply nak() { return {Kind::nak, {}}; }
    static BoardReply none() { return {Kind::none, {}}; }
    static BoardReply data(std::vector<uint8_t> values) { return {Kind::data, std::move(values)}; }
    static BoardReply raw(std::vector<uint8_t> body) { return {Kind::raw, std::move(body)}; }
};

using BoardHandler = std::function<BoardReply(BoardState&, const BoardRequest&)>;

// A board event: code and value byte.
struct BoardEvent {
    uint8_t code = 0;
    uint8_t value = 0;
};

// Faults applied to the next answers; each count falls by one per answer
// it changes.
struct BoardFaults {
    uint32_t nak = 0;            // answer NAK without carrying out the command
    uint32_t badChecksum = 0;    // answer with a wrong checksum (command carried out)
    uint32_t wrongEcho = 0;      // data answers echo another code
    uint32_t badLength = 0;      // answer's length byte replaced by badLengthByte
    uint8_t badLengthByte = 0;
    std::vector<BoardEvent> eventsBeforeAnswer;  // sent ahead of the next answer
};

class BoardModel final : public DeviceModel {
public:
    explicit BoardModel(int32_t board);

    void receive(std::span<const uint8_t> bytes, std::string& reply) override;

    // Installs (or replaces) the handler of the command named `base`.
    void on(std::string_view base, BoardHandler handler);

    BoardState& state() { return state_; }
    BoardFaults& faults() { return faults_; }
    // Every request received, in order, valid or not.
    const std::vector<BoardRequest>& requests() const { return requests_; }
    void clear_requests() { requests_.clear(); }

    // [3][code][value][checksum]
    static std::string event_packet(BoardEvent event);

private:
    // Takes one whole request off the front of pending_; false while it is
    // still incomplete.
    bool take_request(BoardRequest& request);
    BoardReply carry_out(const BoardRequest& request);
    BoardReply stored_value(const uz_cmd_def_t& def, const BoardRequest& request);
    void append_answer(const BoardRequest& request, BoardReply answer, std::string& reply);

    BoardState state_;
    BoardFaults faults_;
    std::vector<uint8_t> pending_;
    std::vector<BoardRequest> requests_;
    std::vector<std::pair<std::string, BoardHandler>> handlers_;
};

// Installs the handlers of the standard commands (ramps, I/O registers,
// moving accessories); the constructor calls it.
void install_standard_board_handlers(BoardModel& model);

}  // namespace kelm::sim
