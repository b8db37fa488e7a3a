#include "platform/volume.h"

#include <cerrno>
#include <sys/statvfs.h>

#include "platform/path.h"

namespace plat {

int volume_status(const char* path) {
    if (path == nullptr) return EINVAL;
    const std::string native = native_path(path);
    if (native.empty()) return ENOENT;
    struct statvfs info {};
    int rc = -1;
    do {
        rc = ::statvfs(native.c_str(), &info);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 ? 0 : errno;
}

}  // namespace plat
