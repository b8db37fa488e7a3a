#include <gtest/gtest.h>

#include <string>

#include "errors/err_codes.h"
#include "ramp_test_support.h"
#include "support/test_support.h"

namespace {

using testing_support::CaptureMessages;

struct CompatCase {
    const char* what;
    int32_t ramp_type, ramp_board, instrument_board, pifoc, pzt, pzt_id, buckets;
    float fpf, slope;
    int32_t error;
    float fpf_after;
    int32_t pzt_id_after;
    const char* messages;
};

class RampCompat : public ::testing::TestWithParam<CompatCase> {};

TEST_P(RampCompat, ChecksAndNormalises) {
    const CompatCase& c = GetParam();
    rr_ramp_hdr_t h = sample_ramp_header(0);
    h.rampType = c.ramp_type;
    h.instrBdType = c.ramp_board;
    h.pztID = c.pzt_id;
    h.nBuckets = c.buckets;
    h.fringesPerFrame = c.fpf;
    h.rampSlope = c.slope;
    CaptureMessages capture;
    EXPECT_EQ(rr_check_ramp_compat(&h, "r.dat", c.instrument_board, c.pifoc, c.pzt), c.error) << c.what;
    EXPECT_EQ(h.fringesPerFrame, c.fpf_after) << c.what;
    EXPECT_EQ(h.pztID, c.pzt_id_after) << c.what;
    EXPECT_EQ(capture.text(), c.messages) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RampCompat,
    ::testing::Values(
        CompatCase{"swli derived 0.75", 0, 1, 1, 77, -1, 77, 0, 0.0f, 243.0f, NO_ERROR, 0.75f, 77, ""},
        CompatCase{"swli slope without rule", 0, 1, 1, 77, -1, 77, 0, 0.0f, 100.0f, ERR_INVALID_PARAM, 0.0f, 77,
                   "Error: invalid fringesPerFrame 0 in ramp data file \"r.dat\"\n"},
        CompatCase{"swli even quarters", 0, 1, 1, 77, -1, 77, 0, 0.5f, 81.0f, ERR_INVALID_PARAM, 0.5f, 77,
                   "Error: invalid fringesPerFrame 0.5 in ramp data file \"r.dat\"\n"},
        CompatCase{"btw odd quarters", 17, 0, 3, 77, -1, 77, 0, 1.75f, 0.0f, NO_ERROR, 1.75f, 77, ""},
        CompatCase{"other pifoc", 0, 1, 1, 88, -1, 77, 0, 0.25f, 0.0f, NO_ERROR, 0.25f, 88,
                   "Warning: ramp data file \"r.dat\" was generated for a different PIFOC\n"
                   "Changing ramp S/N from 77 to 88\n"},
        CompatCase{"no pifoc", 0, 1, 1, -1, 5, 77, 0, 0.25f, 0.0f, ERR_INVALID_PARAM, 0.25f, 77,
                   "Error: ramp data file \"r.dat\" can only be used with a PIFOC\n"},
        CompatCase{"no pzt", 3, 1, 1, 5, -1, 77, 7, 0.25f, 0.0f, ERR_INVALID_PARAM, 0.25f, 77,
                   "Error: ramp data file \"r.dat\" can only be used with a PZT\n"},
        CompatCase{"pmi 7 buckets derived", 3, 1, 1, -1, 77, 77, 7, 0.0f, 0.0f, NO_ERROR, 0.25f, 77, ""},
        CompatCase{"pmi 13 buckets derived", 3, 1, 1, -1, 77, 77, 13, 0.0f, 0.0f, NO_ERROR, 0.125f, 77, ""},
        CompatCase{"pmi 7 buckets eighth", 3, 1, 1, -1, 77, 77, 7, 0.125f, 0.0f, ERR_INVALID_PARAM, 0.125f, 77,
                   "Error: invalid fringesPerFrame 0.125 in ramp data file \"r.dat\"\n"},
        CompatCase{"pmi 15 buckets any", 3, 1, 1, -1, 77, 77, 15, 0.3f, 0.0f, NO_ERROR, 0.3f, 77, ""},
        CompatCase{"other pzt", 12, 1, 1, -1, 90, 77, 5, 0.25f, 0.0f, NO_ERROR, 0.25f, 90,
                   "Warning: ramp data file \"r.dat\" was generated for a different PZT\n"
                   "Changing ramp S/N from 77 to 90\n"},
        CompatCase{"can accepts board 1", 0, 1, 8, 77, -1, 77, 0, 0.25f, 0.0f, NO_ERROR, 0.25f, 77, ""},
        CompatCase{"can refuses board 3", 0, 3, 8, 77, -1, 77, 0, 0.25f, 0.0f, ERR_WRONG_INSTR_BOARD, 0.25f, 77,
                   "Error: ramp data file r.dat is not compatible with this instrument\n"},
        CompatCase{"board mismatch", 0, 3, 1, 77, -1, 77, 0, 0.25f, 0.0f, ERR_WRONG_INSTR_BOARD, 0.25f, 77,
                   "Error: ramp data file r.dat is not compatible with this instrument\n"},
        CompatCase{"unknown type", 19, 0, 1, 77, 77, 77, 0, 0.25f, 0.0f, ERR_CORRUPT_RAMP_FILE, 0.25f, 77,
                   "Error: ramp data file \"r.dat\" is of unknown type 19\n"}));

TEST(RampConversions, QuartersAndScanTypes) {
    const struct {
        double fpf;
        int32_t quarters;
    } quarters[] = {{0.25, 1}, {0.7505, 3}, {1.25, 5}, {1.75, 7}, {2.25, 9}, {2.75, 11}, {5.25, 21}};
    for (const auto& q : quarters) {
        int32_t out = 0;
        EXPECT_EQ(rr_fpf_to_quarters(q.fpf, &out), NO_ERROR);
        EXPECT_EQ(out, q.quarters);
    }
    CaptureMessages capture;
    int32_t out = 0;
    EXPECT_EQ(rr_fpf_to_quarters(0.5, &out), ERR_INTERNAL_TQ);
    EXPECT_EQ(capture.text(), "Invalid fringesPerFrame 0.5\n");

    const struct {
        int32_t scan_type;
        double fpf;
    } types[] = {{1, 0.25}, {5, 0.75}, {9, 1.25}, {17, 1.75}, {33, 2.25}, {65, 2.75}};
    for (const auto& t : types) {
        double fpf = 0;
        EXPECT_EQ(rr_scan_type_to_fpf(t.scan_type, &fpf), NO_ERROR);
        EXPECT_EQ(fpf, t.fpf);
    }
    capture.clear();
    double fpf = 0;
    EXPECT_EQ(rr_scan_type_to_fpf(2, &fpf), ERR_INTERNAL_TQ);
    EXPECT_EQ(capture.text(), "Internal error: invalid scanType 2\n");
}

TEST(RampConversions, NominalValue) {
    EXPECT_EQ(rr_nominal_value(94.6), 100);
    EXPECT_EQ(rr_nominal_value(144.5), 150);
    EXPECT_EQ(rr_nominal_value(96), 96);
    EXPECT_EQ(rr_nominal_value(49.49), 49);
    EXPECT_EQ(rr_nominal_value(1e300), 0);
}

TEST(RampTypeNames, Table) {
    EXPECT_STREQ(rr_ramp_type_name(0), "SWLI");
    EXPECT_STREQ(rr_ramp_type_name(5), "PMI");
    EXPECT_STREQ(rr_ramp_type_name(8), "?");
    EXPECT_STREQ(rr_ramp_type_name(11), "PMI");
    EXPECT_STREQ(rr_ramp_type_name(17), "BTW");
    EXPECT_STREQ(rr_ramp_type_name(19), "FR");
    EXPECT_STREQ(rr_ramp_type_name(20), "?");
    EXPECT_STREQ(rr_ramp_type_name(-1), "?");
}

}  // namespace
