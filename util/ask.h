// Console prompts: each prints its prompt (a printf format given the
// current value) on standard output, reads one line of at most 511
// characters from standard input and, when the line converts, stores the
// value. An empty line or the end of input returns false and keeps the
// value. Trailing characters after a number are accepted.
#pragma once

#include <cstdint>

bool u_ask_double(const char* prompt, double* value);
bool u_ask_float(const char* prompt, float* value);
bool u_ask_int(const char* prompt, int32_t* value);
bool u_ask_short(const char* prompt, int16_t* value);
// The prompt shows the flag as 'y' or 'n'; an answer starting with y or 1
// sets it, n or 0 clears it, anything else returns false.
bool u_ask_yes_no(const char* prompt, bool* value);
// Copies the answer (without its line end) into `text`, which holds `size`
// characters including the terminator.
bool u_ask_text(const char* prompt, char* text, int size);
