#include "util/dirs.h"

#include <optional>
#include <string>

#include "errors/msg.h"
#include "platform/env.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/process.h"

namespace {

// A directory text computed once; an empty text stands for none.
struct CachedText {
    std::optional<std::string> value;
    const char* get() const { return value->empty() ? nullptr : value->c_str(); }
};

CachedText g_install;
CachedText g_config;
CachedText g_ramps;
std::optional<std::string> g_host_name;

// Environment values may be written the Windows way.
std::optional<std::string> env_dir(const char* name) {
    auto value = plat::get_env(name);
    if (value) value = plat::to_posix_separators(*value);
    return value;
}

std::string parent_of(const std::string& path) {
    const size_t cut = path.rfind('/');
    return cut == std::string::npos ? path : path.substr(0, cut);
}

}  // namespace

const char* u_install_dir() {
    if (!g_install.value) {
        if (auto env = env_dir("TQ_INSTALL_DIR")) {
            g_install.value = std::move(*env);
        } else {
            const std::string module = plat::program_path();
            std::string dir = parent_of(module);
            // A program in a bin folder belongs to the folder above it; a
            // program in a top-level folder belongs to the root.
            if (dir != module && !dir.empty()) dir = parent_of(dir);
            g_install.value = dir;
            gl_msg_print("Install directory: %s\n", dir.c_str());
        }
    }
    return g_install.get();
}

const char* u_config_dir() {
    if (!g_config.value) {
        if (auto env = env_dir("TQ_CONFIG_DIR")) {
            g_config.value = std::move(*env);
        } else if (const char* install = u_install_dir()) {
            const std::string cfg = std::string(install) + "/cfg";
            g_config.value = plat::is_directory(cfg.c_str()) ? cfg : std::string(install);
        } else {
            g_config.value = std::string();
        }
    }
    return g_config.get();
}

const char* u_ramps_dir() {
    if (!g_ramps.value) {
        if (auto env = env_dir("TQ_RAMPS_DIR")) {
            g_ramps.value = std::move(*env);
        } else if (const char* config = u_config_dir()) {
            std::string ramps = std::string(config) + "/ramps";
            // A folder that cannot be created is not reported: the name
            // stands either way.
            if (!plat::is_directory(ramps.c_str())) plat::make_dir(ramps.c_str());
            g_ramps.value = std::move(ramps);
        } else {
            g_ramps.value = std::string();
        }
    }
    return g_ramps.get();
}

const char* u_host_file_name(int digit) {
    if (!g_host_name) {
        std::string host = plat::computer_name();
        host = host.substr(0, host.find('.')).substr(0, 15);
        host.push_back('.');
        host.push_back(static_cast<char>('0' + digit));
        g_host_name = std::move(host);
    }
    return g_host_name->c_str();
}

namespace kelm {
void reset_dirs_for_test() {
    g_install.value.reset();
    g_config.value.reset();
    g_ramps.value.reset();
    g_host_name.reset();
}
}  // namespace kelm
