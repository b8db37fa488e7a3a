// Sending one command to the instrument board and receiving its answer.
#include <cstring>

#include "errors/err_codes.h"
#include "errors/msg.h"
#include "seriallink/uz_commands.h"
#include "seriallink/uz_link.h"
#include "seriallink/uz_packet.h"

namespace {

constexpr int32_t k_max_attempts = 3;

bool asks_resend(int32_t result) { return result == UZ_RESULT_NAK || result == UZ_RESULT_CHECKSUM; }

// Checks a data answer against the command before it reaches the caller's
// buffer: it must echo the code and have the command's answer length.
int32_t check_data_answer(sio_handle_t port, uint8_t code, const uint8_t* answer, int32_t count) {
    if (answer[0] != code) {
        gl_msg_print("ur_writeUZ: recvd invalid resp  wanted %d  got %d\n", code, answer[0]);
        return ERR_UZ_RECV_FAILED;
    }
    const SystemInfo* si = ur_instrument_of(port);
    const uz_cmd_def_t* def = si != nullptr ? uz_find_command(si->instrBdType, code) : nullptr;
    const int32_t expected = def != nullptr ? def->respLen : 0;
    if (count != expected) {
        gl_msg_print("ur_writeUZ: answer length %d, expected %d\n", count, expected);
        return ERR_UZ_RECV_FAILED;
    }
    return NO_ERROR;
}

int32_t exchange(sio_handle_t port, int32_t len, uint8_t* buffer, bool dataExpected, bool checksumPresent) {
    if (buffer == nullptr || len < 2) return ERR_INVALID_PARAM;
    if (!checksumPresent) buffer[len] = uz_checksum(std::span<const uint8_t>(buffer + 1, static_cast<size_t>(len - 1)));
    const int32_t send_count = checksumPresent ? len : len + 1;
    const uint8_t code = buffer[1];

    uint8_t answer[UZ_MAX_ANSWER];
    int32_t count = 0;
    int32_t result = UZ_RESULT_NAK;
    for (int32_t i = 0; i < k_max_attempts && asks_resend(result); ++i) {
        int32_t sent = 0;
        if (sio_send_data(port, buffer, send_count, &sent) != 0) {
            gl_msg_print("ur_writeUZ: sio_send_data failed  i=%d  len=%d\n", i, send_count);
            return ERR_UZ_SEND_FAILED;
        }
        result = ur_readUZ(port, answer, dataExpected ? UZ_RESP_DATA : UZ_RESP_ACK, &count);
    }
    if (asks_resend(result)) return ERR_UZ_RECV_FAILED;
    if (result != NO_ERROR || !dataExpected) return result;
    if (int32_t err = check_data_answer(port, code, answer, count); err != NO_ERROR) return err;
    std::memcpy(buffer, answer, static_cast<size_t>(count));
    return NO_ERROR;
}

}  // namespace

int32_t ur_writeUZ(sio_handle_t port, int32_t len, uint8_t* buffer, bool dataExpected, bool checksumPresent) {
    const int32_t result = exchange(port, len, buffer, dataExpected, checksumPresent);
    if (result != NO_ERROR) {
        gl_msg_print("ur_writeUZ failed: cmd=%s\n", ur_cmd_str(port, buffer != nullptr && len >= 2 ? buffer[1] : 0));
    }
    return result;
}
