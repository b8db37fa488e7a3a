// The standard commands of the simulated boards: ramp slots and uploads,
// I/O registers, and accessories that move on command.
#include <string>

#include "seriallink/uz_ramp_cmds.h"
#include "sim/board/board_model.h"

namespace kelm::sim {

namespace {

// RAMP_DATA status bytes.
constexpr uint8_t k_block_taken = 0;
constexpr uint8_t k_no_upload = 1;
constexpr uint8_t k_bad_point_sum = 2;
constexpr uint8_t k_too_many_points = 3;

// The error byte a board uses for an invalid ramp index (boards 1 and 7).
uint8_t invalid_ramp_index_byte(int32_t board) { return board == 1 ? 23 : board == 7 ? 19 : 0; }

bool valid_slot(const BoardState& s, uint8_t slot) { return slot < s.slots.size(); }

void install_ramp_handlers(BoardModel& m) {
    m.on("RAMP_LOAD", [](BoardState& s, const BoardRequest& r) {
        if (!valid_slot(s, r.u8(0))) return BoardReply::nak();
        s.upload = BoardRampSlot{false, r.u8(1), r.u8(2), r.u16(3), r.u16(5), r.u16(7), r.u16(9), r.u16(11), {}};
        s.uploadSlot = r.u8(0);
        return BoardReply::ack();
    });
    m.on("RAMP_DATA", [](BoardState& s, const BoardRequest& r) {
        uint8_t status = k_block_taken;
        if (!s.uploadSlot) status = k_no_upload;
        else if (!r.pointsSumOk) status = k_bad_point_sum;
        else if (s.upload.points.size() + r.points.size() > s.upload.nPoints) status = k_too_many_points;
        else s.upload.points.insert(s.upload.points.end(), r.points.begin(), r.points.end());
        return BoardReply::data({status});
    });
    m.on("RAMP_COMPLETE", [](BoardState& s, const BoardRequest&) {
        if (s.uploadSlot && s.upload.points.size() == s.upload.nPoints) {
            s.upload.loaded = true;
            s.slots[*s.uploadSlot] = s.upload;
        }
        s.uploadSlot.reset();
        return BoardReply::ack();
    });
    m.on("RAMP_DELETE", [](BoardState& s, const BoardRequest& r) {
        if (!valid_slot(s, r.u8(0))) return BoardReply::nak();
        s.slots[r.u8(0)] = BoardRampSlot{};
        if (s.runningSlot == r.u8(0)) s.runningSlot = -1;
        return BoardReply::ack();
    });
    m.on("RAMP_START", [](BoardState& s, const BoardRequest& r) {
        if (!valid_slot(s, r.u8(0)) || !s.slots[r.u8(0)].loaded) return BoardReply::nak();
        s.runningSlot = r.u8(0);
        ++s.rampStarts;
        s.busyPollsLeft = s.rampBusyPolls;
        return BoardReply::ack();
    });
    m.on("RAMP_ABORT", [](BoardState& s, const BoardRequest&) {
        s.busyPollsLeft = 0;
        s.runningSlot = -1;
        s.rampAborted = true;
        return BoardReply::ack();
    });
    m.on("RAMP_IDLE", [](BoardState& s, const BoardRequest&) {
        if (s.busyPollsLeft > 0) {
            --s.busyPollsLeft;
            return BoardReply::data({0});
        }
        return BoardReply::data({1});
    });
    m.on("RAMP_REQUEST", [](BoardState& s, const BoardRequest&) {
        std::vector<uint8_t> ids;
        for (const BoardRampSlot& slot : s.slots) ids.push_back(slot.loaded ? slot.rampID : 0xFF);
        return BoardReply::data(std::move(ids));
    });
    m.on("RAMP_UPDATERATE", [](BoardState& s, const BoardRequest& r) {
        if (!valid_slot(s, r.u8(0)) || !s.slots[r.u8(0)].loaded) {
            return BoardReply::data({invalid_ramp_index_byte(s.board)});
        }
        s.slots[r.u8(0)].updateRate = r.u16(1);
        return BoardReply::data({0});
    });
}

bool valid_io(uint16_t address) { return address >= UZ_IO_FIRST_ADDRESS && address <= UZ_IO_LAST_ADDRESS; }

void install_io_handlers(BoardModel& m) {
    m.on("READ_IO", [](BoardState& s, const BoardRequest& r) {
        const uint16_t address = r.u16(0);
        const uint8_t value = valid_io(address) ? s.io[address - UZ_IO_FIRST_ADDRESS] : 0;
        return BoardReply::data({r.u8(0), r.u8(1), value});
    });
    m.on("WRITE_IO", [](BoardState& s, const BoardRequest& r) {
        const uint16_t address = r.u16(0);
        if (!valid_io(address)) return BoardReply::nak();
        s.io[address - UZ_IO_FIRST_ADDRESS] = r.u8(2);
        return BoardReply::ack();
    });
}

// One poll of an accessory: true while it is still on its way.
bool poll(BoardAccessory& a) {
    if (a.pollsLeft == 0) return false;
    if (--a.pollsLeft == 0) a.position = a.target;
    return true;
}

void start_move(BoardState& s, const std::string& name, uint8_t target) {
    BoardAccessory& a = s.accessories[name];
    a.target = target;
    ++a.moves;
    a.pollsLeft = s.settlePolls;
    if (a.pollsLeft == 0) a.position = target;
}

// `move` takes the target as its first byte; `moving` answers 1 while the
// accessory moves, `position` its position (both count as polls).
void install_accessory(BoardModel& m, const std::string& name, const char* move, const char* moving,
                       const char* position) {
    m.on(move, [name](BoardState& s, const BoardRequest& r) {
        start_move(s, name, r.u8(0));
        return BoardReply::ack();
    });
    if (moving != nullptr) {
        m.on(moving, [name](BoardState& s, const BoardRequest&) {
            return BoardReply::data({static_cast<uint8_t>(poll(s.accessories[name]) ? 1 : 0)});
        });
    }
    if (position != nullptr) {
        m.on(position, [name](BoardState& s, const BoardRequest&) {
            BoardAccessory& a = s.accessories[name];
            poll(a);
            return BoardReply::data({a.position});
        });
    }
}

void install_motor_handlers(BoardModel& m, int32_t board) {
    if (board == 1) {
        // Motor 0 or 1, a drive value, a position.
        m.on("MOTOR_MOVE", [](BoardState& s, const BoardRequest& r) {
            if (r.u8(0) > 1) return BoardReply::nak();
            start_move(s, "motor" + std::to_string(r.u8(0)), r.u8(2));
            return BoardReply::ack();
        });
        m.on("MOTOR_READ", [](BoardState& s, const BoardRequest& r) {
            if (r.u8(0) > 1) return BoardReply::nak();
            BoardAccessory& a = s.accessories["motor" + std::to_string(r.u8(0))];
            poll(a);
            return BoardReply::data({a.position});
        });
    } else if (board == 7) {
        install_accessory(m, "motor0", "MOTOR_MOVE", nullptr, "MOTOR_READ");
    }
}

void set_defaults(BoardState& s) {
    s.slots.assign(s.board == 1 || s.board == 7 ? 12 : 4, BoardRampSlot{});
    s.set_value("SW_VERSION", {13});
    s.set_value("EE_INSTRBD", {static_cast<uint8_t>(s.board)});
    for (const char* adc : {"ADC_P12", "ADC_N15", "ADC_P15", "ADC_P200"}) s.set_value(adc, {0x80});
}

}  // namespace

void install_standard_board_handlers(BoardModel& m) {
    BoardState& s = m.state();
    set_defaults(s);
    install_ramp_handlers(m);
    install_io_handlers(m);
    install_motor_handlers(m, s.board);
    if (s.board == 3) {
        install_accessory(m, "align_view", "CHANGE_ALIGNVIEW", "AV_MOVING", "WAND_MODE");
        install_accessory(m, "ring_spot", "CHANGE_RINGSPOT", "RS_MOVING", "WAND_MODE2");
        install_accessory(m, "wand", "WAND", "WAND_MOTION", nullptr);
    } else if (s.board == 6) {
        install_accessory(m, "wand", "WAND", "WAND_MOTION", "WAND_MODE");
    }
}

}  // namespace kelm::sim
