// Set-up and shut-down of the board port, and finding a port's instrument.
#include "seriallink/uz_link.h"

#include "errors/err_codes.h"
#include "errors/err_name.h"
#include "errors/msg.h"
#include "seriallink/uz_commands.h"
#include "util/dev_table.h"

namespace {

constexpr int32_t k_board_baud = 38400;

// Opens and configures the port; the handle is left in `*port` (invalid
// when the port could not be opened at all).
int32_t open_board_port(const SystemInfo& si, sio_handle_t* port) {
    if (!uz_is_serial_board(si.instrBdType)) return ERR_WRONG_INSTR_BOARD;
    if (int32_t err = sio_open(si.instrComm.c_str(), port); err != NO_ERROR) return err;
    if (int32_t err = sio_init(*port, nullptr); err != NO_ERROR) return err;
    if (int32_t err = sio_set_baud(*port, k_board_baud); err != NO_ERROR) return err;
    return sio_xonxoff_off(*port);
}

}  // namespace

SystemInfo* ur_instrument_of(sio_handle_t port) {
    if (port == SIO_INVALID_HANDLE) return nullptr;
    for (int32_t i = 0; i < kSysInfoSlots; ++i) {
        if (gl_sys_info[i].link.boardPort == port) return &gl_sys_info[i];
    }
    return nullptr;
}

int32_t ur_initUZ(SystemInfo* instrument) {
    if (instrument == nullptr) return ERR_UZ_COMM;
    sio_handle_t port = SIO_INVALID_HANDLE;
    int32_t err = open_board_port(*instrument, &port);
    if (err == NO_ERROR) err = dev_add_device(DEV_TYPE_SERIAL_1, port, instrument);
    if (err != NO_ERROR) {
        gl_msg_print("ur_initUZ: error initializing %s: %s\n", instrument->instrComm.c_str(), err_name(err));
        if (port != SIO_INVALID_HANDLE) sio_close(&port);
        return ERR_UZ_COMM;
    }
    instrument->link.boardPort = port;
    return NO_ERROR;
}

int32_t ur_closeUZ(sio_handle_t* port) {
    if (port == nullptr || *port == SIO_INVALID_HANDLE) return ERR_INVALID_PARAM;
    // The port is closed whatever the table says: a port left open here
    // would stay locked until the process ends.
    const int32_t unregistered = dev_remove_device(*port);
    const int32_t closed = sio_close(port);
    *port = SIO_INVALID_HANDLE;
    return unregistered != NO_ERROR ? unregistered : closed;
}

int32_t ur_clearUZ(sio_handle_t port) {
    if (sio_clear_buffer(port) != 0) {
        gl_msg_print("sio_clear_buffer failed.\n");
        return ERR_UZ_COMM;
    }
    return NO_ERROR;
}

const char* ur_cmd_str(sio_handle_t port, int32_t code) {
    const SystemInfo* si = ur_instrument_of(port);
    if (si == nullptr) return "INVALID_PARAM";
    const int32_t board = si->instrBdType;
    if (!uz_is_serial_board(board)) {
        gl_msg_print("ur_cmd_str: unknown instrBdType\n");
        return "";
    }
    if (const uz_cmd_def_t* def = uz_find_command(board, code); def != nullptr && def->name != nullptr) {
        return def->name;
    }
    // Board 6's table names no invalid command of its own.
    if (board == 6) return "DENEB_INVALID_CMD";
    return uz_command_table(board)[0].name;
}
