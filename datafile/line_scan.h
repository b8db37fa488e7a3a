// Reads the values of one header line of the ASCII data file with a
// scanf-style format, as the scanf family would, except that a number out of
// its conversion's range fails instead of wrapping.
//
// The format understands: "%hd" (signed 16-bit), "%d" (signed 32-bit), "%f"
// (32-bit float, strtof's syntax: sign, digits, point, exponent, inf, nan),
// "%Nc" (exactly N characters taken as they are), a blank (any run of
// whitespace, none included) and any other character (must match itself).
#pragma once

#include <cstdint>

namespace kelm::datafile {

struct ScannedValue {
    int32_t integer = 0;  // %hd and %d
    float real = 0;       // %f
    const char* text = nullptr;  // %Nc: points into the line, N characters
};

// Scans NUL-terminated `line` with `format` into at most `capacity` values
// and returns how many were assigned before the first failure.
int scan_line(const char* line, const char* format, ScannedValue* values, int capacity);

}  // namespace kelm::datafile
