#include "util/ask.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "errors/msg.h"

namespace {

// Prints the prompt with the current value (when a prompt is given).
template <typename T>
void show_prompt(const char* prompt, T current) {
    if (prompt == nullptr) return;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    msg_to_stdout(prompt, current);
#pragma GCC diagnostic pop
}

// Reads one answer line without its line end; false for an empty line or
// the end of input.
bool read_answer(char (&line)[512]) {
    if (std::fgets(line, sizeof line, stdin) == nullptr) return false;
    line[std::strcspn(line, "\r\n")] = '\0';
    return line[0] != '\0';
}

template <typename T>
bool ask_real(const char* prompt, T* value) {
    if (value == nullptr) return false;
    show_prompt(prompt, static_cast<double>(*value));
    char line[512];
    if (!read_answer(line)) return false;
    char* end = nullptr;
    const double parsed = std::strtod(line, &end);
    if (end == line) return false;
    *value = static_cast<T>(parsed);
    return true;
}

template <typename T>
bool ask_integer(const char* prompt, T* value) {
    if (value == nullptr) return false;
    show_prompt(prompt, static_cast<int>(*value));
    char line[512];
    if (!read_answer(line)) return false;
    char* end = nullptr;
    const long parsed = std::strtol(line, &end, 10);
    if (end == line) return false;
    *value = static_cast<T>(parsed);
    return true;
}

}  // namespace

bool u_ask_double(const char* prompt, double* value) { return ask_real(prompt, value); }
bool u_ask_float(const char* prompt, float* value) { return ask_real(prompt, value); }
bool u_ask_int(const char* prompt, int32_t* value) { return ask_integer(prompt, value); }
bool u_ask_short(const char* prompt, int16_t* value) { return ask_integer(prompt, value); }

bool u_ask_yes_no(const char* prompt, bool* value) {
    if (value == nullptr) return false;
    show_prompt(prompt, *value ? 'y' : 'n');
    char line[512];
    if (!read_answer(line)) return false;
    const char answer = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
    if (answer == 'y' || answer == '1') {
        *value = true;
        return true;
    }
    if (answer == 'n' || answer == '0') {
        *value = false;
        return true;
    }
    return false;
}

bool u_ask_text(const char* prompt, char* text, int size) {
    if (text == nullptr || size < 1) return false;
    show_prompt(prompt, static_cast<const char*>(text));
    char line[512];
    if (!read_answer(line)) return false;
    std::snprintf(text, static_cast<size_t>(size), "%s", line);
    return true;
}
