#include "seriallink/uz_cmd.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "errors/err_codes.h"
#include "seriallink/uz_link.h"
#include "seriallink/uz_packet.h"
#include "util/byteorder.h"

namespace {

// The longest command packet the helpers send; ur_writeUZ's buffer must
// also take the longest answer.
constexpr std::size_t k_max_params = 32;

template <typename T>
int32_t send_value(SystemInfo* instrument, uint8_t code, T value, int32_t reqLen) {
    std::array<uint8_t, sizeof(T)> bytes{};
    kelm::store_be(bytes.data(), value);
    return uz_exchange(instrument, code, bytes, reqLen, nullptr);
}

}  // namespace

int32_t uz_command_of(const SystemInfo* instrument, std::string_view base, const uz_cmd_def_t** def) {
    *def = nullptr;
    if (instrument == nullptr) return ERR_SYS_INFO_NOT_AVAIL;
    *def = uz_find_command(instrument->instrBdType, base);
    return *def != nullptr ? NO_ERROR : ERR_WRONG_INSTR_BOARD;
}

int32_t uz_exchange(SystemInfo* instrument, uint8_t code, std::span<const uint8_t> params, int32_t reqLen,
                    uint8_t* answer) {
    if (instrument == nullptr) return ERR_SYS_INFO_NOT_AVAIL;
    if (!uz_is_serial_board(instrument->instrBdType)) return ERR_WRONG_INSTR_BOARD;
    if (params.size() > k_max_params || reqLen != static_cast<int32_t>(params.size()) + 2) return ERR_INVALID_PARAM;

    std::array<uint8_t, std::max<std::size_t>(k_max_params + 3, UZ_MAX_ANSWER)> packet{};
    packet[0] = static_cast<uint8_t>(reqLen);
    packet[1] = code;
    std::ranges::copy(params, packet.begin() + 2);
    const int32_t err = ur_writeUZ(instrument->link.boardPort, reqLen, packet.data(), answer != nullptr, false);
    if (err != NO_ERROR || answer == nullptr) return err;
    // ur_writeUZ has checked the answer's length against the table.
    const uz_cmd_def_t* def = uz_find_command(instrument->instrBdType, code);
    std::memcpy(answer, packet.data(), def->respLen);
    return NO_ERROR;
}

int32_t uz_cmd(SystemInfo* instrument, uint8_t code, int32_t reqLen) {
    return uz_exchange(instrument, code, {}, reqLen, nullptr);
}

int32_t uz_cmd_u8(SystemInfo* instrument, uint8_t code, uint8_t value, int32_t reqLen) {
    return send_value(instrument, code, value, reqLen);
}

int32_t uz_cmd_u16(SystemInfo* instrument, uint8_t code, uint16_t value, int32_t reqLen) {
    return send_value(instrument, code, value, reqLen);
}

int32_t uz_cmd_u32(SystemInfo* instrument, uint8_t code, uint32_t value, int32_t reqLen) {
    return send_value(instrument, code, value, reqLen);
}

int32_t uz_query(SystemInfo* instrument, uint8_t code, uint8_t* buffer, int32_t reqLen) {
    if (buffer == nullptr) return ERR_INVALID_PARAM;
    return uz_exchange(instrument, code, {}, reqLen, buffer);
}
