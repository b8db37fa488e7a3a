// The command sets of the serial instrument boards (board types 1, 3, 6
// and 7): every command's code, name, request length and response length,
// the board events, and lookups by code or by the name a command has on
// every board ("RAMP_LOAD" finds UZ1_RAMP_LOAD_CMD, UZ2_RAMP_LOAD_CMD, ...).
// The library and the board simulator are both built from these tables.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The command codes, by their names (UZ1_MOTOR_MOVE_CMD, DENEB_SYSERR_CMD...).
#define UZ_CMD(board, code, name, request, response) inline constexpr uint8_t name = code;
#define UZ_CMD_UNNAMED(board, code, request, response)
#include "seriallink/uz_commands.inc"
#undef UZ_CMD
#undef UZ_CMD_UNNAMED

struct uz_cmd_def_t {
    int32_t board;      // instrBdType
    uint8_t code;
    const char* name;   // null for board 6's code 0
    uint8_t reqLen;     // 0: sent by the board only
    uint8_t respLen;    // 0: answered by an acknowledgement
};

// Whether `board` is one of the serial instrument boards 1, 3, 6 and 7.
bool uz_is_serial_board(int32_t board);

// The name prefix of the board's commands ("UZ1_", "UZ2_", "DENEB_",
// "FTP_"); empty for another board type.
std::string_view uz_board_prefix(int32_t board);

// The board's commands in code order (row i has code i); empty for a board
// type without a serial command set.
std::span<const uz_cmd_def_t> uz_command_table(int32_t board);

// The command with `code` on `board`, or null (also for a code outside the
// table).
const uz_cmd_def_t* uz_find_command(int32_t board, int32_t code);

// The command whose name is the board's prefix + `base` + "_CMD"
// (base "RAMP_LOAD"), or null when the board has no such command.
const uz_cmd_def_t* uz_find_command(int32_t board, std::string_view base);

// The name of `def` without the board's prefix and the "_CMD" ending
// ("RAMP_LOAD"); empty for an unnamed row.
std::string_view uz_command_base(const uz_cmd_def_t& def);

// Event codes that may come in place of an answer (the exchange reads on),
// and the codes an event reader accepts.
bool uz_is_interrupting_event(int32_t board, uint8_t code);
bool uz_is_accepted_event(int32_t board, uint8_t code);
