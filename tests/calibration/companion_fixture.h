// A configuration directory of its own for the companion-file tests, and
// allocator hooks that fail on request.
#pragma once

#include <cstddef>
#include <string>

#include "support/test_support.h"
#include "util/dirs.h"
#include "util/memhooks.h"

namespace companion_test {

// Points TQ_CONFIG_DIR at a fresh temporary folder for the test's lifetime.
class ConfigDir {
public:
    ConfigDir() : env_("TQ_CONFIG_DIR", dir_.path().c_str()) { kelm::reset_dirs_for_test(); }
    ~ConfigDir() { kelm::reset_dirs_for_test(); }
    const std::string& path() const { return dir_.path(); }
    std::string file(const std::string& name) const { return dir_.file(name); }
    void write(const std::string& name, const std::string& text) const {
        testing_support::write_file(file(name), text);
    }

private:
    testing_support::TempDir dir_;
    testing_support::ScopedEnv env_;
};

// While alive, gl_mem_alloc and gl_mem_calloc fail.
class FailingAllocation {
public:
    FailingAllocation() : alloc_(gl_mem_alloc), calloc_(gl_mem_calloc) {
        gl_mem_alloc = [](size_t) -> void* { return nullptr; };
        gl_mem_calloc = [](size_t, size_t) -> void* { return nullptr; };
    }
    ~FailingAllocation() {
        gl_mem_alloc = alloc_;
        gl_mem_calloc = calloc_;
    }
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

private:
    mem_alloc_fn alloc_;
    mem_calloc_fn calloc_;
};

}  // namespace companion_test
