// Size-limited log files.
#pragma once

#include <cstdint>

// Appends `text` (unchanged, no line end added) to the log file `path`.
// When the file has reached `max_size` bytes it is first cut to about its
// last `keep_size` bytes, starting at a line boundary. `max_size` 0 means no
// limit; a negative `max_size` writes nothing and only makes sure the file
// exists. Returns 0 or an error code.
int32_t u_log_to_file(const char* path, const char* text, int64_t max_size, int64_t keep_size);
