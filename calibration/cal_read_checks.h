// What the calibration reader does after the last line of a clean read:
// the completeness checks, the derived light-level ranges, and the
// corrections of accessories the instrument cannot have.
#pragma once

#include <cstdint>

#include "calibration/system_info.h"

// Runs the checks in order; the first that fails prints its message and
// gives ERR_SB_CALFILE_INCOMPLETE (ERR_SB_CALFILE_INVALID for a bad-pixel
// list given twice). Some checks only print a notice. `given` holds the
// CalGiven bits of the read, `light_values` the values Light lines gave.
int32_t cal_check_complete(const SystemInfo& si, uint16_t given, int32_t light_values);

// Fills the light-level-controller ranges by board type; `llc_pairs` is the
// number of pairs the file's LLC Range line gave (0, 1 or 2).
void cal_derive_llc_ranges(SystemInfo& si, int32_t llc_pairs);

// Clears a motorized zoom or turret that the instrument cannot drive,
// printing why through the reader's error printer.
void cal_correct_accessories(SystemInfo& si);

// Whether the instrument has a dual-brush-motor board: a CAN board with
// system type 11 or 13 always has one; with 22, 28, 29, 31, 34 or 35 when
// dualBrushMotor is set.
bool sb_has_dual_brush_motor_board(const SystemInfo& si);
