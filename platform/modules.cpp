#include "platform/modules.h"

#include <link.h>

#include "platform/process.h"

namespace plat {

namespace {

int collect(dl_phdr_info* info, size_t, void* data) {
    auto& paths = *static_cast<std::vector<std::string>*>(data);
    // The program's own entry comes first and has no name; entries whose
    // name is not a path are not files.
    if (paths.empty()) paths.push_back(program_path());
    else if (info->dlpi_name != nullptr && info->dlpi_name[0] == '/') paths.emplace_back(info->dlpi_name);
    return 0;
}

}  // namespace

std::vector<std::string> loaded_modules() {
    std::vector<std::string> paths;
    ::dl_iterate_phdr(collect, &paths);
    return paths;
}

}  // namespace plat
