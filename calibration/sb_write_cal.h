// sb_writeCal: saves one SystemInfo slot as a system calibration file.
#pragma once

#include <cstdint>

// slot: 0..3. path: the destination; null or empty means the default
// calibration file (the computer's name, a point and the slot's
// calFileDigit) in the configuration directory, or in "./" without one.
// The file is written to a temporary file in the destination's folder and
// renamed over the destination only when every line could be produced: the
// destination is replaced whole or left as it was, and no temporary file
// stays behind.
int32_t sb_writeCal(int32_t slot, const char* path);
