#include "seriallink/sio_settings.h"

#include <charconv>
#include <limits>

#include "errors/err_codes.h"

namespace {

constexpr int32_t k_bauds[] = {150, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view skip_blanks(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    return s;
}

// The leading decimal number of a field, as the C library's atoi reads it:
// blanks and a sign accepted, no digits give 0. A value too large for 32
// bits saturates, which no accepted setting is.
int32_t leading_int(std::string_view s) {
    s = skip_blanks(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int64_t value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<int32_t>::max()) {
            value = std::numeric_limits<int32_t>::max();
            break;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

// The leading real number of a field, as atof reads it; 0 without one.
double leading_real(std::string_view s) {
    s = skip_blanks(s);
    if (s.starts_with('+')) s.remove_prefix(1);
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    (void)end;
    return ec == std::errc() ? value : 0.0;
}

// Splits off the field before the next comma; false when there is none.
bool next_field(std::string_view& rest, std::string_view& field) {
    const auto comma = rest.find(',');
    if (comma == std::string_view::npos) return false;
    field = rest.substr(0, comma);
    rest.remove_prefix(comma + 1);
    return true;
}

bool baud_accepted(int32_t baud) {
    for (int32_t b : k_bauds) {
        if (b == baud) return true;
    }
    return false;
}

}  // namespace

bool sio_is_open_mode(std::string_view text) {
    return text == "r" || text == "r+" || text == "w" || text == "w+" || text == "a" || text == "a+";
}

int32_t sio_parse_settings(std::string_view text, sio_settings_t* settings) {
    std::string_view rest = text;
    std::string_view field;

    sio_settings_t parsed{};
    if (!next_field(rest, field)) return ERR_INVALID_PARAM;
    parsed.baud = leading_int(field);
    if (!baud_accepted(parsed.baud)) return ERR_INVALID_PARAM;

    if (!next_field(rest, field)) return ERR_INVALID_PARAM;
    parsed.bits = leading_int(field);
    if (parsed.bits < 5 || parsed.bits > 8) return ERR_INVALID_PARAM;

    // The parity is checked before its comma: "9600,8,N" is a bad parity.
    const auto comma = rest.find(',');
    field = rest.substr(0, comma);
    if (field.empty() || field.front() < '0' || field.front() > '9') return ERR_PARAM_OUT_OF_RANGE;
    parsed.parity = leading_int(field);
    if (parsed.parity > 2) return ERR_INVALID_PARAM;
    if (comma == std::string_view::npos) return ERR_INVALID_PARAM;
    rest.remove_prefix(comma + 1);
    parsed.parity_check = parsed.parity != 0;

    // Compared exactly in single precision: 1.5 is exact there.
    parsed.stop_bits = static_cast<float>(leading_real(rest));
    if (parsed.stop_bits != 1.0f && parsed.stop_bits != 1.5f && parsed.stop_bits != 2.0f) {
        return ERR_PARAM_OUT_OF_RANGE;
    }
    if (settings != nullptr) *settings = parsed;
    return NO_ERROR;
}
