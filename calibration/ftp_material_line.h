// Taking apart the lines of the FTP materials file: the heading and the
// material lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "calibration/cal_subrecords.h"

// A numeric field of a material line (fields 2 to 8) and its limits.
struct FtpNumericField {
    const char* name;
    double lo;
    double hi;
};
inline constexpr int kFtpNumericFieldCount = 7;
extern const FtpNumericField kFtpNumericFields[kFtpNumericFieldCount];

enum class FtpHeading {
    None,         // not a heading line
    Valid,        // the title with "Format 1"
    Unsupported,  // the title with another format number
    NoFormat,     // the title without "Format" and a number
};

// Whether a '#' line is the file's heading; `format` receives the number
// given (for Unsupported).
FtpHeading ftp_check_heading(std::string_view line, int32_t& format);

// Why a material line was refused: the message and an optional detail
// (which carries its own tabs and line ends).
struct FtpLineError {
    std::string message;
    std::string detail;
};

// Parses a material line into `spec` (name, values and comment; the index
// is left to the caller). False with `error` filled for the first bad field.
bool ftp_parse_material_line(std::string_view line, MaterialSpec& spec, FtpLineError& error);
