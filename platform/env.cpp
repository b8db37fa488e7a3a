#include "platform/env.h"

#include <cstdlib>

namespace plat {

std::optional<std::string> get_env(const char* name) {
    const char* value = name != nullptr ? std::getenv(name) : nullptr;
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

void set_env(const char* name, const char* value) { ::setenv(name, value, 1); }

void unset_env(const char* name) { ::unsetenv(name); }

}  // namespace plat
