// The holder-family resize operations of the two data blocks.
#pragma once

#include <cstdint>

#include "datafile/matrix.h"
#include "datafile/matrix_holder.h"

// Changes the window and frame count of an intensity block, reusing the
// allocation when it is large enough and `keep` allows (see
// matrix_holder.h).
int32_t intens_matrix_resize(intens_matrix* m, const matrix_window* window, int16_t buckets, bool keep);

int32_t phase_matrix_resize(phase_matrix* m, const matrix_window* window, bool keep);

// Widens the phase matrix's own window to multiples of 4 and resizes to
// it, keeping a larger allocation.
int32_t phase_matrix_resize_aligned(phase_matrix* m);
