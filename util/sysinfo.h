// System information: the computer's and the user's names, a program
// file's internal name and the report of the loaded modules.
#pragma once

#include <cstdint>

// Longest computer or user name kept; buffers hold one more character.
inline constexpr int32_t U_SYSTEM_NAME_MAX = 15;

// A program file's internal version name. Program files here carry no
// version resource, so this always fails: returns 1 and leaves `buffer`
// (when given) empty.
int32_t u_file_internal_name(const char* file, char* buffer);

// The computer's name up to its first point, at most 15 characters,
// obtained once and cached, copied into `buffer` (`size` bytes, cut to
// fit). Returns 0 when the system supplied a name, 1 otherwise.
int32_t u_computer_name(char* buffer, int32_t size);

// The user's log-in name, at most 15 characters, obtained once and cached.
// With a buffer (room for U_SYSTEM_NAME_MAX + 1 characters) copies it there
// and returns `buffer`; without one returns the cached text itself. Null
// when the system could not supply a name.
const char* u_user_name(char* buffer);

// Prints, through the message printer, a report of the shared libraries
// loaded into the process: name, version, size, modification time and
// folder of each, sorted by name.
void ntGetLoadedModules();

namespace kelm {
// Forgets the cached names, so that tests can obtain them again.
void reset_system_names_for_test();
}  // namespace kelm
