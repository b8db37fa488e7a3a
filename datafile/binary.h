// The binary data file: a big-endian header of 834 or 4096 bytes, then the
// intensity and phase values as big-endian numbers.
#pragma once

#include <cstdint>
#include <cstdio>

#include "datafile/matrix.h"
#include "datafile/record.h"

// Magic numbers of the three header formats.
inline constexpr uint32_t DATAFILE_MAGIC_FORMAT1 = 0x881B036F;
inline constexpr uint32_t DATAFILE_MAGIC_FORMAT2 = 0x881B0370;
inline constexpr uint32_t DATAFILE_MAGIC_FORMAT3 = 0x881B0371;

// Creates (or truncates) the binary file at `path` (library path
// convention) and writes the data set into it. ERR_CANT_CREATE_FILE when it
// cannot be created; otherwise the result of datafile_write_binary_stream
// (the file stays whatever the result).
int32_t datafile_write_binary(const char* path, const datafile_ident* ident, const datafile_record* record,
                              const intens_matrix* intens, const phase_matrix* phase);

// Writes one data set at the end of an open binary stream. `ident` and
// `record` may be absent (zeros; header format 1). A matrix takes part only
// when it is given and holds its array. The caller's arrays are never
// modified. Errors: ERR_INVALID_PARAM (no block takes part, or a block's
// dimensions exceed its stated size; nothing written), ERR_CANT_WRITE_FILE,
// ERR_NO_MEM.
int32_t datafile_write_binary_stream(FILE* stream, const datafile_ident* ident, const datafile_record* record,
                                     const intens_matrix* intens, const phase_matrix* phase);

namespace kelm::datafile {

// The header format (1, 2 or 3) the writer chooses for a record.
int binary_header_format(const datafile_record* record);

}  // namespace kelm::datafile
