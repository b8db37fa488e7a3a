// Receiving one answer of the instrument board.
#include <atomic>

#include "errors/err_codes.h"
#include "errors/msg.h"
#include "seriallink/uz_commands.h"
#include "seriallink/uz_link.h"
#include "seriallink/uz_packet.h"
#include "seriallink/uz_timing.h"

namespace {

std::atomic<uint32_t> g_first_byte_timeout_ms{UZ_FIRST_BYTE_TIMEOUT_MS};

// An exchange reads at most this many packets: the answer after two events.
constexpr int32_t k_max_packets = 3;

// Reads the length byte with the first-byte time-out, then restores the
// port's read total.
bool read_length_byte(sio_handle_t port, uint8_t* length) {
    sio_timeouts_t saved{};
    if (sio_get_timeouts(port, &saved) != NO_ERROR) return false;
    sio_timeouts_t first = saved;
    first.read_total_constant = ur_first_byte_timeout_ms();
    if (sio_set_timeouts(port, &first) != NO_ERROR) return false;
    int32_t got = 0;
    const bool ok = sio_read_data(port, length, 1, &got) == 0 && got == 1;
    sio_set_timeouts(port, &saved);
    return ok;
}

enum class Verdict { success, nak, read_next, unsolicited, failed };

Verdict classify(int32_t board, int32_t kind, uint8_t first) {
    if (kind == UZ_RESP_EVENT) return uz_is_accepted_event(board, first) ? Verdict::success : Verdict::read_next;
    if (first == UZ_NAK) return Verdict::nak;
    if (uz_is_interrupting_event(board, first)) return Verdict::unsolicited;
    if (kind == UZ_RESP_DATA || first == UZ_ACK) return Verdict::success;
    return Verdict::failed;
}

}  // namespace

uint32_t ur_first_byte_timeout_ms() { return g_first_byte_timeout_ms.load(); }

void ur_set_first_byte_timeout_ms(uint32_t ms) {
    g_first_byte_timeout_ms.store(ms == 0 ? UZ_FIRST_BYTE_TIMEOUT_MS : ms);
}

int32_t ur_readUZ(sio_handle_t port, uint8_t* buffer, int32_t kind, int32_t* count) {
    if (count != nullptr) *count = 0;
    const SystemInfo* si = ur_instrument_of(port);
    if (si == nullptr) return ERR_SYS_INFO_NOT_AVAIL;
    const int32_t board = si->instrBdType;
    if (!uz_is_serial_board(board)) return ERR_WRONG_INSTR_BOARD;
    if (buffer == nullptr || count == nullptr || kind < UZ_RESP_ACK || kind > UZ_RESP_EVENT) return ERR_INVALID_PARAM;

    for (int32_t attempt = 1;; ++attempt) {
        uint8_t length = 0;
        if (!read_length_byte(port, &length)) {
            gl_msg_print("ur_readUZ: timed out on first byte, respType=%d\n", kind);
            return ERR_UZ_RECV_TIMEOUT;
        }
        // 0 and 128 and above (negative as a signed byte) are no lengths:
        // the line is out of step, so start the next exchange afresh.
        if (length == 0 || length > UZ_MAX_ANSWER) {
            gl_msg_print("ur_readUZ: invalid length byte %d\n", length);
            ur_clearUZ(port);
            return ERR_UZ_RECV_FAILED;
        }
        int32_t got = 0;
        if (sio_read_data(port, buffer, length, &got) != 0) {
            gl_msg_print("ur_readUZ: sio_read_data failed\n");
            return ERR_UZ_RECV_TIMEOUT;
        }
        const uint8_t received_sum = buffer[length - 1];
        const uint8_t computed_sum = uz_checksum(std::span<const uint8_t>(buffer, length - 1u));
        if (received_sum != computed_sum) {
            gl_msg_print("ur_readUZ: checksum err recv %d calc %d\n", received_sum, computed_sum);
            return UZ_RESULT_CHECKSUM;
        }
        // A lone checksum carries no answer.
        if (length < 2) return ERR_UZ_RECV_FAILED;
        switch (classify(board, kind, buffer[0])) {
            case Verdict::success: *count = length; return NO_ERROR;
            case Verdict::nak: return UZ_RESULT_NAK;
            case Verdict::failed: return ERR_UZ_RECV_FAILED;
            case Verdict::unsolicited:
                if (attempt < k_max_packets) continue;
                gl_msg_print("ur_readUZ: received unsolicited info\n");
                return ERR_UZ_RECV_FAILED;
            case Verdict::read_next:
                if (attempt < k_max_packets) continue;
                return ERR_UZ_RECV_FAILED;
        }
    }
}
