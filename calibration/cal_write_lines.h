// The lines of a calibration file written from a slot, in the writer's
// order and layout. Keys, names and values come from the setting-line
// table; each line's emission condition and format are the writer's own.
#pragma once

#include <cstdint>
#include <cstdio>

#include "calibration/system_info.h"

// Writes every line to `out`. A slot that cannot be described completely
// (system, camera or light type without a name, a CAN board without its
// information record) reports each problem through cal_write_error naming
// `destination` and gives its code; the other lines are still written.
int32_t cal_write_lines(FILE* out, SystemInfo& si, const char* destination);
