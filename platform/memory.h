// Memory for large arrays.
#pragma once

#include <cstddef>

namespace plat {

// Allocates `bytes` aligned to the system's large page size and asks the
// system to back the block with large pages where it offers them, so that
// filling a big array takes a few page faults instead of thousands. The
// block is released with std::free (and may be passed to std::realloc).
// Null when memory cannot be had.
void* alloc_large_block(size_t bytes);

// Size from which alloc_large_block is worth its alignment waste.
inline constexpr size_t kLargeBlockThreshold = size_t{2} << 20;

}  // namespace plat
