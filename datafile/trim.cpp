#include <cstring>

#include "datafile/ascii.h"

namespace {

bool is_trimmed(char c) { return c == ' ' || c == '\t' || c == '\n'; }

}  // namespace

int32_t u_trim(char* text) {
    const size_t length = std::strlen(text);
    size_t last = length;
    while (last > 0 && is_trimmed(text[last - 1])) --last;
    text[last] = '\0';
    size_t first = 0;
    while (first < last && is_trimmed(text[first])) ++first;
    // Moves the kept characters and their terminator to the start; the bytes
    // after the new terminator are left as they were.
    if (first > 0) std::memmove(text, text + first, last - first + 1);
    return static_cast<int32_t>(length - (last - first));
}
