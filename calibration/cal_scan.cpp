#include "calibration/cal_scan.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "calibration/bounded_text.h"
#include "calibration/cal_read_error.h"
#include "calibration/cal_vocab.h"
#include "errors/err_codes.h"

int CalStream::get() {
    if (file_ != nullptr) {
        const int c = std::getc(file_);
        return c == EOF ? -1 : c;
    }
    if (pos_ >= text_.size()) return -1;
    return static_cast<unsigned char>(text_[pos_++]);
}

void CalStream::unget(int c) {
    if (c < 0) return;
    if (file_ != nullptr) {
        std::ungetc(c, file_);
    } else if (pos_ > 0) {
        --pos_;
    }
}

bool CalStream::skip_line() {
    for (;;) {
        const int c = get();
        if (c < 0) return false;
        if (c == '\n') return true;
    }
}

namespace {

// Blanks, tabs and line ends a number may be preceded by.
bool is_space(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool is_digit(int c) { return c >= '0' && c <= '9'; }

// Skips the white space before a number; false (ERR_EOF) at the end.
bool skip_space(CalStream& in, int32_t& status) {
    int c;
    do {
        c = in.get();
    } while (is_space(c));
    if (c < 0) {
        status = ERR_EOF;
        return false;
    }
    in.unget(c);
    return true;
}

// Longest numeric lexeme the reader takes; a longer one is refused.
constexpr size_t kMaxNumberText = 400;

}  // namespace

std::optional<std::string> cal_next_word(CalStream& in, int32_t& status) {
    if (status != 0) return std::nullopt;
    int c;
    do {
        c = in.get();
    } while (cal_is_blank(c) || c == '\r');
    if (c == '\n') {
        in.unget(c);
        status = ERR_EOL;
        return std::nullopt;
    }
    if (c == '#') {
        status = ERR_EOL;
        return std::nullopt;
    }
    if (c < 0) {
        status = ERR_EOF;
        return std::nullopt;
    }
    std::string word;
    if (cal_is_single_char_word(c)) return std::string(1, static_cast<char>(c));
    const bool quoted = c == '"';
    if (!quoted) word.push_back(static_cast<char>(c));
    for (size_t n = 0; n < kCalQuotedWordMax; ++n) {
        c = in.get();
        if (c < 0) {
            if (quoted) status = ERR_EOF;
            break;
        }
        if (!quoted && cal_is_blank(c)) break;
        if (c == '"') break;
        if (c == '\r') continue;
        if (c == '\n') {
            in.unget(c);
            if (quoted) status = ERR_EOL;
            break;
        }
        word.push_back(static_cast<char>(c));
    }
    if (status != 0) return std::nullopt;
    return word;
}

int32_t cal_next_keyword(CalStream& in, int32_t& status) {
    if (status != 0) return CAL_TOK_UNRECOGNISED;
    const std::optional<std::string> word = cal_next_word(in, status);
    if (status == ERR_EOF) {
        status = 0;
        return CAL_TOK_EOF;
    }
    if (status == ERR_EOL) {
        status = 0;
        return CAL_TOK_EOL;
    }
    const int32_t token = cal_token_of(*word);
    if (token < 0) {
        cal_read_error("Unrecognized token \"%s\"", word->c_str());
        status = ERR_SB_CALFILE_SYNTAX;
        return CAL_TOK_UNRECOGNISED;
    }
    return token;
}

CalCharClass cal_peek_class(CalStream& in, int32_t& status) {
    if (status != 0) return CAL_CLASS_OTHER;
    int c;
    do {
        c = in.get();
    } while (cal_is_blank(c));
    in.unget(c);
    return cal_char_class(c);
}

int32_t cal_read_int(CalStream& in, int32_t& status, int32_t lo, int32_t hi) {
    if (status != 0 || !skip_space(in, status)) return 0;
    int c = in.get();
    const bool negative = c == '-';
    if (c == '-' || c == '+') c = in.get();
    if (!is_digit(c)) {
        in.unget(c);
        status = ERR_SB_CALFILE_SYNTAX;
        return 0;
    }
    // Past 18 digits the magnitude stops growing: it is outside every range
    // already, and one more digit cannot overflow.
    constexpr int64_t kCap = 100000000000000000;  // 1e17
    int64_t value = 0;
    for (; is_digit(c); c = in.get()) {
        if (value < kCap) value = value * 10 + (c - '0');
    }
    in.unget(c);
    if (negative) value = -value;
    if (value < lo || value > hi) {
        if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max()) {
            cal_read_error(kCalIntRangeFormat, static_cast<int>(value), lo, hi);
        } else {
            cal_read_error("%lld out of range [%d,%d]", static_cast<long long>(value), lo, hi);
        }
        status = ERR_SB_CALFILE_VALUE_RANGE;
        return 0;
    }
    return static_cast<int32_t>(value);
}

