#include "seriallink/uz_event.h"

#include <algorithm>
#include <initializer_list>

#include "errors/err_codes.h"
#include "seriallink/uz_commands.h"
#include "seriallink/uz_link.h"
#include "seriallink/uz_packet.h"

namespace {

bool one_of(uint8_t byte, std::initializer_list<uint8_t> values) { return std::ranges::find(values, byte) != values.end(); }

}  // namespace

bool uz_decode_event(int32_t board, uint8_t code, uint8_t byte, int32_t* kind, int32_t* value) {
    if (board == 1) {
        if (code != 155 && code != 156) return false;
        *kind = code == 155 ? UZ_EVENT_ZOOM_POSITION : UZ_EVENT_TURRET_POSITION;
        *value = byte - 1;
        return true;
    }
    if (board != 3 && board != 6 && board != 7) return false;
    bool valid = false;
    switch (code) {
        case 135: *kind = UZ_EVENT_FKEY; valid = one_of(byte, {2, 8, 9, 12}); break;
        case 155: *kind = UZ_EVENT_ALIGN_VIEW; valid = byte <= 1; break;
        case 157: *kind = UZ_EVENT_RING_SPOT; valid = byte <= 1; break;
        case 129: *kind = UZ_EVENT_FKEY_2; valid = one_of(byte, {102, 108, 109, 112}); break;
        case 139: *kind = UZ_EVENT_ALIGN_VIEW_2; valid = byte <= 1; break;
        default: break;
    }
    if (valid) *value = byte;
    return valid;
}

int32_t uz_read_event(SystemInfo* instrument, int32_t* kind, int32_t* value) {
    if (instrument == nullptr) return ERR_SYS_INFO_NOT_AVAIL;
    if (kind == nullptr || value == nullptr) return ERR_INVALID_PARAM;
    if (!uz_is_serial_board(instrument->instrBdType)) return ERR_WRONG_INSTR_BOARD;
    uint8_t packet[UZ_MAX_ANSWER];
    int32_t count = 0;
    const int32_t err = ur_readUZ(instrument->link.boardPort, packet, UZ_RESP_EVENT, &count);
    // A checksum error is a plain number meant for ur_writeUZ's resends;
    // the event reader has nothing to resend and reports a failed receive.
    if (err == UZ_RESULT_CHECKSUM || err == UZ_RESULT_NAK) return ERR_UZ_RECV_FAILED;
    if (err != NO_ERROR) return err;
    if (count != UZ_EVENT_LEN) return ERR_UZ_RECV_FAILED;
    int32_t k = 0;
    int32_t v = 0;
    if (!uz_decode_event(instrument->instrBdType, packet[0], packet[1], &k, &v)) return ERR_UZ_RECV_FAILED;
    *kind = k;
    *value = v;
    return NO_ERROR;
}
