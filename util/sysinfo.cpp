#include "util/sysinfo.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "platform/process.h"

namespace {

// The process-wide caches; an empty text means the system gave no name.
std::optional<std::string> g_computer;
std::optional<std::string> g_user;

std::string cut_name(std::string name) { return name.substr(0, U_SYSTEM_NAME_MAX); }

}  // namespace

int32_t u_file_internal_name(const char* /*file*/, char* buffer) {
    if (buffer != nullptr) buffer[0] = '\0';
    return 1;
}

int32_t u_computer_name(char* buffer, int32_t size) {
    if (!g_computer) {
        const std::string host = plat::computer_name();
        g_computer = cut_name(host.substr(0, host.find('.')));
    }
    if (buffer != nullptr && size > 0) {
        const size_t n = std::min(g_computer->size(), static_cast<size_t>(size) - 1);
        std::memcpy(buffer, g_computer->data(), n);
        buffer[n] = '\0';
    }
    return g_computer->empty() ? 1 : 0;
}

const char* u_user_name(char* buffer) {
    if (!g_user) g_user = cut_name(plat::user_name());
    if (g_user->empty()) return nullptr;
    if (buffer == nullptr) return g_user->c_str();
    std::memcpy(buffer, g_user->c_str(), g_user->size() + 1);
    return buffer;
}

namespace kelm {
void reset_system_names_for_test() {
    g_computer.reset();
    g_user.reset();
}
}  // namespace kelm
