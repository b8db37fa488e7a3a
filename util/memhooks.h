// Allocator hooks: every dynamically sized library array and working buffer
// is obtained and released through these, so one place decides which
// allocator the library uses. They start as the runtime's allocator and are
// constant-initialised, so static initialisers elsewhere may use them. A
// host may replace them before it uses the library; memory obtained through
// a hook is released through gl_mem_free only.
#pragma once

#include <cstddef>

using mem_alloc_fn = void* (*)(size_t bytes);
using mem_realloc_fn = void* (*)(void* p, size_t bytes);
using mem_calloc_fn = void* (*)(size_t count, size_t size);
using mem_free_fn = void (*)(void* p);

extern mem_alloc_fn gl_mem_alloc;
extern mem_realloc_fn gl_mem_realloc;
extern mem_calloc_fn gl_mem_calloc;
extern mem_free_fn gl_mem_free;
