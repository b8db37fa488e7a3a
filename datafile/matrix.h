// The two data blocks of a data file: 16-bit intensity frames and 32-bit
// phase values. A matrix owns the array its `matrix` points to; the array is
// obtained and released through the allocator hooks.
#pragma once

#include <cstdint>

// Marks a phase point without data: a value of this or more.
inline constexpr int32_t PHASE_NO_DATA = 2147483640;

struct intens_matrix {
    uint32_t size;  // elements allocated; 0 when no data is held
    int16_t x;      // block origin, column (carried)
    int16_t y;      // block origin, row (carried)
    int16_t width;  // columns per frame
    int16_t height;  // rows per frame
    int16_t n_buckets;  // number of frames
    int16_t aux;        // carried
    uint16_t* matrix;   // n_buckets x width x height values in file order; null when absent
};

struct phase_matrix {
    uint32_t size;  // elements allocated; 0 when no data is held
    int16_t x;
    int16_t y;
    int16_t width;
    int16_t height;
    int32_t* matrix;  // width x height values in file order; null when absent
};

// Allocates n_buckets x width x height elements (uninitialised). Expects a
// matrix that holds no array. ERR_PARAM_OUT_OF_RANGE for a count of 0;
// ERR_NO_MEM (size and dimensions set to 0) when memory cannot be had.
int32_t intens_matrix_alloc(intens_matrix* m);
// Releases the array; zeroes size, n_buckets, width and height. x, y and
// aux keep their values.
void intens_matrix_free(intens_matrix* m);

// Allocates width x height elements. ERR_PARAM_OUT_OF_RANGE for a count of
// 0; ERR_NO_MEM (dimensions kept) when memory cannot be had.
int32_t phase_matrix_alloc(phase_matrix* m);
// Releases the array; zeroes size, width and height.
void phase_matrix_free(phase_matrix* m);

// Element counts as the dimensions give them (exact, never wrapped; zero or
// negative when the dimensions say so).
int64_t intens_element_count(const intens_matrix& m);
int64_t phase_element_count(const phase_matrix& m);
