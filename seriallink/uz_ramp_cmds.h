// The board commands of the ramp operations, and the PZT gain, I/O write
// and supply-check commands: each picks the command of the instrument's
// board type by its name, encodes its packet and exchanges it.
//
// All of them need a serial board (1, 3, 6 or 7), else ERR_WRONG_INSTR_BOARD
// without sending; a command the board type does not have gives the same.
#pragma once

#include <cstdint>
#include <span>

#include "calibration/system_info.h"
#include "ramps/ramp_header.h"

// Points one RAMP_DATA block carries at most.
inline constexpr int32_t UZ_RAMP_DATA_MAX_POINTS = 512;
// Ramp IDs uz_ramp_request fills (the most slots of any board).
inline constexpr int32_t UZ_RAMP_REQUEST_IDS = 12;
// The I/O register addresses of WRITE_IO and READ_IO.
inline constexpr int32_t UZ_IO_FIRST_ADDRESS = 4096;
inline constexpr int32_t UZ_IO_LAST_ADDRESS = 6143;

// RAMP_LOAD: opens the upload of a ramp into `slot` with the header's
// rampID and polar (low bytes), nPoints, offset, trigStartAddr,
// trigEndAddr and updateRate (low 16 bits each).
int32_t uz_ramp_load(SystemInfo* instrument, uint8_t slot, const rr_ramp_hdr_t& hdr);

// RAMP_DATA: sends 1 to UZ_RAMP_DATA_MAX_POINTS points (else
// ERR_PARAM_OUT_OF_RANGE) in one transmission: the count packet, the points
// big-endian and the sum of their bytes. `status` gets the board's status
// byte (nonzero when the board did not take the block).
int32_t uz_ramp_data(SystemInfo* instrument, std::span<const uint16_t> points, uint8_t* status);

// RAMP_COMPLETE, RAMP_START, RAMP_DELETE.
int32_t uz_ramp_complete(SystemInfo* instrument);
int32_t uz_ramp_start(SystemInfo* instrument, uint8_t slot);
int32_t uz_ramp_delete(SystemInfo* instrument, uint8_t slot);

// RAMP_IDLE: `idle` gets the board's idle byte (nonzero when idle).
int32_t uz_ramp_idle(SystemInfo* instrument, uint8_t* idle);

// RAMP_REQUEST: fills `ids` with 0xFF, then with the ramp ID of each of
// the board's slots (12 on boards 1 and 7, 4 on boards 3 and 6; 0xFF empty).
int32_t uz_ramp_request(SystemInfo* instrument, uint8_t ids[UZ_RAMP_REQUEST_IDS]);

// RAMP_UPDATERATE (boards 1 and 7): a new update rate for the ramp in
// `slot`; the board's "invalid ramp index" status gives ERR_INVALID_RAMP_INDEX.
int32_t uz_ramp_updaterate(SystemInfo* instrument, uint8_t slot, uint16_t updateRate);

// PZT_SET (boards 1, 3, 6): the three drive gains; board 6 takes the first
// only.
int32_t uz_pzt_set(SystemInfo* instrument, const uint16_t gains[3]);

// PZT3_RAMP (board 3): the gains of the large-aperture drive; the other
// serial boards have none and succeed without sending.
int32_t uz_pzt3_ramp(SystemInfo* instrument, const uint16_t gains[3]);

// WRITE_IO: one byte to an I/O register, UZ_IO_FIRST_ADDRESS to
// UZ_IO_LAST_ADDRESS (else ERR_PARAM_OUT_OF_RANGE without sending).
int32_t uz_write_io(SystemInfo* instrument, int32_t address, uint8_t value);

// POWER_CHK: the board's supply check, its error byte decoded (and
// reported) by uz_board_error.
int32_t uz_power_chk(SystemInfo* instrument);
