#include "util/memhooks.h"

#include <cstdlib>

constinit mem_alloc_fn gl_mem_alloc = std::malloc;
constinit mem_realloc_fn gl_mem_realloc = std::realloc;
constinit mem_calloc_fn gl_mem_calloc = std::calloc;
constinit mem_free_fn gl_mem_free = std::free;
