// Environment variables.
#pragma once

#include <optional>
#include <string>

namespace plat {

// The value of `name`, or none when it is not set.
std::optional<std::string> get_env(const char* name);
void set_env(const char* name, const char* value);
void unset_env(const char* name);

}  // namespace plat
