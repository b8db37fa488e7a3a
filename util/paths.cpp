#include "util/paths.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "platform/path.h"
#include "platform/volume.h"

namespace {

// Copies `text` and its terminator when it fits; otherwise leaves an empty
// text. Returns whether it fitted.
bool copy_bounded(std::string_view text, char* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0) return false;
    if (text.size() >= static_cast<size_t>(size)) {
        buffer[0] = '\0';
        return false;
    }
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = '\0';
    return true;
}

bool is_separator(char c) { return c == '\\' || c == '/'; }

// The root of a path text, or empty when it has none.
std::string root_of(std::string_view path) {
    const size_t start = path.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    path.remove_prefix(start);
    if (path.starts_with("\\\\")) {
        const size_t server_end = path.find('\\', 2);
        if (server_end == std::string_view::npos || server_end == 2) return {};
        const size_t share_end = path.find('\\', server_end + 1);
        const std::string_view share_root = path.substr(0, share_end);
        if (share_root.size() == server_end + 1) return {};  // no share name
        return std::string(share_root) + '\\';
    }
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
        is_separator(path[2]))
        return std::string(path.substr(0, 3));
    if (path.starts_with('/')) return "/";
    return {};
}

}  // namespace

int32_t u_drive_strings(int32_t size, char* buffer) {
    static constexpr char kRoots[] = "/\0";  // one root, then the closing zero
    if (buffer == nullptr || size < static_cast<int32_t>(sizeof kRoots)) return 0;
    std::memcpy(buffer, kRoots, sizeof kRoots);
    return static_cast<int32_t>(sizeof kRoots) - 1;
}

int32_t u_path_root(const char* path, char* root, int32_t size) {
    const std::string found = root_of(plat::native_path(path));
    if (found.empty()) {
        copy_bounded({}, root, size);
        return 0;
    }
    return copy_bounded(found, root, size) ? 1 : 0;
}

int32_t u_relative_path(const char* path, char* result, int32_t size) {
    namespace fs = std::filesystem;
    const std::string text = plat::native_path(path);
    const size_t slash = text.rfind('/');
    const std::string_view name = slash == std::string::npos ? std::string_view(text)
                                                              : std::string_view(text).substr(slash + 1);
    if (name.empty()) {
        copy_bounded({}, result, size);
        return 0;
    }
    std::string shown = text;
    if (slash == std::string::npos) {
        shown = std::string(name);
    } else {
        const fs::path cwd = fs::path(plat::current_dir()).lexically_normal();
        const fs::path full = (cwd / fs::path(text)).lexically_normal();
        if (full.parent_path() == cwd) {
            shown = std::string(name);
        } else {
            const std::string relative = full.lexically_relative(cwd).string();
            if (!relative.empty() && relative.size() < text.size()) shown = relative;
        }
    }
    return copy_bounded(shown, result, size) ? 1 : 0;
}

int32_t u_volume_check(const char* path) {
    const std::string native = plat::native_path(path);
    if (root_of(native).empty()) return 2;
    switch (plat::volume_status(native.c_str())) {
    case 0: return 0;
    case EMFILE: case ENFILE: return 23;
    case EACCES: case EPERM: return 13;
    case ENODEV: case ENXIO: return 19;
    case ENOMEDIUM: return 1112;
    default: return 2;
    }
}

int32_t u_create_directory(const char* path) {
    switch (plat::make_dir(path)) {
    case 0: return 0;
    case EEXIST: return 17;
    default: return -1;
    }
}
