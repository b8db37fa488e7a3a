// System error numbers and their texts.
#pragma once

#include <optional>
#include <string>

namespace plat {

// The error number of the last failed system call on this thread.
int last_error();

// The system's text for an error number, or none when the system has no
// text for it.
std::optional<std::string> system_error_text(int code);

}  // namespace plat
