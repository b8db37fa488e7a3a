// Typed arrays: an array whose element type is chosen at run time by a type
// code, with the type's no-data value beside it.
//
//   code  element          no-data value
//   0     signed 8-bit     127
//   1     unsigned 8-bit   255
//   2     signed 16-bit    32767
//   3     unsigned 16-bit  65535
//   4, 6  signed 32-bit    2147483647
//   5, 7  unsigned 32-bit  4294967295
//   8     float            3.4028235e38 (largest finite)
//   9     double           +infinity
#pragma once

#include <cstdint>

struct typed_array {
    void* data;
    int32_t type;       // type code 0..9
    int32_t count;      // elements
    int32_t elem_size;  // bytes per element
    void* no_data;      // one element holding the no-data value
};

struct typed_array2d {
    void* data;
    int32_t type;
    int32_t count;  // columns x rows
    int32_t elem_size;
    void* no_data;
    int32_t x, y, width, height;  // window (0, 0, columns, rows)
    void** rows;                  // row i starts at data + i * columns * elem_size
};

// Null for n <= 0, an unknown type code or when memory cannot be had.
typed_array* typed_array_create(int32_t n, int32_t type);
// The same with zero-filled data.
typed_array* typed_array_create_zero(int32_t n, int32_t type);
// Releases the array; null is ignored.
void typed_array_destroy(typed_array* a);

typed_array2d* typed_array2d_create(int32_t columns, int32_t rows, int32_t type);
typed_array2d* typed_array2d_create_zero(int32_t columns, int32_t rows, int32_t type);
void typed_array2d_destroy(typed_array2d* a);

// Element size of a type code; 0 for an unknown code.
int32_t typed_array_elem_size(int32_t type);
