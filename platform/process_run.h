// Starting other programs and waiting for them to end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// Whether a started program receives the caller's open descriptors. The
// library opens its own files close-on-exec, so only descriptors that a host
// opened for sharing are passed on.
enum class Descriptors { Inherit, StandardOnly };

struct StartResult {
    int error = 0;        // 0, or the system error number when nothing started
    int64_t process = -1; // the started process, when error is 0
};

// Starts the program `arguments[0]` (searched on PATH when it has no '/')
// with `arguments`. The standard streams are always shared.
StartResult start_program(const std::vector<std::string>& arguments, Descriptors descriptors);

// Starts `command` through the system's command interpreter ("/bin/sh -c").
StartResult start_shell_command(const std::string& command, Descriptors descriptors);

// Waits for a started process to end and returns its exit code; a process
// ended by a signal gives 128 + the signal number, as shells report it.
// Returns -1 when the process cannot be waited for.
int wait_process(int64_t process);

// Lets a started process run on without waiting for it: it is reaped in the
// background when it ends, so it never lingers as a zombie.
void release_process(int64_t process);

}  // namespace plat
