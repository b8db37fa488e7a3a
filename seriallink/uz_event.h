// Events the instrument board sends on its own: accessory positions,
// function keys, alignment view and ring/spot changes.
#pragma once

#include <cstdint>

#include "calibration/system_info.h"

// Board events as uz_read_event reports them.
inline constexpr int32_t UZ_EVENT_ZOOM_POSITION = 0;     // board 1, code 155: value = byte - 1
inline constexpr int32_t UZ_EVENT_TURRET_POSITION = 1;   // board 1, code 156: value = byte - 1
inline constexpr int32_t UZ_EVENT_FKEY = 0;              // boards 3, 6, 7, code 135: 2, 8, 9 or 12
inline constexpr int32_t UZ_EVENT_ALIGN_VIEW = 1;        // code 155: 0 or 1
inline constexpr int32_t UZ_EVENT_RING_SPOT = 2;         // code 157: 0 or 1
inline constexpr int32_t UZ_EVENT_FKEY_2 = 10;           // code 129: 102, 108, 109 or 112
inline constexpr int32_t UZ_EVENT_ALIGN_VIEW_2 = 11;     // code 139: 0 or 1

// Waits (the first-byte time-out of the link) for one board event and
// decodes it into `kind` and `value`. Packets that are no accepted event
// are skipped, up to two; a value the event does not have gives
// ERR_UZ_RECV_FAILED. Needs a serial board (else ERR_WRONG_INSTR_BOARD).
int32_t uz_read_event(SystemInfo* instrument, int32_t* kind, int32_t* value);

// Decodes an event packet's code and value byte for `board`; false when
// the code or the value is not one of the board's.
bool uz_decode_event(int32_t board, uint8_t code, uint8_t byte, int32_t* kind, int32_t* value);
