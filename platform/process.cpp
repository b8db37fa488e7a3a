#include "platform/process.h"

#include <limits.h>
#include <pwd.h>
#include <unistd.h>

#include <vector>

#include "platform/env.h"

namespace plat {

namespace {

std::optional<std::string>& program_override() {
    static std::optional<std::string> value;
    return value;
}

std::optional<std::string>& computer_override() {
    static std::optional<std::string> value;
    return value;
}

}  // namespace

std::string program_path() {
    if (program_override()) return *program_override();
    std::vector<char> buf(256);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
        buf.resize(buf.size() * 2);
    }
}

std::string computer_name() {
    if (computer_override()) return *computer_override();
    char buf[HOST_NAME_MAX + 1] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0) return {};
    return buf;
}

std::string user_name() {
    if (auto user = get_env("USER"); user && !user->empty()) return *user;
    std::vector<char> buf(4096);
    passwd pw{};
    passwd* result = nullptr;
    if (::getpwuid_r(::geteuid(), &pw, buf.data(), buf.size(), &result) == 0 && result != nullptr)
        return pw.pw_name;
    return {};
}

void set_program_path_override(std::optional<std::string> path) { program_override() = std::move(path); }

void set_computer_name_override(std::optional<std::string> name) { computer_override() = std::move(name); }

}  // namespace plat
