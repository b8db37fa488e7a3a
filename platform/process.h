// Facts about the running program and the computer: the program's own
// path, the computer's name and the user's name. Tests can inject the
// program path and the computer name.
#pragma once

#include <optional>
#include <string>

namespace plat {

// Full path of the running executable; empty when it cannot be found.
std::string program_path();

// The computer's network name (may be longer than any caller's field).
std::string computer_name();

// The name of the user running the program.
std::string user_name();

// Test seams: replace what program_path() and computer_name() report;
// none restores the system's answer.
void set_program_path_override(std::optional<std::string> path);
void set_computer_name_override(std::optional<std::string> name);

}  // namespace plat
