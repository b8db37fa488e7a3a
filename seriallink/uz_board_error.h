// The error byte of a serial instrument board: each board type numbers its
// faults in its own way.
#pragma once

#include <cstdint>

// The library error code for the board's error byte: 0 for byte 0; the
// code of the board's table, reporting "Error: <text>" when `report` is
// set; ERR_UNKNOWN for a byte the board type does not list (or another
// board type), reporting "Error: Unrecognized instrument board error %d".
int32_t uz_board_error(uint8_t errorByte, int32_t board, bool report);

// The board's text for the error byte, or null when the byte is not listed.
const char* uz_board_error_text(uint8_t errorByte, int32_t board);
