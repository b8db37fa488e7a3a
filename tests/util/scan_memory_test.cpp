#include <gtest/gtest.h>

#include "support/test_support.h"
#include "util/memhooks.h"
#include "util/scan.h"

namespace {

// gl_mem_alloc that fails while `failing` is set.
bool failing = false;
mem_alloc_fn real_alloc = nullptr;
void* maybe_alloc(size_t bytes) { return failing ? nullptr : real_alloc(bytes); }

TEST(StrxcmpMemory, ComparisonWithoutMemoryIsNeverAMatch) {
    testing_support::CaptureMessages capture;
    real_alloc = gl_mem_alloc;
    gl_mem_alloc = maybe_alloc;
    failing = true;
    const int result = strxcmp("Grab Mode:", "GRABMODE");
    failing = false;
    gl_mem_alloc = real_alloc;
    EXPECT_NE(result, 0);
    EXPECT_EQ(capture.text(), "strxcmp: out of memory\n");
    EXPECT_EQ(strxcmp("Grab Mode:", "GRABMODE"), 0);
}

}  // namespace
