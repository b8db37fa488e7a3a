// The report of the shared libraries loaded into the process.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "errors/msg.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/modules.h"
#include "util/sysinfo.h"

namespace {

constexpr const char* kOperation = "ntGetLoadedModules";
// Room for the program and 255 libraries.
constexpr size_t kMaxModules = 256;

struct ModuleLine {
    std::string name;
    std::string location;
    std::string version;
    int64_t size = 0;
    int64_t modified = 0;
};

// A shared library's version is the numbers after ".so." in the name of the
// file it resolves to (libstdc++.so.6.0.30 gives 6.0.30): four numbers, or
// three with the fourth unknown (missing minor and build numbers are 0);
// empty when the name carries none.
std::string version_of(const std::string& path) {
    std::error_code ec;
    const std::string file = std::filesystem::canonical(path, ec).filename().string();
    const size_t so = ec ? std::string::npos : file.find(".so.");
    if (so == std::string::npos) return {};
    std::string_view rest = std::string_view(file).substr(so + 4);
    std::vector<int> parts;
    while (!rest.empty() && parts.size() < 4) {
        int number = 0;
        const auto [end, err] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
        if (err != std::errc()) break;
        parts.push_back(number);
        rest.remove_prefix(static_cast<size_t>(end - rest.data()));
        if (!rest.starts_with('.')) break;
        rest.remove_prefix(1);
    }
    if (parts.empty()) return {};
    while (parts.size() < 3) parts.push_back(0);
    std::string text = std::to_string(parts[0]);
    for (size_t i = 1; i < parts.size(); ++i) text.append(1, '.').append(std::to_string(parts[i]));
    return text;
}

std::string modified_text(int64_t seconds) {
    const std::tm local = plat::local_time(static_cast<std::time_t>(seconds));
    char text[64] = {};
    std::strftime(text, sizeof text, "%m/%d/%Y %I:%M %p", &local);
    return text;
}

bool name_before(const ModuleLine& a, const ModuleLine& b) {
    return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                        [](char x, char y) {
                                            return std::tolower(static_cast<unsigned char>(x)) <
                                                   std::tolower(static_cast<unsigned char>(y));
                                        });
}

}  // namespace

void ntGetLoadedModules() {
    const std::vector<std::string> modules = plat::loaded_modules();
    if (modules.size() <= 1) {
        gl_msg_print("%s: No loaded DLLs\n", kOperation);
        return;
    }
    if (modules.size() >= kMaxModules) {
        gl_msg_print("%s: Too many loaded modules\n", kOperation);
        return;
    }
    std::vector<ModuleLine> lines;
    // The first module is the program itself.
    for (size_t i = 1; i < modules.size(); ++i) {
        const std::string& path = modules[i];
        const auto status = plat::file_status(path.c_str());
        if (!status) {
            gl_msg_print("%s: _stat(\"%s\") failed\n", kOperation, path.c_str());
            return;
        }
        const size_t slash = path.rfind('/');
        ModuleLine line;
        line.name = path.substr(slash + 1);
        line.location = slash == 0 ? "/" : path.substr(0, slash);
        line.version = version_of(path);
        line.size = static_cast<int64_t>(status->size);
        line.modified = status->modified;
        lines.push_back(std::move(line));
    }
    std::sort(lines.begin(), lines.end(), name_before);
    size_t longest = 0;
    for (const ModuleLine& line : lines) longest = std::max(longest, line.name.size());

    gl_msg_print("\n%d loaded DLLs (file name, version, size in bytes, last modified, location):\n",
                 static_cast<int>(lines.size()));
    for (const ModuleLine& line : lines) {
        gl_msg_print("%-*s  %25s  %8d  %s  %s\n", static_cast<int>(longest), line.name.c_str(),
                     line.version.c_str(), static_cast<int>(line.size), modified_text(line.modified).c_str(),
                     line.location.c_str());
    }
    gl_msg_print("\n");
}
