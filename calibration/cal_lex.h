// Lexical rules of the calibration file shared by its reader and writer:
// the character classes of the optional-value peek, the range messages, the
// failure texts with the codes they set, and the fixed texts of the format.
#pragma once

#include <cstdint>

#include "errors/err_codes.h"

// The comment line the writer puts first.
inline constexpr const char* kCalFileHeaderLine = "# Kelm System Calibration File";
// The writer pads every key to this width ("%-*s") before two blanks.
inline constexpr int32_t kCalKeyWidth = 22;

// Class of the next character that is not a blank or tab, which decides
// whether an optional value follows.
enum CalCharClass : int32_t {
    CAL_CLASS_END = 0,      // LF, CR, '#' or end of file: the line is over
    CAL_CLASS_NUMBER = 1,   // digit, '-' or '.'
    CAL_CLASS_WORD = 2,     // letter
    CAL_CLASS_BRACKET = 3,  // '['
    CAL_CLASS_COLON = 4,    // ':'
    CAL_CLASS_OTHER = 5,
};

// Classifies one character; `c` < 0 stands for the end of the file.
constexpr CalCharClass cal_char_class(int c) {
    if (c < 0 || c == '\n' || c == '\r' || c == '#') return CAL_CLASS_END;
    if ((c >= '0' && c <= '9') || c == '-' || c == '.') return CAL_CLASS_NUMBER;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return CAL_CLASS_WORD;
    if (c == '[') return CAL_CLASS_BRACKET;
    if (c == ':') return CAL_CLASS_COLON;
    return CAL_CLASS_OTHER;
}

// Whether a character ends an unquoted word, and whether it forms a
// one-character word when it begins one.
constexpr bool cal_is_blank(int c) { return c == ' ' || c == '\t'; }
constexpr bool cal_is_single_char_word(int c) { return c == ',' || c == ':' || c == '[' || c == ']'; }

// Range messages; real ranges name which ends are open.
inline constexpr const char* kCalIntRangeFormat = "%d out of range [%d,%d]";
constexpr const char* cal_real_range_format(bool lower_closed, bool upper_closed) {
    if (lower_closed) return upper_closed ? "%g out of range [%g,%g]" : "%g out of range [%g,%g)";
    return upper_closed ? "%g out of range (%g,%g]" : "%g out of range (%g,%g)";
}

// A failure of a setting line: the message and the code it sets.
// Ordering messages set no code: the line is skipped and the read fails at
// its end because a message was issued.
struct CalFailure {
    const char* text;
    int32_t code;
};

inline constexpr CalFailure kCalUnexpectedToken{"Unexpected token.", ERR_SB_CALFILE_SYNTAX};
inline constexpr CalFailure kCalUnexpectedEol{"Unexpected end-of-line.", ERR_SB_CALFILE_SYNTAX};
inline constexpr CalFailure kCalUnexpectedEof{"Unexpected end-of-file.", ERR_SB_CALFILE_SYNTAX};
inline constexpr CalFailure kCalSyntaxError{"Syntax error.", ERR_SB_CALFILE_SYNTAX};
inline constexpr CalFailure kCalExpectedNumber{"Expected number.", ERR_SB_CALFILE_SYNTAX};
inline constexpr CalFailure kCalExpectedNonNumeric{"Expected non-numeric string.", ERR_SB_CALFILE_SYNTAX};
inline constexpr CalFailure kCalUnrecognizedString{"Unrecognized string.", ERR_SB_CALFILE_SYNTAX};
inline constexpr CalFailure kCalTooManyCameraFiles{"Too many camera file names.", ERR_SB_CALFILE_SYNTAX};
inline constexpr CalFailure kCalTooManyMags{"Too many NomMag or SysMag values.", ERR_SB_CALFILE_SYNTAX};
inline constexpr CalFailure kCalTooManyStdMags{"Too many VegaEncZoomStdMag values.", ERR_SB_CALFILE_SYNTAX};
inline constexpr CalFailure kCalTooManyFtpValues{"Too many FTPDisper or FTPAvg_K0 values.",
                                                 ERR_SB_CALFILE_SYNTAX};
inline constexpr CalFailure kCalNotEnoughFtpValues{"Not enough FTPDisper or FTPAvg_K0 values.",
                                                   ERR_SB_CALFILE_SYNTAX};
inline constexpr CalFailure kCalNoWavelength{"At least one wavelength value required.",
                                             ERR_SB_CALFILE_SYNTAX};
inline constexpr CalFailure kCalTooManyBadPixels{"Too many camera bad pixels.",
                                                 ERR_SB_CALFILE_VALUE_RANGE};
inline constexpr CalFailure kCalDurationRange{"Value out-of-range.", ERR_SB_CALFILE_VALUE_RANGE};
inline constexpr CalFailure kCalBetaRange{"Beta = %g is non-zero and is not in range [%g,%g]",
                                          ERR_SB_CALFILE_VALUE_RANGE};
inline constexpr CalFailure kCalRangeOrZero{"%d out of range [%d,%d] and 0", ERR_SB_CALFILE_VALUE_RANGE};
inline constexpr CalFailure kCalMagMismatch{
    "The number of NomMag values and\nthe number of SysMag values are mismatched.",
    ERR_SB_CALFILE_INCONSISTENT};
inline constexpr CalFailure kCalOrderCameraTrans{
    "A NomMag or SysMag specification must appear\nbefore a Camera Trans specification.", NO_ERROR};
inline constexpr CalFailure kCalOrderFtpDisper{
    "A NomMag or SysMag specification must appear\nbefore an FTPDisper or FTPAvg_K0 specification.",
    NO_ERROR};
inline constexpr CalFailure kCalOrderFtpDmiCenter{
    "A NomMag or SysMag specification must appear\nbefore an FTPDmiCenter specification.", NO_ERROR};
inline constexpr CalFailure kCalOrderFtpTiltCenter{
    "A NomMag or SysMag specification must appear\nbefore an FTPTiltCenter specification.", NO_ERROR};
