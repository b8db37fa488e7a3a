// mapconv: converts an ASCII data file into a binary data file.
#include <cstdlib>

#include "convert/mapconv_driver.h"
#include "platform/memory.h"
#include "util/memhooks.h"

namespace {

// The data blocks of a large file are arrays of many megabytes that the
// reader fills at once: large pages spare the thousands of page faults a
// fresh array would otherwise take.
void* alloc_data_block(size_t bytes) {
    return bytes >= plat::kLargeBlockThreshold ? plat::alloc_large_block(bytes) : std::malloc(bytes);
}

}  // namespace

int main(int argc, char** argv) {
    // The program chooses its allocator once, before any library code runs.
    gl_mem_alloc = alloc_data_block;
    return mapconv_run(argc, argv);
}
