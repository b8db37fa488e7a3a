#include "util/registry.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "util/dirs.h"

namespace {

const char* root_name(uint32_t root) {
    switch (root) {
    case U_REG_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
    case U_REG_CURRENT_USER: return "HKEY_CURRENT_USER";
    case U_REG_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
    case U_REG_USERS: return "HKEY_USERS";
    default: return nullptr;
    }
}

bool same_text(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y)) return false;
    }
    return true;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

// A key path without leading or trailing backslashes.
std::string_view trim_key(std::string_view key) {
    while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
    while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
    return key;
}

// Reads a quoted text at the start of `s` (after its opening quote has been
// seen at s[0]); returns the text and moves `s` past the closing quote, or
// none when the quote is not closed.
std::optional<std::string> take_quoted(std::string_view& s) {
    std::string out;
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            out.push_back(s[++i]);
        } else if (s[i] == '"') {
            s.remove_prefix(i + 1);
            return out;
        } else {
            out.push_back(s[i]);
        }
    }
    return std::nullopt;
}

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

bool read_line(FILE* f, std::string& line) {
    line.clear();
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, f) != nullptr) {
        line.append(chunk);
        if (!line.empty() && line.back() == '\n') return true;
    }
    return !line.empty();
}

// Looks the value up; none when it is missing or not a text value.
std::optional<std::string> find_text(FILE* store, std::string_view section, std::string_view value) {
    std::string line;
    bool in_section = false;
    while (read_line(store, line)) {
        std::string_view s = trim(line);
        if (s.empty() || s.front() == ';') continue;
        if (s.front() == '[') {
            in_section = s.back() == ']' && same_text(trim_key(s.substr(1, s.size() - 2)), section);
            continue;
        }
        if (!in_section) continue;
        std::string name;
        if (s.front() == '@') {
            name.assign(1, '@');
            s.remove_prefix(1);
        } else if (s.front() == '"') {
            auto quoted = take_quoted(s);
            if (!quoted) continue;
            name = std::move(*quoted);
        } else {
            continue;
        }
        s = trim(s);
        if (s.empty() || s.front() != '=' || !same_text(name, value)) continue;
        s = trim(s.substr(1));
        if (s.empty() || s.front() != '"') return std::nullopt;  // another type of value
        return take_quoted(s);
    }
    return std::nullopt;
}

}  // namespace

int32_t u_registry_text(uint32_t root, const char* key, const char* value, char* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0) return 1;
    buffer[0] = '\0';
    const char* root_text = root_name(root);
    const char* config = u_config_dir();
    if (root_text == nullptr || key == nullptr || config == nullptr) return 1;

    const std::string path = std::string(config) + "/" + U_REGISTRY_FILE_NAME;
    std::unique_ptr<FILE, FileCloser> store(plat::open_file(path.c_str(), "r"));
    if (!store) return 1;
    std::string section = root_text;
    const std::string_view key_path = trim_key(key);
    if (!key_path.empty()) section.append(1, '\\').append(key_path);
    const std::string_view value_name = value != nullptr && value[0] != '\0' ? value : "@";

    const auto text = find_text(store.get(), section, value_name);
    if (!text || text->size() >= static_cast<size_t>(size)) return 1;
    std::memcpy(buffer, text->c_str(), text->size() + 1);
    return 0;
}
