// Relations between matrix windows. A window covers columns x to
// x + width - 1 and rows y to y + height - 1.
#pragma once

#include <cstdint>

#include "datafile/matrix_holder.h"

// Results of wn_compare.
inline constexpr int32_t WN_DISJOINT = 1;
inline constexpr int32_t WN_EQUAL = 2;
inline constexpr int32_t WN_OVERLAP = 3;
inline constexpr int32_t WN_INSIDE = 4;    // a lies inside b
inline constexpr int32_t WN_CONTAINS = 5;  // a contains b

// Relation of window `a` to window `b`, tested in the order: disjoint,
// equal, inside, contains, overlap.
int32_t wn_compare(const matrix_window* a, const matrix_window* b);

// The common part of two windows into `out`; ERR_WINDOWS_DISJOINT (out
// unchanged) when they share no point.
int32_t wn_intersect(const matrix_window* a, const matrix_window* b, matrix_window* out);
