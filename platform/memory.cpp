#include "platform/memory.h"

#include <cstdlib>
#include <sys/mman.h>

namespace plat {

namespace {
constexpr size_t kLargePage = size_t{2} << 20;
}

void* alloc_large_block(size_t bytes) {
    // Whole large pages, so that the end of the block is covered too.
    const size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
    void* block = nullptr;
    if (rounded < bytes || ::posix_memalign(&block, kLargePage, rounded) != 0) return nullptr;
    // Only advice: where large pages are not available the block still works.
    ::madvise(block, rounded, MADV_HUGEPAGE);
    return block;
}

}  // namespace plat
