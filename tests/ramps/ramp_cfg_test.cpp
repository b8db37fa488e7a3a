#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "errors/err_codes.h"
#include "ramp_test_support.h"
#include "ramps/ramp_cfg.h"
#include "support/test_support.h"
#include "util/memhooks.h"

namespace {

using testing_support::CaptureMessages;
using testing_support::read_file;
using testing_support::TempDir;
using testing_support::write_file;

const std::string kSwli = " SWLI d10s81c25.b12345 10.20 25.00 0 0 0.250 81.0 0 1.0";

class RampCfg : public ::testing::Test {
protected:
    ~RampCfg() override { gl_mem_free(entries_); }
    int32_t read(const std::string& text) {
        write_file(path(), text);
        gl_mem_free(entries_);
        entries_ = nullptr;
        return rr_read_ramp_cfg_file(path().c_str(), &entries_, &count_);
    }
    std::string path() const { return dir_.file("ramps.cfg"); }
    std::string error_report(const std::string& first, int line, const std::string& text, const std::string& second) {
        return "Error reading ramp config file \"" + path() + "\"\n" + first + " in line " + std::to_string(line) +
               ":\n  " + text + "\n" + second;
    }
    TempDir dir_;
    CaptureMessages capture_;
    rr_ramp_cfg_t* entries_ = nullptr;
    int32_t count_ = 0;
};

TEST_F(RampCfg, ReadsEveryFieldAndSkipsComments) {
    ASSERT_EQ(read("# comment\n\n   \t\n" + kSwli + "\r\n #x\n PMI p7c30.p* 0 30 1 2 0.25 0 0 0 1\n"
                   " BTW3 d20s81c25m50.b* 20 25 0 1 0.75 243 50 1.2 # hidden comment\n"),
              NO_ERROR);
    ASSERT_EQ(count_, 3);
    const rr_ramp_cfg_t& swli = entries_[0];
    EXPECT_EQ(swli.rampType, 0);
    EXPECT_STREQ(swli.fileName, "d10s81c25.b12345");
    EXPECT_FLOAT_EQ(swli.scanLen, 10.2f);
    EXPECT_FLOAT_EQ(swli.scanCal, 1.0f);
    EXPECT_EQ(swli.hide, 0);
    EXPECT_EQ(entries_[1].rampType, 1);
    EXPECT_EQ(entries_[1].cameraInterlace, 1);
    EXPECT_EQ(entries_[1].grabSkip, 2);
    EXPECT_EQ(entries_[1].hide, 1);
    EXPECT_EQ(entries_[2].rampType, 17);
    EXPECT_EQ(entries_[2].wavelenSelect, 3);
    EXPECT_FLOAT_EQ(entries_[2].objMag, 50.0f);
    EXPECT_EQ(entries_[2].hide, 0);
    EXPECT_EQ(capture_.text(), "");
}

struct BadLine {
    std::string line;
    std::string first;
    std::string second;
};

class RampCfgBadLine : public RampCfg, public ::testing::WithParamInterface<BadLine> {};

TEST_P(RampCfgBadLine, IsRejectedWithItsMessage) {
    const BadLine& c = GetParam();
    ASSERT_EQ(read(kSwli + "\n" + c.line + "\n"), NO_ERROR);
    EXPECT_EQ(count_, 1);
    EXPECT_EQ(capture_.text(), error_report(c.first, 2, c.line, c.second) + "Accepted 1 of 2 ramp specs in ramp config file \"" +
                                   path() + "\"\n");
}

const std::string kPmiSecondScanLen =
    "For PMI ramps, the ScanLen value must be 0\nFor SWLI or BTW ramps, it must be greater than 0 and less than 1000 (um)\n";

INSTANTIATE_TEST_SUITE_P(
    Table, RampCfgBadLine,
    ::testing::Values(
        BadLine{" BTW5 a 10 25 0 0 0.25 81 50 1", "Invalid BTW wavelength index (field 1)",
                "Wavelength index must be an integer in the range [1,4]\n"},
        BadLine{" BTWx a 10 25 0 0 0.25 81 50 1", "Invalid BTW wavelength index (field 1)",
                "Wavelength index must be an integer in the range [1,4]\n"},
        BadLine{" PMIX a 0 25 0 0 0.25 0 0 0", "Invalid RampType value (field 1)",
                "Allowed RampType values are SWLI, PMI, BTW, and BTWX\nwhere X is a wavelength index in the range [1,4]\n"},
        BadLine{" PMI " + std::string(81, 'n') + " 0 25 0 0 0.25 0 0 0", "FileName is too long (field 2)",
                "The FileName may be up to 80 characters\n"},
        BadLine{" PMI a 10 25 0 0 0.25 0 0 0", "Invalid ScanLen value 10 (field 3)", kPmiSecondScanLen},
        BadLine{" SWLI a 0 25 0 0 0.25 81 0 1", "Invalid ScanLen value 0 (field 3)", kPmiSecondScanLen},
        BadLine{" SWLI a 1000 25 0 0 0.25 81 0 1", "Invalid ScanLen value 1000 (field 3)", kPmiSecondScanLen},
        BadLine{" SWLI a nan 25 0 0 0.25 81 0 1", "Invalid ScanLen value nan (field 3)", kPmiSecondScanLen},
        BadLine{" SWLI a 10 50000 0 0 0.25 81 0 1", "Invalid CameraRate value 50000 (field 4)",
                "The CameraRate value must be greater than 0 and less than 50000 (Hz)\n"},
        BadLine{" SWLI a 10 25 2 0 0.25 81 0 1", "Invalid CameraInterlace value 2 (field 5)",
                "The CameraInterlace value must be 0 or 1\n"},
        BadLine{" SWLI a 10 25 0 100 0.25 81 0 1", "Invalid GrabSkip value 100 (field 6)",
                "The GrabSkip value must be greater than or equal to 0 and less than 100\n"},
        BadLine{" SWLI a 10 25 0 0 10 81 0 1", "Invalid FringesPerFrame value 10 (field 7)",
                "The FringesPerFrame value must be greater than 0 and less than 10\n"},
        BadLine{" SWLI a 10 25 0 0 0.25 0 0 1", "Invalid RampSlope value 0 (field 8)",
                "For PMI ramps, the RampSlope value may be 0\nFor SWLI or BTW ramps, it must be greater than 0 and less "
                "than 4000 (nm/frm)\n"},
        BadLine{" BTW a 10 25 0 0 0.25 81 0 1", "Invalid ObjMag value 0 (field 9)",
                "For PMI or SWLI ramps, the ObjMag value may be 0\nFor BTW ramps, it must be greater than 0 and less "
                "than 1000\n"},
        BadLine{" PMI a 0 25 0 0 0.25 0 0 1", "Invalid ScanCal value 1 (field 10)",
                "For PMI ramps, the ScanCal value must be 0\nFor SWLI or BTW ramps, it must be greater than 0.5 and "
                "less than 1.5\n"},
        BadLine{" SWLI a 10 25 0 0 0.25 81 0 1 2", "Invalid Hide value 2 (field 11)",
                "The Hide value must be blank, 0 or 1\n"},
        BadLine{" SWLI a 10 25 0 0 0.25 x 0 1", "Invalid RampSlope value 0 (field 8)",
                "For PMI ramps, the RampSlope value may be 0\nFor SWLI or BTW ramps, it must be greater than 0 and less "
                "than 4000 (nm/frm)\n"},
        BadLine{" SWLI a 10 25 0", "Missing GrabSkip value (field 6)", ""}));

TEST_F(RampCfg, AcceptedEdgeValues) {
    ASSERT_EQ(read(" SWLIX a 999.9 49999.9 0 99 9.99 3999 999 1.49\n BTW b 10 25 0 0 0.25 81 1 0.51\n PMI " +
                   std::string(80, 'n') + " 0 25 0 0 0.25 0 0 0\n"),
              NO_ERROR);
    ASSERT_EQ(count_, 3);
    EXPECT_EQ(entries_[0].rampType, 0);
    EXPECT_EQ(entries_[0].grabSkip, 99);
    EXPECT_EQ(entries_[1].wavelenSelect, 0);
    EXPECT_EQ(std::string(entries_[2].fileName).size(), 80u);
}

TEST_F(RampCfg, CommentsOnlyFail) {
    EXPECT_EQ(read("# nothing\n\n"), ERR_CORRUPT_RAMP_CFG_FILE);
    EXPECT_EQ(entries_, nullptr);
    EXPECT_EQ(count_, 0);
    EXPECT_EQ(capture_.text(), "No acceptable ramp specs in ramp config file \"" + path() +
                                   "\"\nFormat description and sample:\n" + rr_ramp_cfg_format_text + "\n" +
                                   rr_ramp_cfg_sample_line + "\n");
}

TEST_F(RampCfg, OverlongLineIsFatal) {
    EXPECT_EQ(read(kSwli + "\n" + kSwli + std::string(201 - kSwli.size(), ' ') + "\n" + kSwli + "\n"),
              ERR_CORRUPT_RAMP_CFG_FILE);
    EXPECT_EQ(entries_, nullptr);
    EXPECT_EQ(count_, 0);
    EXPECT_EQ(capture_.text(), "Error reading ramp config file \"" + path() + "\"\nLine longer than 200 characters in line 2\n");
    // A line of exactly 200 characters is fine.
    capture_.clear();
    EXPECT_EQ(read(kSwli + std::string(200 - kSwli.size(), ' ') + "\n"), NO_ERROR);
}

TEST_F(RampCfg, TwentyFirstBadLineStopsReading) {
    std::string text = kSwli + "\n";
    for (int i = 0; i < 25; ++i) text += " XXX\n";
    EXPECT_EQ(read(text), ERR_CORRUPT_RAMP_CFG_FILE);
    EXPECT_EQ(entries_, nullptr);
    const std::string& out = capture_.text();
    EXPECT_NE(out.find("Invalid RampType value (field 1) in line 22:\n"), std::string::npos);
    EXPECT_EQ(out.find("in line 23"), std::string::npos);
    EXPECT_NE(out.find("Too many errors reading ramp config file \"" + path() + "\"\n"), std::string::npos);
}

TEST_F(RampCfg, ArgumentsAndMissingFile) {
    rr_ramp_cfg_t* not_null = entries_ + 1;
    EXPECT_EQ(rr_read_ramp_cfg_file(path().c_str(), &not_null, &count_), ERR_INVALID_PARAM);
    EXPECT_EQ(rr_read_ramp_cfg_file(dir_.file("none").c_str(), &entries_, &count_), ERR_CANT_OPEN_FILE);
    EXPECT_EQ(capture_.text(), "Cannot open ramp config file \"" + dir_.file("none") + "\"\n");
}

TEST_F(RampCfg, ManyEntriesGrowTheArray) {
    std::string text;
    for (int i = 0; i < 23; ++i) text += kSwli + "\n";
    ASSERT_EQ(read(text), NO_ERROR);
    EXPECT_EQ(count_, 23);
}

rr_ramp_cfg_t entry(int32_t type, const char* name, float rate) {
    rr_ramp_cfg_t e{};
    e.rampType = type;
    std::snprintf(e.fileName, sizeof e.fileName, "%s", name);
    const bool pmi = rr_is_pmi(type);
    e.scanLen = pmi ? 0.0f : 10.2f;
    e.cameraRate = rate;
    e.fringesPerFrame = 0.25f;
    e.rampSlope = pmi ? 0.0f : 81.0f;
    e.objMag = type == 17 ? 50.0f : 0.0f;
    e.scanCal = pmi ? 0.0f : 1.0f;
    return e;
}

TEST_F(RampCfg, WriterGroupsAndRowFormat) {
    std::vector<rr_ramp_cfg_t> entries = {entry(0, "a", 25.0f), entry(0, "a", 25.9f), entry(0, "a", 26.5f),
                                          entry(17, "b", 26.5f), entry(5, "c", 30.0f), entry(42, "d", 30.0f)};
    entries[3].wavelenSelect = 2;
    entries[4].hide = 1;
    ASSERT_EQ(rr_write_ramp_cfg_file(path().c_str(), entries.data(), 6), NO_ERROR);
    const std::string expected = std::string("# Phasorix Ramp Configuration File\r\n") + rr_ramp_cfg_format_text + "\r\n" +
                                 "\r\n"
                                 " SWLI a                       10.20  25.00  0  0 0.250  81.0000   0.00 1.00000 0\r\n"
                                 " SWLI a                       10.20  25.90  0  0 0.250  81.0000   0.00 1.00000 0\r\n"
                                 "\r\n"
                                 " SWLI a                       10.20  26.50  0  0 0.250  81.0000   0.00 1.00000 0\r\n"
                                 "\r\n"
                                 " BTW2 b                       10.20  26.50  0  0 0.250  81.0000  50.00 1.00000 0\r\n"
                                 "\r\n"
                                 " PMI  c                        0.00  30.00  0  0 0.250   0.0000   0.00 0.00000 1\r\n"
                                 "\r\n"
                                 " XXX  d                       10.20  30.00  0  0 0.250  81.0000   0.00 1.00000 0\r\n";
    std::string written = read_file(path());
    // The comment block's own line ends are CR LF on disk too.
    std::string block = rr_ramp_cfg_format_text;
    for (size_t p = 0; (p = block.find('\n', p)) != std::string::npos; p += 2) block.replace(p, 1, "\r\n");
    std::string want = expected;
    want.replace(want.find(rr_ramp_cfg_format_text), std::string(rr_ramp_cfg_format_text).size(), block);
    EXPECT_EQ(written, want);
}

TEST_F(RampCfg, WrittenFileReadsBack) {
    std::vector<rr_ramp_cfg_t> entries = {entry(0, "a", 25.0f), entry(1, "b", 30.0f), entry(17, "c", 25.0f)};
    entries[2].wavelenSelect = 4;
    ASSERT_EQ(rr_write_ramp_cfg_file(path().c_str(), entries.data(), 3), NO_ERROR);
    ASSERT_EQ(rr_read_ramp_cfg_file(path().c_str(), &entries_, &count_), NO_ERROR);
    ASSERT_EQ(count_, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(entries_[i].rampType, entries[static_cast<size_t>(i)].rampType);
        EXPECT_STREQ(entries_[i].fileName, entries[static_cast<size_t>(i)].fileName);
        EXPECT_FLOAT_EQ(entries_[i].cameraRate, entries[static_cast<size_t>(i)].cameraRate);
    }
    EXPECT_EQ(entries_[2].wavelenSelect, 4);
}

TEST_F(RampCfg, WriterErrors) {
    const rr_ramp_cfg_t e = entry(0, "a", 25.0f);
    EXPECT_EQ(rr_write_ramp_cfg_file(path().c_str(), nullptr, 1), ERR_INVALID_PARAM);
    EXPECT_EQ(rr_write_ramp_cfg_file(dir_.file("no/such/x").c_str(), &e, 1), ERR_CANT_OPEN_FILE);
    EXPECT_EQ(rr_write_ramp_cfg_file("/dev/full", &e, 1), ERR_CANT_WRITE_FILE);
}

TEST(RampCfgCheck, FirstMismatchIsReported) {
    rr_ramp_t ramp{};
    ramp.hdr = sample_ramp_header(0);  // SWLI, 25 Hz, slope 81, fpf 0.25, scan length 10
    rr_ramp_cfg_t e{};
    e.rampType = 0;
    e.cameraRate = 25.05f;
    e.fringesPerFrame = 0.25f;
    e.scanLen = 10.0f;
    e.rampSlope = 81.0f;
    e.objMag = 99.0f;  // not compared
    CaptureMessages capture;
    EXPECT_EQ(rr_check_cfg_vs_ramp(&e, &ramp), NO_ERROR);
    const struct {
        void (*change)(rr_ramp_cfg_t&);
        const char* message;
    } cases[] = {
        {[](rr_ramp_cfg_t& c) { c.rampType = 17; }, "Error: mismatched rampType\n"},
        {[](rr_ramp_cfg_t& c) { c.cameraRate = 25.2f; }, "Error: mismatched cameraRate\n"},
        {[](rr_ramp_cfg_t& c) { c.cameraInterlace = 1; }, "Error: mismatched cameraInterlace\n"},
        {[](rr_ramp_cfg_t& c) { c.grabSkip = 1; }, "Error: mismatched grabSkip\n"},
        {[](rr_ramp_cfg_t& c) { c.fringesPerFrame = 0.75f; }, "Error: mismatched fringesPerFrame\n"},
        {[](rr_ramp_cfg_t& c) { c.scanLen = 10.5f; }, "Error: mismatched scanLen\n"},
        {[](rr_ramp_cfg_t& c) { c.rampSlope = 82.0f; }, "Error: mismatched rampSlope\n"},
    };
    for (const auto& c : cases) {
        rr_ramp_cfg_t changed = e;
        c.change(changed);
        capture.clear();
        EXPECT_EQ(rr_check_cfg_vs_ramp(&changed, &ramp), ERR_INVALID_PARAM) << c.message;
        EXPECT_EQ(capture.text(), c.message);
    }
}

TEST(RampCfgCheck, PmiDataIgnoresScanLengthAndSlope) {
    rr_ramp_t ramp{};
    ramp.hdr = sample_ramp_header(0);
    ramp.hdr.rampType = 5;
    ramp.hdr.nBuckets = 5;
    rr_ramp_cfg_t e{};
    e.rampType = 1;
    e.cameraRate = 25.0f;
    e.fringesPerFrame = 0.25f;
    e.scanLen = 123.0f;
    e.rampSlope = 7.0f;
    EXPECT_EQ(rr_check_cfg_vs_ramp(&e, &ramp), NO_ERROR);
    e.rampType = 5;
    EXPECT_EQ(rr_check_cfg_vs_ramp(&e, &ramp), NO_ERROR);
    e.rampType = 0;
    CaptureMessages capture;
    EXPECT_EQ(rr_check_cfg_vs_ramp(&e, &ramp), ERR_INVALID_PARAM);
}

}  // namespace
