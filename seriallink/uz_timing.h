// How long the board link waits for the first byte of an answer. The board
// may take its time before it answers; once it starts, the port's own
// time-outs apply to the rest of the packet.
#pragma once

#include <cstdint>

inline constexpr uint32_t UZ_FIRST_BYTE_TIMEOUT_MS = 10000;

// The wait for the first byte in force; tests shorten it so a silent
// board costs little real time (the serial line runs on the real clock).
uint32_t ur_first_byte_timeout_ms();
// Sets it; 0 restores UZ_FIRST_BYTE_TIMEOUT_MS.
void ur_set_first_byte_timeout_ms(uint32_t ms);
