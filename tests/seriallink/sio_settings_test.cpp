#include <gtest/gtest.h>

#include "errors/err_codes.h"
#include "seriallink/sio_settings.h"

namespace {

struct Accepted {
    const char* text;
    sio_settings_t want;
};

TEST(SioSettings, AcceptedStringsGiveTheirLineSettings) {
    const Accepted cases[] = {
        {"38400,8,0,1", {38400, 8, 0, false, 1.0f}},
        {"9600,7,2,1.5", {9600, 7, 2, true, 1.5f}},
        {"150,5,1,2", {150, 5, 1, true, 2.0f}},
        {"115200,6,0,2.0", {115200, 6, 0, false, 2.0f}},
        // Each field is read from its leading number.
        {" 19200 ,8x,0y, 1", {19200, 8, 0, false, 1.0f}},
    };
    for (const auto& c : cases) {
        sio_settings_t got{};
        ASSERT_EQ(sio_parse_settings(c.text, &got), NO_ERROR) << c.text;
        EXPECT_EQ(got.baud, c.want.baud) << c.text;
        EXPECT_EQ(got.bits, c.want.bits) << c.text;
        EXPECT_EQ(got.parity, c.want.parity) << c.text;
        EXPECT_EQ(got.parity_check, c.want.parity_check) << c.text;
        EXPECT_EQ(got.stop_bits, c.want.stop_bits) << c.text;
    }
}

TEST(SioSettings, RefusedStringsGiveTheErrorOfTheirFirstBadField) {
    struct Refused {
        const char* text;
        int32_t err;
    } cases[] = {
        {"38400,8", ERR_INVALID_PARAM},        // no parity
        {"38400", ERR_INVALID_PARAM},          // no comma after the baud rate
        {"9600,8,0", ERR_INVALID_PARAM},       // no comma after the parity
        {"9600,8,N,1", ERR_PARAM_OUT_OF_RANGE},  // parity not a digit
        {"9600,8,,1", ERR_PARAM_OUT_OF_RANGE},
        {"9600,8,3,1", ERR_INVALID_PARAM},
        {"9600,8,0,3", ERR_PARAM_OUT_OF_RANGE},
        {"9600,8,0,", ERR_PARAM_OUT_OF_RANGE},
        {"9600,8,0,1.25", ERR_PARAM_OUT_OF_RANGE},
        {"9600,9,0,1", ERR_INVALID_PARAM},
        {"9600,4,0,1", ERR_INVALID_PARAM},
        {"14400,8,0,1", ERR_INVALID_PARAM},
        {"14400,8", ERR_INVALID_PARAM},
        {"99999999999,8,0,1", ERR_INVALID_PARAM},
        {"", ERR_INVALID_PARAM},
        {"r+", ERR_INVALID_PARAM},  // only sio_init knows the file modes
    };
    for (const auto& c : cases) {
        sio_settings_t got = SIO_DEFAULT_SETTINGS;
        EXPECT_EQ(sio_parse_settings(c.text, &got), c.err) << c.text;
        EXPECT_EQ(got.baud, 9600) << "untouched on failure: " << c.text;
    }
}

TEST(SioSettings, FileOpenModesAreRecognised) {
    for (const char* mode : {"r", "r+", "w", "w+", "a", "a+"}) EXPECT_TRUE(sio_is_open_mode(mode)) << mode;
    for (const char* other : {"", "rb", "R", "a++", "9600,8,0,1"}) EXPECT_FALSE(sio_is_open_mode(other)) << other;
}

}  // namespace