namespace {

// Reads a real number's characters (sign, digits, point, exponent, or the
// words inf, infinity and nan) into `text`; false when none form a number.
bool read_real_text(CalStream& in, std::string& text) {
    int c = in.get();
    if (c == '-' || c == '+') {
        if (c == '-') text.push_back('-');
        c = in.get();
    }
    if ((c | 0x20) == 'i' || (c | 0x20) == 'n') {
        while (((c | 0x20) >= 'a' && (c | 0x20) <= 'z') && text.size() < 10) {
            text.push_back(static_cast<char>(c | 0x20));
            c = in.get();
        }
        in.unget(c);
        const std::string_view word = std::string_view(text).substr(text[0] == '-' ? 1 : 0);
        return word == "inf" || word == "infinity" || word == "nan";
    }
    size_t digits = 0;
    for (; is_digit(c); c = in.get(), ++digits) text.push_back(static_cast<char>(c));
    if (c == '.') {
        text.push_back('.');
        for (c = in.get(); is_digit(c); c = in.get(), ++digits) text.push_back(static_cast<char>(c));
    }
    if (digits == 0) {
        in.unget(c);
        return false;
    }
    if (c == 'e' || c == 'E') {
        std::string exponent = "e";
        c = in.get();
        if (c == '-' || c == '+') {
            exponent.push_back(static_cast<char>(c));
            c = in.get();
        }
        if (is_digit(c)) {
            for (; is_digit(c); c = in.get()) exponent.push_back(static_cast<char>(c));
            text += exponent;
        }
    }
    in.unget(c);
    return text.size() <= kMaxNumberText;
}

}  // namespace

double cal_read_real(CalStream& in, int32_t& status, double lo, double hi, bool lower_closed,
                     bool upper_closed) {
    if (status != 0 || !skip_space(in, status)) return 0.0;
    std::string text;
    double value = 0.0;
    if (!read_real_text(in, text)) {
        status = ERR_SB_CALFILE_SYNTAX;
        return 0.0;
    }
    const std::from_chars_result parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    if (parsed.ec == std::errc::result_out_of_range) {
        // Too small is zero, too large is beyond every range.
        const bool tiny = text.find("e-") != std::string::npos;
        value = tiny ? 0.0 : (text[0] == '-' ? -1.0 : 1.0) * std::numeric_limits<double>::infinity();
    } else if (parsed.ec != std::errc{}) {
        status = ERR_SB_CALFILE_SYNTAX;
        return 0.0;
    }
    const bool above_lo = lower_closed ? value >= lo : value > lo;
    const bool below_hi = upper_closed ? value <= hi : value < hi;
    if (!(above_lo && below_hi)) {  // NaN fails both
        cal_read_error(cal_real_range_format(lower_closed, upper_closed), value, lo, hi);
        status = ERR_SB_CALFILE_VALUE_RANGE;
        return 0.0;
    }
    return value;
}
