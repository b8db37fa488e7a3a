// Raw file descriptors that other code may leave in a record.
#pragma once

namespace plat {

// Closes a descriptor. Returns 0 or the system error number.
int close_descriptor(int fd);

}  // namespace plat
