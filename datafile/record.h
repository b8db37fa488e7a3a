// The identification part and the measurement header of one data file. Both
// are plain values owned by the caller; the ASCII reader fills them and the
// writers take them as they are.
#pragma once

#include <cstddef>
#include <cstdint>

// Identification of a data file (ASCII line 2; binary header offsets 10-47).
struct datafile_ident {
    int16_t l2_1;
    char l2_5[30];  // at most 29 characters and a terminating NUL
    int16_t l2_2;
    int16_t l2_3;
    int16_t l2_4;
};
static_assert(sizeof(datafile_ident) == 38);
static_assert(offsetof(datafile_ident, l2_2) == 32);

// The measurement header: binary header offsets 76 to 4095, one member per
// header position (see record_fields.inc), in header order and without gaps.
// Numbers are held in machine order; the binary writer converts them. The
// structure is packed, so several numbers are not aligned: read and assign
// them by value, never bind a pointer or reference to them.
#pragma pack(push, 1)
struct datafile_record {
#define KELM_RECORD_NUMBER(type, name, offset) type name;
#define KELM_RECORD_NUMBERS(type, name, count, offset) type name[count];
#define KELM_RECORD_NATIVE(type, name, offset) type name;
#define KELM_RECORD_TEXT(name, size, offset) char name[size];
#define KELM_RECORD_BYTES(name, size, offset) uint8_t name[size];
#include "datafile/record_fields.inc"
#undef KELM_RECORD_NUMBER
#undef KELM_RECORD_NUMBERS
#undef KELM_RECORD_NATIVE
#undef KELM_RECORD_TEXT
#undef KELM_RECORD_BYTES
};
#pragma pack(pop)

// Header offset of the record's first byte, and the header sizes.
inline constexpr size_t DATAFILE_RECORD_OFFSET = 76;
inline constexpr size_t DATAFILE_SHORT_HEADER_SIZE = 834;
inline constexpr size_t DATAFILE_LONG_HEADER_SIZE = 4096;

static_assert(sizeof(datafile_record) == DATAFILE_LONG_HEADER_SIZE - DATAFILE_RECORD_OFFSET);

// Every member sits at its header offset.
#define KELM_RECORD_AT(name, offset) \
    static_assert(offsetof(datafile_record, name) + DATAFILE_RECORD_OFFSET == (offset), #name);
#define KELM_RECORD_NUMBER(type, name, offset) KELM_RECORD_AT(name, offset)
#define KELM_RECORD_NUMBERS(type, name, count, offset) KELM_RECORD_AT(name, offset)
#define KELM_RECORD_NATIVE(type, name, offset) KELM_RECORD_AT(name, offset)
#define KELM_RECORD_TEXT(name, size, offset) KELM_RECORD_AT(name, offset)
#define KELM_RECORD_BYTES(name, size, offset) KELM_RECORD_AT(name, offset)
#include "datafile/record_fields.inc"
#undef KELM_RECORD_NUMBER
#undef KELM_RECORD_NUMBERS
#undef KELM_RECORD_NATIVE
#undef KELM_RECORD_TEXT
#undef KELM_RECORD_BYTES
#undef KELM_RECORD_AT
