// Vector holders: a growable array with its allocated size and the number
// of elements in use. Memory comes from the allocator hooks.
//
// Every kind has the same four operations, named <kind>_init, _alloc,
// _resize and _free:
//   init(v)              sets every field to zero;
//   alloc(v)             allocates `count` elements (0: ERR_PARAM_OUT_OF_RANGE;
//                        failure: ERR_NO_MEM with size 0);
//   resize(v, n, keep)   makes `count` n, reallocating when n exceeds `size`
//                        or, without `keep`, when n is below it; n = 0
//                        releases the data; a failed reallocation gives
//                        ERR_NO_MEM and leaves size, count and data empty;
//   free(v)              releases the data; size and count become 0.
#pragma once

#include <cstdint>

// One camera bad pixel.
struct BadPixel {
    int32_t x;
    int32_t y;
    int32_t value;
};
static_assert(sizeof(BadPixel) == 12);

struct point3f {
    float x, y, z;
};
static_assert(sizeof(point3f) == 12);

struct point3i {
    int32_t x, y, z;
};
static_assert(sizeof(point3i) == 12);

// A coordinate pair, as in coordinate-pair files.
struct pair_f {
    float x, y;
};
static_assert(sizeof(pair_f) == 8);

struct pair_i {
    int32_t x, y;
};
static_assert(sizeof(pair_i) == 8);

template <typename T>
struct vector_holder {
    uint32_t size;   // elements allocated; 0 when nothing is allocated
    uint32_t count;  // elements in use
    T* data;         // null when nothing is allocated
};

// The kinds of the family, by element size.
using BadPixelList = vector_holder<BadPixel>;  // 12 bytes: camera bad pixels
using vec_point3f = vector_holder<point3f>;    // 12 bytes
using vec_point3i = vector_holder<point3i>;    // 12 bytes
using vec_pair_f = vector_holder<pair_f>;      // 8 bytes: coordinate pairs
using vec_f64 = vector_holder<double>;         // 8 bytes: CAN node and position readings
using vec_pair_i = vector_holder<pair_i>;      // 8 bytes
using vec_i32 = vector_holder<int32_t>;        // 4 bytes
using vec_f32 = vector_holder<float>;          // 4 bytes
using vec_u16 = vector_holder<uint16_t>;       // 2 bytes
using vec_u8 = vector_holder<uint8_t>;         // 1 byte: wave-monitor answers

#define KELM_DECLARE_VECTOR_OPS(kind)                              \
    void kind##_init(kind* v);                                     \
    int32_t kind##_alloc(kind* v);                                 \
    int32_t kind##_resize(kind* v, uint32_t count, bool keep);     \
    void kind##_free(kind* v);

KELM_DECLARE_VECTOR_OPS(BadPixelList)
KELM_DECLARE_VECTOR_OPS(vec_point3f)
KELM_DECLARE_VECTOR_OPS(vec_point3i)
KELM_DECLARE_VECTOR_OPS(vec_pair_f)
KELM_DECLARE_VECTOR_OPS(vec_f64)
KELM_DECLARE_VECTOR_OPS(vec_pair_i)
KELM_DECLARE_VECTOR_OPS(vec_i32)
KELM_DECLARE_VECTOR_OPS(vec_f32)
KELM_DECLARE_VECTOR_OPS(vec_u16)
KELM_DECLARE_VECTOR_OPS(vec_u8)
#undef KELM_DECLARE_VECTOR_OPS

// A vector of owned pointers: each non-null entry is its own allocation
// from the hooks.
struct ptr_vector {
    int32_t count;
    void** data;
};

void ptr_vector_init(ptr_vector* v);
// Allocates `count` null entries (count below 1: ERR_PARAM_OUT_OF_RANGE;
// failure: ERR_NO_MEM with count 0).
int32_t ptr_vector_alloc(ptr_vector* v);
// Releases every non-null entry, then the array; count becomes 0.
void ptr_vector_free(ptr_vector* v);
