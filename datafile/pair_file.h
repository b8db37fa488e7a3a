// Coordinate-pair text files: one (x, y) pair per line.
#pragma once

#include <cstdint>

#include "datafile/vector_holder.h"

// Reads the pairs of a text file into `holder` (resized to the number of
// pairs). Lines starting with '#' are comments; lines without a token are
// skipped; a line's first two tokens (split at blanks, commas and tabs) are
// the pair, further tokens are ignored. ERR_CANT_OPEN_FILE (no message)
// when the file cannot be opened; ERR_CANT_READ_FILE, with a report naming
// the file and the offending line, for bad data; the holder is freed then.
int32_t u_read_pair_file(const char* path, vec_pair_f* holder);

// Writes the holder's pairs as "%13.6g %13.6g" lines.
int32_t u_write_pair_file(const char* path, const vec_pair_f* holder);
