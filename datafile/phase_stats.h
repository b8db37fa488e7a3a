// Statistics of the valid points of a 32-bit matrix, and the export of its
// valid points as normalised values for plotting tools. Values of
// PHASE_NO_DATA (2147483640) or more mark points without data and are
// skipped.
#pragma once

#include <cstdint>

#include "datafile/matrix.h"
#include "datafile/matrix_holder.h"

struct matrix_stats_t {
    int32_t pv;      // peak - valley
    int32_t peak;    // largest valid value (first in row order)
    int32_t valley;  // smallest valid value (first in row order)
    double mean;
    int16_t peak_x, peak_y;
    int16_t valley_x, valley_y;
    int32_t npoints;  // number of valid values
};

// Statistics over `window` (null: the matrix's own window), which must
// equal the matrix's window or lie inside it (ERR_IMPROPER_WINDOW).
// ERR_ALL_BAD_DATA without a valid value; ERR_PEAKVAL_OVERFLOW when
// peak - valley does not fit 32 bits.
int32_t matrix_stats(const phase_matrix* matrix, const matrix_window* window, matrix_stats_t* stats);

// Writes the point count, one "column row scaled" line per valid point
// (value scaled to 0..1 between valley and peak), then the valley and
// peak - valley. When all valid values are equal every scaled value is 0.
int32_t datafile_write_phase_points(const char* path, const phase_matrix* matrix);
