#include "seriallink/uz_ramp_cmds.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "errors/err_codes.h"
#include "seriallink/uz_board_error.h"
#include "seriallink/uz_cmd.h"
#include "seriallink/uz_link.h"
#include "seriallink/uz_packet.h"
#include "util/byteorder.h"

namespace {

// Answer buffer large enough for any command's data answer.
using Answer = std::array<uint8_t, UZ_MAX_ANSWER>;

// Parameters of a packet, appended big-endian.
class Params {
public:
    Params& u8(uint32_t v) {
        bytes_.push_back(static_cast<uint8_t>(v & 0xFFu));
        return *this;
    }
    Params& u16(uint32_t v) {
        return u8(v >> 8).u8(v);
    }
    std::span<const uint8_t> first(std::size_t n) const { return std::span<const uint8_t>(bytes_).first(n); }
    std::size_t size() const { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
};

// Gate: a serial board that has the command.
int32_t command(const SystemInfo* instrument, std::string_view base, const uz_cmd_def_t** def) {
    if (instrument == nullptr) return ERR_SYS_INFO_NOT_AVAIL;
    if (!uz_is_serial_board(instrument->instrBdType)) return ERR_WRONG_INSTR_BOARD;
    return uz_command_of(instrument, base, def);
}

// Sends the board's command `base` with as many of `params` as its request
// length takes; `answer` (may be null) gets a data answer.
int32_t send(SystemInfo* instrument, std::string_view base, const Params& params, uint8_t* answer) {
    const uz_cmd_def_t* def = nullptr;
    if (int32_t err = command(instrument, base, &def); err != NO_ERROR) return err;
    const std::size_t n = def->reqLen >= 2 ? def->reqLen - 2u : 0u;
    if (n > params.size()) return ERR_INVALID_PARAM;
    return uz_exchange(instrument, def->code, params.first(n), def->reqLen, answer);
}

Params gain_params(const uint16_t gains[3]) {
    Params p;
    for (int i = 0; i < 3; ++i) p.u16(gains[i]);
    return p;
}

}  // namespace

int32_t uz_ramp_load(SystemInfo* instrument, uint8_t slot, const rr_ramp_hdr_t& hdr) {
    Params p;
    p.u8(slot).u8(static_cast<uint32_t>(hdr.rampID)).u8(static_cast<uint32_t>(hdr.polar));
    for (int32_t v : {hdr.nPoints, hdr.offset, hdr.trigStartAddr, hdr.trigEndAddr, hdr.updateRate}) {
        p.u16(static_cast<uint32_t>(v));
    }
    return send(instrument, "RAMP_LOAD", p, nullptr);
}

int32_t uz_ramp_data(SystemInfo* instrument, std::span<const uint16_t> points, uint8_t* status) {
    const uz_cmd_def_t* def = nullptr;
    if (int32_t err = command(instrument, "RAMP_DATA", &def); err != NO_ERROR) return err;
    if (points.empty() || points.size() > static_cast<std::size_t>(UZ_RAMP_DATA_MAX_POINTS)) {
        return ERR_PARAM_OUT_OF_RANGE;
    }
    // [4][code][count][checksum], then the points and the sum of their bytes.
    std::vector<uint8_t> packet(1 + def->reqLen + 2 * points.size() + 1);
    const uint8_t head[] = {def->code, static_cast<uint8_t>(points.size() >> 8), static_cast<uint8_t>(points.size())};
    uz_frame(head, packet);
    uint8_t* out = packet.data() + 1 + def->reqLen;
    for (uint16_t v : points) {
        kelm::store_be(out, v);
        out += 2;
    }
    const std::size_t data_at = 1 + def->reqLen;
    *out = uz_checksum(std::span<const uint8_t>(packet).subspan(data_at, 2 * points.size()));
    const int32_t err = ur_writeUZ(instrument->link.boardPort, static_cast<int32_t>(packet.size()), packet.data(), true,
                                   true);
    if (err == NO_ERROR && status != nullptr) *status = packet[1];
    return err;
}

int32_t uz_ramp_complete(SystemInfo* instrument) { return send(instrument, "RAMP_COMPLETE", Params{}, nullptr); }

int32_t uz_ramp_start(SystemInfo* instrument, uint8_t slot) {
    return send(instrument, "RAMP_START", Params{}.u8(slot), nullptr);
}

int32_t uz_ramp_delete(SystemInfo* instrument, uint8_t slot) {
    return send(instrument, "RAMP_DELETE", Params{}.u8(slot), nullptr);
}

int32_t uz_ramp_idle(SystemInfo* instrument, uint8_t* idle) {
    Answer a{};
    const int32_t err = send(instrument, "RAMP_IDLE", Params{}, a.data());
    if (err == NO_ERROR && idle != nullptr) *idle = a[1];
    return err;
}

int32_t uz_ramp_request(SystemInfo* instrument, uint8_t ids[UZ_RAMP_REQUEST_IDS]) {
    if (ids == nullptr) return ERR_INVALID_PARAM;
    std::fill_n(ids, UZ_RAMP_REQUEST_IDS, uint8_t{0xFF});
    const uz_cmd_def_t* def = nullptr;
    if (int32_t err = command(instrument, "RAMP_REQUEST", &def); err != NO_ERROR) return err;
    Answer a{};
    const int32_t err = send(instrument, "RAMP_REQUEST", Params{}, a.data());
    if (err != NO_ERROR) return err;
    // Code, one ID per slot, checksum.
    const std::size_t slots = std::min<std::size_t>(def->respLen - 2u, UZ_RAMP_REQUEST_IDS);
    std::copy_n(a.begin() + 1, slots, ids);
    return NO_ERROR;
}

int32_t uz_ramp_updaterate(SystemInfo* instrument, uint8_t slot, uint16_t updateRate) {
    Answer a{};
    const int32_t err = send(instrument, "RAMP_UPDATERATE", Params{}.u8(slot).u16(updateRate), a.data());
    if (err != NO_ERROR) return err;
    const uint8_t invalid_index = instrument->instrBdType == 1 ? 23 : 19;
    return a[1] == invalid_index ? ERR_INVALID_RAMP_INDEX : NO_ERROR;
}

int32_t uz_pzt_set(SystemInfo* instrument, const uint16_t gains[3]) {
    if (gains == nullptr) return ERR_INVALID_PARAM;
    return send(instrument, "PZT_SET", gain_params(gains), nullptr);
}

int32_t uz_pzt3_ramp(SystemInfo* instrument, const uint16_t gains[3]) {
    if (gains == nullptr) return ERR_INVALID_PARAM;
    if (instrument == nullptr) return ERR_SYS_INFO_NOT_AVAIL;
    if (!uz_is_serial_board(instrument->instrBdType)) return ERR_WRONG_INSTR_BOARD;
    if (instrument->instrBdType != 3) return NO_ERROR;  // no large-aperture drive on these boards
    return send(instrument, "PZT3_RAMP", gain_params(gains), nullptr);
}

int32_t uz_write_io(SystemInfo* instrument, int32_t address, uint8_t value) {
    const uz_cmd_def_t* def = nullptr;
    if (int32_t err = command(instrument, "WRITE_IO", &def); err != NO_ERROR) return err;
    if (address < UZ_IO_FIRST_ADDRESS || address > UZ_IO_LAST_ADDRESS) return ERR_PARAM_OUT_OF_RANGE;
    return send(instrument, "WRITE_IO", Params{}.u16(static_cast<uint32_t>(address)).u8(value), nullptr);
}

int32_t uz_power_chk(SystemInfo* instrument) {
    Answer a{};
    const int32_t err = send(instrument, "POWER_CHK", Params{}, a.data());
    if (err != NO_ERROR) return err;
    return uz_board_error(a[1], instrument->instrBdType, true);
}
