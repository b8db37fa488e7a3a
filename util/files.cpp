#include "util/files.h"

#include <cctype>
#include <cstring>
#include <string>

#include "errors/err_codes.h"
#include "errors/msg.h"
#include "platform/file.h"
#include "platform/path.h"
#include "util/dirs.h"
#include "util/memhooks.h"

namespace {

char* g_found = nullptr;

void release_found() {
    if (g_found != nullptr) gl_mem_free(g_found);
    g_found = nullptr;
}

// Copies a candidate path into memory from the allocator hooks.
char* hook_copy(const std::string& text) {
    auto* copy = static_cast<char*>(gl_mem_alloc(text.size() + 1));
    if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

bool is_anchored(const std::string& name) {
    if (name.starts_with('/') || name.starts_with("./")) return true;
    return name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
}

}  // namespace

bool u_file_exists(const char* path) { return plat::is_regular_file(path); }

int32_t u_copy_file(const char* source, const char* destination) {
    if (const int err = plat::copy_file(source, destination); err != 0) {
        gl_msg_print("u_copy_file failed: win_err = %d\n", err);
        return ERR_CANT_WRITE_FILE;
    }
    return NO_ERROR;
}

int32_t u_find_file(const char* name, const char** result) {
    release_found();
    if (result != nullptr) *result = nullptr;
    if (name == nullptr || name[0] == '\0') return NO_ERROR;

    const std::string wanted = plat::to_posix_separators(plat::native_path(name));
    std::string candidates[2];
    int count = 0;
    if (is_anchored(wanted)) {
        candidates[count++] = wanted;
    } else {
        candidates[count++] = "./" + wanted;
        candidates[count++] = "";  // the configuration directory, when needed
    }
    for (int i = 0; i < count; ++i) {
        if (i == 1) {
            const char* config = u_config_dir();
            if (config == nullptr) return ERR_CANT_OPEN_FILE;
            candidates[1] = std::string(config) + "/" + wanted;
        }
        char* path = hook_copy(candidates[i]);
        if (path == nullptr) return ERR_NO_MEM;
        if (u_file_exists(path)) {
            g_found = path;
            if (result != nullptr) *result = g_found;
            return NO_ERROR;
        }
        gl_mem_free(path);
    }
    return ERR_CANT_READ_FILE;
}
