#include "datafile/line_scan.h"

#include <cstdlib>
#include <cstring>

namespace kelm::datafile {

namespace {

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

void skip_space(const char*& p) {
    while (is_space(*p)) ++p;
}

// Optional sign and at least one digit, within [min, max].
bool scan_integer(const char*& p, int64_t min, int64_t max, int32_t& out) {
    skip_space(p);
    const char* q = p;
    bool negative = false;
    if (*q == '+' || *q == '-') negative = *q++ == '-';
    if (*q < '0' || *q > '9') return false;
    int64_t magnitude = 0;
    for (; *q >= '0' && *q <= '9'; ++q) {
        magnitude = magnitude * 10 + (*q - '0');
        if (magnitude > max + 1) magnitude = max + 2;  // saturate: out of range either way
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < min || value > max) return false;
    out = static_cast<int32_t>(value);
    p = q;
    return true;
}

bool scan_real(const char*& p, float& out) {
    char* end = nullptr;
    const float value = std::strtof(p, &end);
    if (end == p) return false;
    // Like scanf, a value beyond float's range reads as infinity or zero.
    out = value;
    p = end;
    return true;
}

}  // namespace

int scan_line(const char* line, const char* format, ScannedValue* values, int capacity) {
    const char* p = line;
    int count = 0;
    for (const char* f = format; *f != '\0'; ++f) {
        if (is_space(*f)) {
            skip_space(p);
            continue;
        }
        if (*f != '%') {
            if (*p != *f) return count;
            ++p;
            continue;
        }
        if (count == capacity) return count;
        ScannedValue& v = values[count];
        ++f;
        if (std::strncmp(f, "hd", 2) == 0) {
            if (!scan_integer(p, INT16_MIN, INT16_MAX, v.integer)) return count;
            ++f;
        } else if (*f == 'd') {
            if (!scan_integer(p, INT32_MIN, INT32_MAX, v.integer)) return count;
        } else if (*f == 'f') {
            if (!scan_real(p, v.real)) return count;
        } else {
            size_t width = 0;
            while (*f >= '0' && *f <= '9') width = width * 10 + static_cast<size_t>(*f++ - '0');
            if (*f != 'c' || width == 0) return count;  // not a conversion this scanner knows
            if (strnlen(p, width) < width) return count;
            v.text = p;
            p += width;
        }
        ++count;
    }
    return count;
}

}  // namespace kelm::datafile
