// Message output. Every library message goes through gl_msg_print, a
// printf-style printer that writes to standard error by default. Messages
// carry their own line ends; the printer adds nothing.
#pragma once

#include <cstdint>
#include <cstdio>

#define KELM_PRINTF(fmt_index, first_arg) __attribute__((format(printf, fmt_index, first_arg)))

using msg_printer_fn = int (*)(const char* format, ...);

// The process-wide printer; initially msg_to_stderr. A host may replace it
// before it uses the library.
extern msg_printer_fn gl_msg_print KELM_PRINTF(1, 2);

// Printers: format to the stream, then flush it; return the flush result.
int msg_to_stderr(const char* format, ...) KELM_PRINTF(1, 2);
int msg_to_stdout(const char* format, ...) KELM_PRINTF(1, 2);
int msg_to_file(FILE* stream, const char* format, ...) KELM_PRINTF(2, 3);
// Prints nothing: silences the library.
int msg_discard(const char* format, ...) KELM_PRINTF(1, 2);

// The stream the current printer writes to: standard output or standard
// error for the two standard printers, none for any other printer.
FILE* msg_stream();

// Prints the local time, a blank, then the message (at most 511 characters;
// a longer one is cut there).
int msg_stamped(const char* format, ...) KELM_PRINTF(1, 2);

// Writes the local time as "%Y-%m-%d %H:%M:%S" into `buffer` (at least 40
// characters) and returns it.
char* u_time_stamp(char* buffer);

// Size of the buffer msg_system_error_text fills.
inline constexpr int MSG_SYSTEM_ERROR_TEXT_SIZE = 512;

// The system's text for error number `code`, cut at its first line end, or
// "System error code 0x%8.8X" when the system has none. `buffer` holds
// MSG_SYSTEM_ERROR_TEXT_SIZE characters.
char* msg_system_error_text(int32_t code, char* buffer);

// Prints msg_system_error_text and a line end.
void msg_system_error(int32_t code);

// Prints each line of a text file with `prefix` (none means empty) in front.
void msg_print_file_lines(const char* path, const char* prefix);
