#include "errors/err_name.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

using testing_support::CaptureMessages;

struct NameCase {
    int32_t code;
    const char* name;
};

class ErrName : public ::testing::TestWithParam<NameCase> {};

TEST_P(ErrName, NamesCode) { EXPECT_STREQ(err_name(GetParam().code), GetParam().name); }

INSTANTIATE_TEST_SUITE_P(
    Table, ErrName,
    ::testing::Values(NameCase{0, "NO_ERROR"}, NameCase{1, "ERR_AC_CANT_AGC"}, NameCase{116, "ERR_CANT_CREATE_FILE"},
                      NameCase{120, "ERR_CANT_OPEN_FILE"}, NameCase{123, "ERR_CANT_READ_FILE"},
                      NameCase{125, "ERR_CANT_WRITE_FILE"}, NameCase{134, "ERR_CORRUPT_DATA_FILE"},
                      NameCase{242, "ERR_INVALID_PARAM"}, NameCase{320, "ERR_NO_MEM"},
                      NameCase{333, "ERR_PARAM_OUT_OF_RANGE"}, NameCase{353, "ERR_PREMATURE_EOF"},
                      NameCase{422, "ERR_UNKNOWN_ASCII_FORMAT_TYPE"}, NameCase{462, "ERR_ZOOM_TIMEOUT"},
                      // Odd spellings and orders are kept as the codes were issued.
                      NameCase{127, "ERR_CENTRIOD_ON_DATA"}, NameCase{222, "ERR_GPIB_OVERLAPING_IO_OPERATION"},
                      NameCase{44, "ERR_CORVEL"}, NameCase{194, "ERR_VEGA_CONFIG_DATA"},
                      NameCase{463, "invalid error number 463"}, NameCase{-1, "invalid error number -1"},
                      NameCase{-5, "invalid error number -5"},
                      NameCase{INT32_MIN, "invalid error number -2147483648"}));

TEST(ErrNameTable, EveryCodeHasAnErrName) {
    for (int32_t code = 1; code <= ERR_LAST_CODE; ++code) {
        const std::string name = err_name(code);
        EXPECT_EQ(name.rfind("ERR_", 0), 0u) << code;
        EXPECT_LE(name.size(), 45u) << code;
    }
}

TEST(ErrNameTable, ConstantsMatchTheirNames) {
    EXPECT_STREQ(err_name(ERR_WM_NAK), "ERR_WM_NAK");
    EXPECT_STREQ(err_name(ERR_SB_CALFILE_SYNTAX), "ERR_SB_CALFILE_SYNTAX");
    EXPECT_EQ(ERR_SB_CALFILE_SYNTAX, 390);
}

TEST(ErrNameTable, SharedBufferHoldsTheLatestLookup) {
    const char* first = err_name(1);
    const char* second = err_name(2);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "ERR_AC_CANT_CALIBRATE");
    EXPECT_STREQ(err_name_can(462), "ERR_ZOOM_TIMEOUT");
    EXPECT_EQ(err_name_can(1), first);
}

TEST(ErrPrint, PrintsNameAndLineEndOnlyForFailures) {
    CaptureMessages capture;
    err_print(NO_ERROR);
    EXPECT_EQ(capture.text(), "");
    err_print(ERR_NO_MEM);
    EXPECT_EQ(capture.text(), "ERR_NO_MEM\n");
    err_print_exit(NO_ERROR);  // returns
}

TEST(ErrPrintDeathTest, PrintExitEndsWithCodeOne) {
    EXPECT_EXIT(err_print_exit(ERR_EOF), ::testing::ExitedWithCode(1), "ERR_EOF");
}

}  // namespace
