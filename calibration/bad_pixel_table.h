// The camera bad-pixel table of a slot: one section per camera mode, each
// with its list of pixel coordinates.
//
// The pixel list is a vector holder of the data-file subsystem
// (size, count, data).
#pragma once

#include <cstdint>

#include "datafile/vector_holder.h"

struct BadPixelSection {
    int32_t grabMode;
    int32_t grabUnder;
    int16_t sizeX;
    int16_t sizeY;
    float grabRate;
    BadPixelList pixels;
};

struct BadPixelTable {
    BadPixelSection* sections;  // owned; obtained through the allocator hooks
    int32_t count;
};

// Most sections a table holds, and most pixels in one section.
inline constexpr int32_t kBadPixelMaxSections = 100;
inline constexpr int32_t kBadPixelMaxPixels = 8192;

// Frees every section's pixel list and the section array; the count
// becomes 0. A table already empty is left as it is.
void bad_pixel_table_release(BadPixelTable& table);
