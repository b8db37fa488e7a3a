#include "util/dir_list.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/path.h"
#include "util/memhooks.h"

// The names live in one block from the allocator hooks, each zero-
// terminated, with an index of offsets beside it.
struct u_dir_list_t {
    char* names;
    int32_t* offsets;
    int32_t count;
    int32_t position;
};

namespace {

u_dir_entry_t g_entry;

void release(u_dir_list_t* list) {
    if (list == nullptr) return;
    gl_mem_free(list->names);
    gl_mem_free(list->offsets);
    gl_mem_free(list);
}

}  // namespace

u_dir_list_t* u_dir_open(const char* path) {
    std::string dir = plat::native_path(path);
    if (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
    if (dir.empty() || !plat::is_directory(dir.c_str())) return nullptr;
    auto found = plat::list_dir(dir.c_str());
    if (!found) return nullptr;

    std::vector<std::string>& others = *found;
    std::erase_if(others, [](const std::string& n) { return n.size() > static_cast<size_t>(U_DIR_NAME_MAX); });
    std::sort(others.begin(), others.end());
    size_t bytes = sizeof "." + sizeof "..";  // with their terminators
    for (const std::string& n : others) bytes += n.size() + 1;
    const size_t count = others.size() + 2;

    auto* list = static_cast<u_dir_list_t*>(gl_mem_calloc(1, sizeof(u_dir_list_t)));
    if (list == nullptr) return nullptr;
    list->names = static_cast<char*>(gl_mem_alloc(bytes));
    list->offsets = static_cast<int32_t*>(gl_mem_alloc(count * sizeof(int32_t)));
    if (list->names == nullptr || list->offsets == nullptr || bytes > INT32_MAX) {
        release(list);
        return nullptr;
    }
    size_t at = 0;
    auto add = [&](const std::string& n) {
        list->offsets[list->count++] = static_cast<int32_t>(at);
        std::memcpy(list->names + at, n.c_str(), n.size() + 1);
        at += n.size() + 1;
    };
    add(".");
    add("..");
    for (const std::string& n : others) add(n);
    return list;
}

u_dir_entry_t* u_dir_read(u_dir_list_t* list) {
    if (list == nullptr || list->position >= list->count) return nullptr;
    const char* name = list->names + list->offsets[list->position];
    const size_t length = std::strlen(name);
    ++list->position;
    g_entry.number = list->position;
    g_entry.length = static_cast<int32_t>(length);
    std::memcpy(g_entry.name, name, length + 1);
    return &g_entry;
}

void u_dir_seek(u_dir_list_t* list, int32_t n) {
    if (list == nullptr || n < 0) return;
    list->position = std::min(n, list->count);
}

int32_t u_dir_tell(u_dir_list_t* list) { return list != nullptr ? list->position : 0; }

void u_dir_close(u_dir_list_t* list) { release(list); }
