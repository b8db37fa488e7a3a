#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "errors/err_codes.h"
#include "ramp_test_support.h"
#include "support/test_support.h"
#include "util/memhooks.h"

namespace {

using testing_support::CaptureMessages;
using testing_support::read_file;
using testing_support::TempDir;
using testing_support::write_file;

std::vector<uint16_t> sample_points(int n) {
    std::vector<uint16_t> points(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) points[static_cast<size_t>(i)] = static_cast<uint16_t>(1000 + 257 * i);
    return points;
}

class RampFile : public ::testing::Test {
protected:
    ~RampFile() override { gl_mem_free(points_); }
    std::string path() const { return dir_.file("ramp.dat"); }
    TempDir dir_;
    rr_ramp_hdr_t header_{};
    uint16_t* points_ = nullptr;
};

TEST_F(RampFile, LayoutOnDisk) {
    const rr_ramp_hdr_t h = sample_ramp_header(2);
    const std::vector<uint16_t> points = {0x0102, 0xA0B0};
    ASSERT_EQ(rr_write_ramp_file(path().c_str(), &h, points.data()), NO_ERROR);
    const std::string bytes = read_file(path());
    ASSERT_EQ(bytes.size(), 328u + 4u);
    EXPECT_EQ(bytes.substr(0, 4), "RAMQ");
    EXPECT_EQ(bytes.substr(8, 4), std::string("\x00\x00\x30\x39", 4));        // pztID big-endian
    EXPECT_EQ(bytes.substr(36, 4), std::string("\x40\x20\x00\x00", 4));       // 2.5f big-endian
    EXPECT_EQ(bytes.substr(164, 4), std::string("\x01\x02\x03\x04", 4));      // reserved word swapped too
    EXPECT_EQ(bytes.substr(168, 4), std::string("\x00\x00\x80\x3E", 4));      // 0.25f little-endian
    EXPECT_EQ(bytes.substr(176, 4), std::string("\x02\x00\x00\x00", 4));      // wavelenSelect little-endian
    EXPECT_EQ(bytes.substr(180, 4), "\x11\x22\x33\x44");
    EXPECT_EQ(bytes.substr(188, 8), "RESERVED");
    EXPECT_EQ(bytes.substr(328), std::string("\x01\x02\xA0\xB0", 4));
}

TEST_F(RampFile, RoundTripKeepsEveryByte) {
    rr_ramp_hdr_t h = sample_ramp_header(25);
    h.magicNumber = 0;  // the writer sets it
    const std::vector<uint16_t> points = sample_points(25);
    const rr_ramp_hdr_t before = h;
    ASSERT_EQ(rr_write_ramp_file(path().c_str(), &h, points.data()), NO_ERROR);
    EXPECT_EQ(std::memcmp(&before, &h, sizeof h), 0);  // caller's header untouched
    ASSERT_EQ(rr_read_ramp_file(path().c_str(), &header_, &points_), NO_ERROR);
    h.magicNumber = RR_RAMP_MAGIC;
    EXPECT_EQ(std::memcmp(&header_, &h, sizeof h), 0);
    ASSERT_NE(points_, nullptr);
    EXPECT_EQ(std::vector<uint16_t>(points_, points_ + 25), points);
}

TEST_F(RampFile, HeaderOnlyReads) {
    const rr_ramp_hdr_t h = sample_ramp_header(0);
    ASSERT_EQ(rr_write_ramp_file(path().c_str(), &h, sample_points(1).data()), NO_ERROR);
    ASSERT_EQ(rr_read_ramp_file(path().c_str(), &header_, &points_), NO_ERROR);
    EXPECT_EQ(points_, nullptr);
    const rr_ramp_hdr_t with_points = sample_ramp_header(3);
    ASSERT_EQ(rr_write_ramp_file(path().c_str(), &with_points, sample_points(3).data()), NO_ERROR);
    EXPECT_EQ(rr_read_ramp_file(path().c_str(), &header_, nullptr), NO_ERROR);
    EXPECT_EQ(header_.nPoints, 3);
}

struct BadFile {
    const char* what;
    std::string bytes;
    int32_t error;
};

std::string valid_file(int32_t declared_points, int actual_points) {
    TempDir dir;
    rr_ramp_hdr_t h = sample_ramp_header(actual_points);
    const auto points = sample_points(actual_points);
    rr_write_ramp_file(dir.file("r").c_str(), &h, points.data());
    std::string bytes = read_file(dir.file("r"));
    const uint32_t be = __builtin_bswap32(static_cast<uint32_t>(declared_points));
    std::memcpy(bytes.data() + 16, &be, 4);
    return bytes;
}

TEST_F(RampFile, BadFilesAreRefusedAndLeaveNoArray) {
    const std::vector<BadFile> cases = {
        {"three bytes", "RAM", ERR_PREMATURE_EOF},
        {"other magic", std::string("RAMX") + std::string(400, '\0'), ERR_NOT_A_RAMP_FILE},
        {"short header", std::string("RAMQ") + std::string(100, '\0'), ERR_PREMATURE_EOF},
        {"too few points", valid_file(10, 9), ERR_CORRUPT_RAMP_FILE},
        {"count beyond the file", valid_file(0x7FFFFFFF, 2), ERR_CORRUPT_RAMP_FILE},
        {"odd trailing byte", valid_file(3, 2) + "x", ERR_CORRUPT_RAMP_FILE},
    };
    for (const BadFile& c : cases) {
        write_file(path(), c.bytes);
        points_ = static_cast<uint16_t*>(gl_mem_alloc(4));  // a previous array is released
        EXPECT_EQ(rr_read_ramp_file(path().c_str(), &header_, &points_), c.error) << c.what;
        EXPECT_EQ(points_, nullptr) << c.what;
    }
    EXPECT_EQ(rr_read_ramp_file(dir_.file("missing").c_str(), &header_, &points_), ERR_CANT_OPEN_FILE);
    EXPECT_EQ(rr_read_ramp_file(path().c_str(), nullptr, &points_), ERR_INVALID_PARAM);
}

TEST_F(RampFile, WriteErrors) {
    const rr_ramp_hdr_t h = sample_ramp_header(1);
    EXPECT_EQ(rr_write_ramp_file(path().c_str(), &h, nullptr), ERR_INVALID_PARAM);
    EXPECT_EQ(rr_write_ramp_file(dir_.file("no/dir/r").c_str(), &h, sample_points(1).data()), ERR_CANT_CREATE_FILE);
    EXPECT_EQ(rr_write_ramp_file("/dev/full", &h, sample_points(1).data()), ERR_CANT_WRITE_FILE);
}

TEST(RampDump, HeaderLinesAndCompactPoints) {
    const rr_ramp_hdr_t h = sample_ramp_header(25);
    const auto points = sample_points(25);
    TempDir dir;
    FILE* f = std::fopen(dir.file("dump").c_str(), "w");
    rr_print_ramp(f, &h, points.data(), false);
    std::fclose(f);
    const std::string text = read_file(dir.file("dump"));
    EXPECT_NE(text.find("#   1-  4  magicNumber        = 1380011345\n"), std::string::npos);
    EXPECT_NE(text.find("#  37- 40  sampleClkFreq      = 2.5\n"), std::string::npos);
    EXPECT_NE(text.find("#  69- 72  rampTriple[0]      = 1.5\n"), std::string::npos);
    EXPECT_NE(text.find("#  85- 88  polar              = b\n"), std::string::npos);
    EXPECT_NE(text.find("# 177-180  wavelenSelect      = 2\n# 197-328  spare             \n# sizeof rr_ramp_hdr_t = 328\n"),
              std::string::npos);
    EXPECT_EQ(text.find("rampRising"), std::string::npos);
    // Points: lines of 1, 10, 10 and 4 values.
    const std::string tail = text.substr(text.find("= 328\n") + 6);
    std::vector<int> per_line;
    size_t start = 0;
    for (size_t nl; (nl = tail.find('\n', start)) != std::string::npos; start = nl + 1) {
        const std::string line = tail.substr(start, nl - start);
        int values = 0;
        for (size_t p = 0; (p = line.find("  ", p)) != std::string::npos; p += 2) ++values;
        per_line.push_back(values);
    }
    EXPECT_EQ(per_line, (std::vector<int>{1, 10, 10, 4}));
}

TEST(RampDump, ExactHeaderText) {
    const rr_ramp_hdr_t h = sample_ramp_header(3);
    const std::vector<uint16_t> points = {1, 2, 3};
    TempDir dir;
    FILE* f = std::fopen(dir.file("dump").c_str(), "w");
    rr_print_ramp(f, &h, points.data(), false);
    std::fclose(f);
    const std::string expected =
        "#   1-  4  magicNumber        = 1380011345\n"
        "#   5-  8  rampType           = 0\n"
        "#   9- 12  pztID              = 12345\n"
        "#  13- 16  rampID             = 3\n"
        "#  17- 20  nPoints            = 3\n"
        "#  21- 24  rampUp             = 10\n"
        "#  25- 28  rampStart          = 0\n"
        "#  29- 32  rampLinear         = 0\n"
        "#  33- 36  rampEnd            = 0\n"
        "#  37- 40  sampleClkFreq      = 2.5\n"
        "#  41- 44  cameraRate         = 25\n"
        "#  45- 48  updateRate         = 63936\n"
        "#  49- 52  grabSkip           = 0\n"
        "#  53- 56  rampSlope          = 81\n"
        "#  57- 60  trigStartAddr      = 0\n"
        "#  61- 64  trigEndAddr        = 0\n"
        "#  65- 68  rampGainDflt       = 2048\n"
        "#  69- 72  rampTriple[0]      = 1.5\n"
        "#  73- 76  rampTriple[1]      = 0\n"
        "#  77- 80  rampTriple[2]      = 0\n"
        "#  81- 84  scanLen            = 10\n"
        "#  85- 88  polar              = b\n"
        "#  89- 92  offset             = 0\n"
        "#  93- 96  nBuckets           = 100\n"
        "#  97-100  rampLin            = 0\n"
        "# 101-104  rampTrim           = 0\n"
        "# 105-108  cameraPClock       = 0\n"
        "# 109-112  cameraHPeriod      = 0\n"
        "# 113-116  cameraVPeriod      = 0\n"
        "# 117-120  cameraInterlace    = 0\n"
        "# 121-124  rampMux            = 0\n"
        "# 125-128  instrBdType        = 1\n"
        "# 129-132  compGain           = 0\n"
        "# 133-136  compFilter         = 0\n"
        "# 137-140  leakage            = 0\n"
        "# 141-144  adcMin             = 0\n"
        "# 145-148  adcMax             = 0\n"
        "# 149-152  adcFirst           = 0\n"
        "# 153-156  adcMid             = 0\n"
        "# 157-160  adcLast            = 0\n"
        "# 161-164  scanCal            = 0\n"
        "# 169-172  fringesPerFrame    = 0.25\n"
        "# 173-176  objMag             = 20\n"
        "# 177-180  wavelenSelect      = 2\n"
        "# 197-328  spare             \n"
        "# sizeof rr_ramp_hdr_t = 328\n"
        "1  \n2  3  \n";
    EXPECT_EQ(read_file(dir.file("dump")), expected);
}

TEST(RampDump, OnePerLine) {
    rr_ramp_hdr_t h = sample_ramp_header(2);
    const std::vector<uint16_t> points = {7, 65535};
    TempDir dir;
    FILE* f = std::fopen(dir.file("dump").c_str(), "w");
    rr_print_ramp(f, &h, points.data(), true);
    std::fclose(f);
    const std::string text = read_file(dir.file("dump"));
    EXPECT_EQ(text.substr(text.find("= 328\n") + 6), "7\n65535\n");
}

struct NameCase {
    int32_t type;
    float scan_len, slope, rate, obj_mag;
    int32_t grab_skip, buckets, mux;
    const char* name;
};

class StdRampName : public ::testing::TestWithParam<NameCase> {};

TEST_P(StdRampName, BuildsName) {
    const NameCase& c = GetParam();
    rr_ramp_hdr_t h = sample_ramp_header(0);
    h.rampType = c.type;
    h.scanLen = c.scan_len;
    h.rampSlope = c.slope;
    h.cameraRate = c.rate;
    h.objMag = c.obj_mag;
    h.grabSkip = c.grab_skip;
    h.nBuckets = c.buckets;
    h.rampMux = c.mux;
    const char* name = nullptr;
    ASSERT_EQ(rr_get_std_ramp_filename(&h, &name), NO_ERROR);
    EXPECT_STREQ(name, c.name);
}

INSTANTIATE_TEST_SUITE_P(Table, StdRampName,
                         ::testing::Values(NameCase{0, 10.0f, 81.0f, 25.0f, 0, 0, 0, 0, "d10s81c25.b12345"},
                                           NameCase{0, 10.9f, 243.7f, 60.0f, 0, 1, 0, 0, "d10s243c30.b12345"},
                                           NameCase{17, 20.0f, 81.0f, 25.0f, 50.5f, 0, 0, 0, "d20s81c25m50.b12345"},
                                           NameCase{5, 0, 0, 30.0f, 0, 0, 7, 0, "p7c30.p12345"},
                                           NameCase{11, 0, 0, 25.0f, 0, 4, 13, 1, "p13c5.q12345"}));

TEST(StdRampNameErrors, UnsupportedType) {
    rr_ramp_hdr_t h = sample_ramp_header(0);
    h.rampType = 19;
    const char* name = "stale";
    CaptureMessages capture;
    EXPECT_EQ(rr_get_std_ramp_filename(&h, &name), ERR_INVALID_PARAM);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(capture.text(), "rr_get_std_ramp_filename: unsupported ramp type 19");
}

}  // namespace
