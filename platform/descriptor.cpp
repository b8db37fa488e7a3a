#include "platform/descriptor.h"

#include <cerrno>
#include <unistd.h>

namespace plat {

int close_descriptor(int fd) { return ::close(fd) == 0 ? 0 : errno; }

}  // namespace plat
