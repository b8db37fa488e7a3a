// The ASCII data file: a fixed sequence of header lines, then the intensity
// and phase values as decimal numbers. Format 1 and format 2 (one more header
// line) are read; format 2 is written.
#pragma once

#include <cstdint>
#include <cstdio>

#include "datafile/matrix.h"
#include "datafile/record.h"

// Reads the ASCII data file at `path` (library path convention) into the
// four parts of a data set. `ident` and `record` are required; an absent
// matrix is neither parsed nor filled. On failure prints
// "-***- Error in Line %d -***-\n", frees both given matrices and returns
// ERR_CANT_OPEN_FILE, ERR_PREMATURE_EOF, ERR_UNKNOWN_ASCII_FORMAT_TYPE,
// ERR_CORRUPT_DATA_FILE, ERR_NO_MEM or ERR_CANT_READ_FILE.
int32_t datafile_read_ascii(const char* path, datafile_ident* ident, datafile_record* record,
                            intens_matrix* intens, phase_matrix* phase);

// Writes a data set as an ASCII data file of format 2. At least one matrix
// must be given (ERR_INVALID_PARAM otherwise, no file created).
// ERR_CANT_CREATE_FILE when the file cannot be created, ERR_CANT_WRITE_FILE
// when a value cannot be written.
int32_t datafile_write_ascii(const char* path, const datafile_ident* ident, const datafile_record* record,
                             const intens_matrix* intens, const phase_matrix* phase);

// Removes leading and trailing blanks, tabs and LFs from `text` in place and
// returns how many characters it removed.
int32_t u_trim(char* text);

namespace kelm::datafile {

// Writes a data set as an ASCII data file of `format` 1 or 2 to an open text
// stream (format 1 leaves out line 14). Same rules and results as
// datafile_write_ascii after the file is created; for test and sample data
// generators that need either format.
int32_t write_ascii_stream(FILE* stream, int format, const datafile_ident* ident,
                           const datafile_record* record, const intens_matrix* intens,
                           const phase_matrix* phase);

}  // namespace kelm::datafile
