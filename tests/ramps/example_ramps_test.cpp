// The example ramp set shipped in examples/ramps loads and agrees with its
// configuration file.
#include <gtest/gtest.h>

#include <string>

#include "errors/err_codes.h"
#include "ramps/ramp_cfg.h"
#include "support/test_support.h"
#include "util/memhooks.h"

namespace {

TEST(ExampleRamps, ConfigurationMatchesTheDataFiles) {
    const std::string folder = std::string(KELM_EXAMPLES_DIR) + "/ramps";
    rr_ramp_cfg_t* entries = nullptr;
    int32_t count = 0;
    testing_support::CaptureMessages capture;
    ASSERT_EQ(rr_read_ramp_cfg_file((folder + "/ramps.cfg").c_str(), &entries, &count), NO_ERROR);
    ASSERT_EQ(count, 4);
    for (int32_t i = 0; i < count; ++i) {
        rr_ramp_t ramp{};
        const std::string path = folder + "/" + entries[i].fileName;
        ASSERT_EQ(rr_read_ramp_file(path.c_str(), &ramp.hdr, &ramp.points), NO_ERROR) << path;
        EXPECT_EQ(rr_check_ramp_compat(&ramp.hdr, path.c_str(), 1, 12345, 12345), NO_ERROR) << path;
        EXPECT_EQ(rr_check_cfg_vs_ramp(&entries[i], &ramp), NO_ERROR) << path;
        const char* name = nullptr;
        ASSERT_EQ(rr_get_std_ramp_filename(&ramp.hdr, &name), NO_ERROR);
        EXPECT_STREQ(name, entries[i].fileName);
        gl_mem_free(ramp.points);
    }
    gl_mem_free(entries);
    EXPECT_EQ(capture.text(), "");
}

}  // namespace
