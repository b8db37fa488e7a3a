// Error names: turning an error code into its name for messages.
#pragma once

#include <cstdint>

#include "errors/err_codes.h"

// The name of `code` ("NO_ERROR", an ERR_ name, or "invalid error number N"
// for a value outside 0..ERR_LAST_CODE). The result lives in one shared
// buffer that the next lookup overwrites: copy it before looking up another.
const char* err_name(int32_t code);

// The same lookup under the entry point the CAN layer uses.
const char* err_name_can(int32_t code);

// Prints the name of a non-zero code and a line end through the message
// printer; does nothing for 0.
void err_print(int32_t code);

// As err_print, then ends the process with exit code 1 for a non-zero code.
void err_print_exit(int32_t code);
