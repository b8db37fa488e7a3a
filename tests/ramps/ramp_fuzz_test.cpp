// Runs both ramp readers over thousands of mutated files: every run must end
// with a result code, never a crash, and a failed read must hand nothing
// over.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "errors/err_codes.h"
#include "errors/msg.h"
#include "ramp_test_support.h"
#include "ramps/ramp_cfg.h"
#include "support/test_support.h"
#include "util/memhooks.h"

namespace {

using testing_support::read_file;
using testing_support::TempDir;
using testing_support::write_file;

std::string mutate(std::string bytes, std::mt19937& rng) {
    std::uniform_int_distribution<int> byte(0, 255);
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < edits; ++i) {
        const size_t pos = bytes.empty() ? 0 : rng() % bytes.size();
        switch (rng() % 5) {
        case 0: if (!bytes.empty()) bytes[pos] = static_cast<char>(byte(rng)); break;
        case 1: bytes.insert(pos, 1, static_cast<char>(byte(rng))); break;
        case 2: if (!bytes.empty()) bytes.erase(pos, 1 + rng() % 16); break;
        case 3: bytes.resize(pos); break;
        case 4: bytes.insert(pos, std::string(rng() % 300, static_cast<char>("x \t\n#0"[rng() % 6]))); break;
        }
    }
    return bytes;
}

class RampFuzz : public ::testing::Test {
protected:
    RampFuzz() : saved_(gl_msg_print) { gl_msg_print = msg_discard; }
    ~RampFuzz() override { gl_msg_print = saved_; }
    TempDir dir_;
    msg_printer_fn saved_;
};

TEST_F(RampFuzz, DataFileReader) {
    rr_ramp_hdr_t h = sample_ramp_header(40);
    uint16_t points[40] = {};
    ASSERT_EQ(rr_write_ramp_file(dir_.file("seed").c_str(), &h, points), NO_ERROR);
    const std::string seed = read_file(dir_.file("seed"));
    std::mt19937 rng(1234);
    for (int i = 0; i < 3000; ++i) {
        write_file(dir_.file("r"), mutate(seed, rng));
        rr_ramp_hdr_t header{};
        uint16_t* array = nullptr;
        const int32_t rc = rr_read_ramp_file(dir_.file("r").c_str(), &header, &array);
        if (rc != NO_ERROR) {
            EXPECT_EQ(array, nullptr);
        }
        gl_mem_free(array);
    }
}

TEST_F(RampFuzz, ConfigurationReader) {
    const std::string seed =
        "# Phasorix Ramp Configuration File\r\n#\r\n\r\n"
        " SWLI d10s81c25.b12345 10.20 25.00 0 0 0.250 81.0 0 1.0 0\r\n"
        " PMI  p7c30.p*           0.00 30.00 1 2 0.250  0.0 0 0.0 1\r\n"
        " BTW2 d20s81c25m50.b*   20.00 25.00 0 1 0.750 243 50 1.2\r\n";
    std::mt19937 rng(99);
    for (int i = 0; i < 3000; ++i) {
        write_file(dir_.file("c"), mutate(seed, rng));
        rr_ramp_cfg_t* entries = nullptr;
        int32_t count = -1;
        const int32_t rc = rr_read_ramp_cfg_file(dir_.file("c").c_str(), &entries, &count);
        if (rc != NO_ERROR) {
            EXPECT_EQ(entries, nullptr);
            EXPECT_EQ(count, 0);
        } else {
            ASSERT_NE(entries, nullptr);
            for (int32_t k = 0; k < count; ++k) EXPECT_LE(std::string(entries[k].fileName).size(), 80u);
        }
        gl_mem_free(entries);
    }
}

}  // namespace
