// Field-by-field scanning of configuration lines.
//
// The scanners share one tokenizer state: a scanner given a line starts on
// that line, a scanner given no line continues with the next token of the
// line last given. One line is scanned at a time, by one thread. On failure
// a scanner composes an explanation into `message` (when given), ending
// with a line end.
#pragma once

#include <cstdint>

// Capacity a caller's message buffer needs for the number scanners.
inline constexpr int U_SCAN_MESSAGE_SIZE = 148;
// Capacity needed by u_scan_text: this plus the label's length.
inline constexpr int U_SCAN_TEXT_MESSAGE_BASE = 107;

// The next token as a decimal integer in [min, max]; INT32_MIN and
// INT32_MAX mean no limit (values beyond 32 bits are out of range anyway).
// A failed scan leaves 2147483647 in `value`. A non-null `keyword` must
// match the token loosely (strxcmp), else the scan fails silently.
bool u_scan_int(const char* line, const char* delimiters, const char* label, int32_t min, int32_t max,
                const char* keyword, char* message, int32_t* value);

// The next token as a real number in [min, max]; infinities mean no limit.
// NaN is refused whenever a limit is set. A failed scan leaves +infinity.
bool u_scan_real(const char* line, const char* delimiters, const char* label, double min, double max,
                 const char* keyword, char* message, double* value);

// The next token, at most `max_chars` characters, copied into `text`
// (which holds max_chars + 1).
bool u_scan_text(const char* line, const char* delimiters, const char* label, int max_chars, char* message,
                 char* text);

// Loose keyword comparison: colons in `a` count as blanks, blanks outside
// double quotes are ignored, case is ignored. 0 when they match, else -1/1.
int strxcmp(const char* a, const char* b);

// Removes every run of white space outside double quotes, in place; returns
// the number of characters removed.
int u_remove_blanks(char* text);
