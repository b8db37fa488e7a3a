#include "platform/syserr.h"

#include <cerrno>
#include <cstring>

namespace plat {

int last_error() { return errno; }

std::optional<std::string> system_error_text(int code) {
    char buf[512];
    // The GNU strerror_r returns a pointer to the text, which may or may not
    // be `buf`; it answers "Unknown error N" for numbers it does not know.
    const char* text = ::strerror_r(code, buf, sizeof buf);
    if (text == nullptr || std::strncmp(text, "Unknown error", 13) == 0) return std::nullopt;
    return std::string(text);
}

}  // namespace plat
