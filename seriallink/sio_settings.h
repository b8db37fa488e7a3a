// The COM settings string "baud,bits,parity,stop" and the default line
// settings. Parsing is kept apart from applying, so every string can be
// checked without a device.
#pragma once

#include <cstdint>
#include <string_view>

struct sio_settings_t {
    int32_t baud;
    int32_t bits;
    int32_t parity;  // 0 none, 1 odd, 2 even
    bool parity_check;
    float stop_bits;  // 1, 1.5 or 2
};

// 9600 baud, 8 bits, no parity without checking, 1 stop bit.
inline constexpr sio_settings_t SIO_DEFAULT_SETTINGS{9600, 8, 0, false, 1.0f};

// Whether `text` is a file-open mode ("r", "r+", "w", "w+", "a", "a+") that
// some callers pass in place of settings; such a string is ignored.
bool sio_is_open_mode(std::string_view text);

// Parses the four fields of `text` into `settings`. Returns NO_ERROR,
// ERR_INVALID_PARAM (a baud rate or data-bit count not accepted, a parity
// above 2, a missing comma) or ERR_PARAM_OUT_OF_RANGE (a parity that does
// not begin with a digit, a stop-bit count other than 1, 1.5 and 2). The
// first bad field ends parsing; `settings` is only written on success.
int32_t sio_parse_settings(std::string_view text, sio_settings_t* settings);
