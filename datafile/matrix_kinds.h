// Matrix holders beyond the two data blocks: 32-bit float, 64-bit double
// and 16-bit matrices, the padded bottom-up byte matrix and the plain 2-D
// holder. Operations are named <kind>_init, _alloc, _resize, _free (see
// matrix_holder.h for the shared rules).
#pragma once

#include <cstdint>

#include "datafile/matrix_holder.h"

// A matrix of one element type; the kinds below differ only in it.
template <typename T>
struct typed_matrix {
    uint32_t size;
    int16_t x, y, width, height;
    T* matrix;
};

using float_matrix = typed_matrix<float>;
using double_matrix = typed_matrix<double>;
using u16_matrix = typed_matrix<uint16_t>;

// Bytes with every row padded to a multiple of 4, rows stored bottom up:
// point (px, py) is byte (height - 1 - (py - y)) * padded width + (px - x).
// `size` counts bytes.
using byte_matrix = typed_matrix<uint8_t>;

// A plain 2-D array without origin.
struct grid_f32 {
    uint32_t size;
    int16_t width, height;
    float* data;
};

void float_matrix_init(float_matrix* m);
int32_t float_matrix_alloc(float_matrix* m);
int32_t float_matrix_alloc_zero(float_matrix* m);
int32_t float_matrix_resize(float_matrix* m, const matrix_window* window, bool keep);
void float_matrix_free(float_matrix* m);

void double_matrix_init(double_matrix* m);
int32_t double_matrix_alloc(double_matrix* m);
int32_t double_matrix_alloc_zero(double_matrix* m);
int32_t double_matrix_resize(double_matrix* m, const matrix_window* window, bool keep);
// Widens the holder's window to multiples of 4 and resizes to it, keeping
// a larger allocation.
int32_t double_matrix_resize_aligned(double_matrix* m);
void double_matrix_free(double_matrix* m);

// A failed alloc clears size, width and height.
void u16_matrix_init(u16_matrix* m);
int32_t u16_matrix_alloc(u16_matrix* m);
int32_t u16_matrix_resize(u16_matrix* m, const matrix_window* window, bool keep);
void u16_matrix_free(u16_matrix* m);

void byte_matrix_init(byte_matrix* m);
int32_t byte_matrix_alloc(byte_matrix* m);
// Stores the new window; the previous one comes back when the new window
// has no elements (data released) or the allocation fails.
int32_t byte_matrix_resize(byte_matrix* m, const matrix_window* window, bool keep);
void byte_matrix_free(byte_matrix* m);
// Row length in bytes: width rounded up to a multiple of 4.
int32_t byte_matrix_stride(const byte_matrix* m);
// Byte offset of matrix point (px, py).
int64_t byte_matrix_offset(const byte_matrix* m, int32_t px, int32_t py);

void grid_f32_init(grid_f32* g);
// width x height 0: ERR_PARAM_OUT_OF_RANGE; failure clears size, width,
// height.
int32_t grid_f32_alloc(grid_f32* g);
int32_t grid_f32_resize(grid_f32* g, int16_t width, int16_t height, bool keep);
void grid_f32_free(grid_f32* g);

// Row table: one allocation holding `count` row pointers followed by
// `count` rows of a x b bytes; pointer i points at row i. Null for a total
// size of 0 or when memory cannot be had; release with gl_mem_free.
void** u_row_table_alloc(int32_t count, int32_t a, int32_t b);
// The same, refusing a 0 for any of count, a, b.
void** u_row_table_alloc_nonzero(int32_t count, int32_t a, int32_t b);
