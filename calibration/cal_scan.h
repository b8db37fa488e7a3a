// The calibration file's scanner: words, keywords, the class peek of
// optional values, and integers and reals with their range checks.
//
// Every function takes the line's status by reference and does nothing when
// it is already non-zero (returning no word, the "other" class, or 0), so a
// caller can chain its reads and test the status once.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "calibration/cal_lex.h"

// A character source that can put back one character: an open text file or
// the text of one setting line.
class CalStream {
public:
    explicit CalStream(FILE* file) : file_(file) {}
    explicit CalStream(std::string_view text) : text_(text) {}

    // The next character, or -1 at the end.
    int get();
    // Puts back the character last read (nothing for -1).
    void unget(int c);
    // Reads up to and including the next LF; false when the end came first.
    bool skip_line();

private:
    FILE* file_ = nullptr;
    std::string_view text_;
    size_t pos_ = 0;
};

// The next word (at most kCalWordMax characters; a quoted word at most
// kCalQuotedWordMax), or none with the status set: ERR_EOL at the line's end
// or a '#', ERR_EOF at the file's end (also inside a quoted word).
std::optional<std::string> cal_next_word(CalStream& in, int32_t& status);

// The next word as a keyword token: CAL_TOK_EOF, CAL_TOK_EOL (the status is
// left 0 for both), a vocabulary token, or CAL_TOK_UNRECOGNISED after the
// "Unrecognized token" message with ERR_SB_CALFILE_SYNTAX.
int32_t cal_next_keyword(CalStream& in, int32_t& status);

// Class of the next character that is not a blank or tab, left unread.
CalCharClass cal_peek_class(CalStream& in, int32_t& status);

// A decimal integer in [lo, hi], line ends before it skipped. The end of the
// input sets ERR_EOF; no integer ERR_SB_CALFILE_SYNTAX (no message); a value
// outside the range, 32-bit overflow included, prints the range message and
// sets ERR_SB_CALFILE_VALUE_RANGE. Failures return 0.
int32_t cal_read_int(CalStream& in, int32_t& status, int32_t lo, int32_t hi);

// A real in the range, each end closed or open; NaN is never in range.
double cal_read_real(CalStream& in, int32_t& status, double lo, double hi, bool lower_closed,
                     bool upper_closed);
inline double cal_read_real(CalStream& in, int32_t& status, double lo, double hi) {
    return cal_read_real(in, status, lo, hi, true, true);
}
