// Volumes: whether the file system holding a path answers.
#pragma once

namespace plat {

// Queries the file system that holds `path` (in the library's path
// convention). Returns 0 when it answers, otherwise the system error number
// (ENOENT for a missing path, ENOMEDIUM for a drive without a medium, ...).
int volume_status(const char* path);

}  // namespace plat
