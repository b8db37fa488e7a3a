// printf-style formatting into a std::string, for composing the messages of
// the calibration companion-file readers.
#pragma once

#include <string>

#include "errors/msg.h"

// The formatted text, whatever its length.
std::string text_format(const char* format, ...) KELM_PRINTF(1, 2);

// Copies `text` into `out` (room for `size` characters including the
// terminator), cutting it when it does not fit. Does nothing without room.
void text_copy_bounded(const std::string& text, char* out, size_t size);
