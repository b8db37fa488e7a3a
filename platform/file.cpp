#include "platform/file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/env.h"
#include "platform/path.h"
#include "platform/text_stream.h"

namespace plat {

namespace {

struct ParsedMode {
    int flags = 0;
    bool binary = false;
    char stdio_mode[4] = {};
};

// Turns an fopen-style mode into open(2) flags and the mode to give the
// stream. Returns false for a mode that is not one of fopen's.
bool parse_mode(const char* mode, ParsedMode& out) {
    if (mode == nullptr) return false;
    bool plus = false;
    for (const char* m = mode + 1; *m != '\0'; ++m) {
        if (*m == '+') plus = true;
        else if (*m == 'b') out.binary = true;
        else if (*m != 't') return false;
    }
    const int rw = plus ? O_RDWR : 0;
    switch (mode[0]) {
    case 'r': out.flags = plus ? O_RDWR : O_RDONLY; break;
    case 'w': out.flags = (plus ? rw : O_WRONLY) | O_CREAT | O_TRUNC; break;
    case 'a': out.flags = (plus ? rw : O_WRONLY) | O_CREAT | O_APPEND; break;
    default: return false;
    }
    out.stdio_mode[0] = mode[0];
    if (plus) out.stdio_mode[1] = '+';
    return true;
}

}  // namespace

FILE* open_file(const char* path, const char* mode) {
    ParsedMode pm;
    if (path == nullptr || !parse_mode(mode, pm)) {
        errno = EINVAL;
        return nullptr;
    }
    const std::string native = native_path(path);
    const int fd = ::open(native.c_str(), pm.flags | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    FILE* f = pm.binary ? ::fdopen(fd, pm.stdio_mode) : fdopen_text(fd, pm.stdio_mode);
    if (f == nullptr) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
    }
    return f;
}

std::optional<FileStatus> file_status(const char* path) {
    if (path == nullptr) return std::nullopt;
    const std::string native = native_path(path);
    if (native.empty()) return std::nullopt;
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0) return std::nullopt;
    FileKind kind = S_ISREG(st.st_mode) ? FileKind::Regular
                    : S_ISDIR(st.st_mode) ? FileKind::Directory
                                          : FileKind::Other;
    return FileStatus{kind, static_cast<uint64_t>(st.st_size), static_cast<int64_t>(st.st_mtime)};
}

bool is_regular_file(const char* path) {
    const auto st = file_status(path);
    return st && st->kind == FileKind::Regular;
}

bool is_directory(const char* path) {
    const auto st = file_status(path);
    return st && st->kind == FileKind::Directory;
}

std::optional<uint64_t> stream_size(FILE* stream) {
    if (stream == nullptr) return std::nullopt;
    const int fd = ::fileno(stream);
    if (fd >= 0) {
        struct stat st {};
        if (::fflush(stream) != 0 || ::fstat(fd, &st) != 0) return std::nullopt;
        return static_cast<uint64_t>(st.st_size);
    }
    // Text streams have no descriptor of their own: measure by seeking.
    const off_t here = ::ftello(stream);
    if (here < 0 || ::fseeko(stream, 0, SEEK_END) != 0) return std::nullopt;
    const off_t end = ::ftello(stream);
    if (::fseeko(stream, here, SEEK_SET) != 0 || end < 0) return std::nullopt;
    return static_cast<uint64_t>(end);
}

int copy_file(const char* source, const char* destination) {
    if (source == nullptr || destination == nullptr) return EINVAL;
    std::error_code ec;
    std::filesystem::copy_file(native_path(source), native_path(destination),
                               std::filesystem::copy_options::overwrite_existing, ec);
    if (!ec) return 0;
    return ec.category() == std::generic_category() || ec.category() == std::system_category()
               ? ec.value()
               : EIO;
}

int remove_file(const char* path) {
    if (path == nullptr) return EINVAL;
    return ::unlink(native_path(path).c_str()) == 0 ? 0 : errno;
}

int rename_file(const char* from, const char* to) {
    if (from == nullptr || to == nullptr) return EINVAL;
    return ::rename(native_path(from).c_str(), native_path(to).c_str()) == 0 ? 0 : errno;
}

int match_file_mode(const char* file, const char* model) {
    if (file == nullptr || model == nullptr) return EINVAL;
    mode_t mode;
    struct stat st {};
    if (::stat(native_path(model).c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    return ::chmod(native_path(file).c_str(), mode) == 0 ? 0 : errno;
}

std::string temp_dir() {
    if (auto dir = get_env("TMPDIR"); dir && !dir->empty()) return *dir;
    return "/tmp";
}

std::optional<std::string> temp_file_name(const char* prefix, const std::string& folder) {
    std::string name = folder.empty() ? temp_dir() : folder;
    if (name.back() != '/') name.push_back('/');
    name += prefix != nullptr ? prefix : "";
    name += "XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return std::nullopt;
    ::close(fd);
    return name;
}

int make_dir(const char* path) {
    if (path == nullptr) return EINVAL;
    return ::mkdir(native_path(path).c_str(), 0777) == 0 ? 0 : errno;
}

std::optional<std::vector<std::string>> list_dir(const char* path) {
    if (path == nullptr) return std::nullopt;
    DIR* dir = ::opendir(native_path(path).c_str());
    if (dir == nullptr) return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

std::string current_dir() {
    std::error_code ec;
    auto p = std::filesystem::current_path(ec);
    return ec ? std::string{} : p.string();
}

}  // namespace plat
