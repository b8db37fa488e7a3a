// Fixed-size text fields of the calibration records. A field holds at most
// N characters and a terminating NUL; longer input is cut, never overrun.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

template <size_t N>
struct BoundedText {
    char text[N + 1];

    static constexpr size_t capacity() { return N; }

    // Stores at most N characters of `value` (up to its first NUL).
    void set(std::string_view value) {
        const size_t nul = value.find('\0');
        if (nul != std::string_view::npos) value = value.substr(0, nul);
        const size_t n = value.size() < N ? value.size() : N;
        std::memcpy(text, value.data(), n);
        text[n] = '\0';
    }
    void clear() { text[0] = '\0'; }
    bool empty() const { return text[0] == '\0'; }
    std::string_view view() const { return std::string_view(text, ::strnlen(text, N)); }
    const char* c_str() const { return text; }
};

// The longest word of a calibration file: 81 characters (a quoted word 80).
inline constexpr size_t kCalWordMax = 81;
inline constexpr size_t kCalQuotedWordMax = 80;

// Text fields set from one word of the calibration file.
using CalText = BoundedText<kCalWordMax>;

// Paths are recorded whole: a cut path would name another file.
inline constexpr size_t kCalPathMax = 4095;
using CalPath = BoundedText<kCalPathMax>;
