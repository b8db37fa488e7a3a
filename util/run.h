// Running other programs.
//
// A command is a program name followed by its arguments, separated by
// blanks; double quotes group an argument that holds blanks. There are no
// windows here, so `show` (0 minimised, 2 hidden, otherwise normal) only
// keeps the callers' contract.
#pragma once

#include <cstdint>

// Skips leading blanks, starts `command` with the caller's shareable
// descriptors and waits for it to end. When the program cannot be started
// (a shell built-in, a missing program) the command is run through the
// command interpreter ("/bin/sh -c") instead. Returns the exit code (128 +
// the signal number for a program ended by a signal, 0 when it cannot be
// read), or the system error number when nothing could be started.
int32_t u_run_wait(const char* command, int32_t show);

// Starts `command` once, passing on only the standard streams, without the
// interpreter fallback. With `wait`, waits and returns the exit code;
// otherwise returns 0 at once (the program is reaped when it ends). Returns
// the system error number when it cannot be started.
int32_t u_run(const char* command, int32_t show, int32_t wait);
