// sb_readCal: fills one SystemInfo slot from the system calibration file,
// resets it, or applies one setting line given as text.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// slot: 0..3. source:
//  - null or empty: the default calibration file, the computer's name, a
//    point and the slot's calFileDigit, found in the current directory or
//    the configuration directory;
//  - "+DEFAULTS": the slot is reset with sb_resetCal;
//  - any other text beginning with '+': the one setting line after the '+'
//    is applied to the slot as it is (no reset, no final checks);
//  - otherwise the path of a calibration file.
// A file read resets the slot first, reads every line, then checks that the
// description is complete and fills the derived values.
int32_t sb_readCal(int32_t slot, const char* source);

// Resolves and opens a calibration file for reading: an empty `path` means
// the default name for `digit`. On success `resolved` holds the path found
// (whole, never cut) and `*stream` the open text stream.
int32_t cal_open(const char* path, int32_t digit, std::string& resolved, FILE** stream);
