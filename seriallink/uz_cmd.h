// Command helpers: one exchange with the instrument's board for a command
// with no parameter, one byte, or one big-endian 16- or 32-bit parameter,
// answered by an acknowledgement, and for a query answered by data.
//
// `reqLen` is the command's request length from the board's table; it must
// be 2 plus the parameter's size (ERR_INVALID_PARAM before anything is
// sent). Every helper needs a serial board (1, 3, 6 or 7), else
// ERR_WRONG_INSTR_BOARD without sending; link errors are ur_writeUZ's.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "calibration/system_info.h"
#include "seriallink/uz_commands.h"

int32_t uz_cmd(SystemInfo* instrument, uint8_t code, int32_t reqLen);
int32_t uz_cmd_u8(SystemInfo* instrument, uint8_t code, uint8_t value, int32_t reqLen);
int32_t uz_cmd_u16(SystemInfo* instrument, uint8_t code, uint16_t value, int32_t reqLen);
int32_t uz_cmd_u32(SystemInfo* instrument, uint8_t code, uint32_t value, int32_t reqLen);

// Sends a command without parameters and expects data. On success
// `buffer` holds the echoed code at index 0, the values from index 1 and
// the checksum last: the command's answer length in all, which `buffer`
// must hold.
int32_t uz_query(SystemInfo* instrument, uint8_t code, uint8_t* buffer, int32_t reqLen);

// The general form: sends `code` with `params` (already big-endian) and
// expects data when `answer` is given (then as uz_query fills its buffer).
int32_t uz_exchange(SystemInfo* instrument, uint8_t code, std::span<const uint8_t> params, int32_t reqLen,
                    uint8_t* answer);

// The instrument's command named `base` ("RAMP_LOAD"): ERR_WRONG_INSTR_BOARD
// when the instrument's board is no serial board or has no such command.
int32_t uz_command_of(const SystemInfo* instrument, std::string_view base, const uz_cmd_def_t** def);
