#include <gtest/gtest.h>

#include <cstring>

#include "datafile/ascii.h"
#include "errors/err_codes.h"
#include "platform/file.h"
#include "support/test_support.h"

namespace {

using testing_support::read_file;
using testing_support::TempDir;

TEST(WriteAscii, WritesTheHeaderAndTenValuesPerLine) {
    TempDir dir;
    datafile_ident ident{};
    ident.l2_1 = -3;
    std::strcpy(ident.l2_5, "id");
    datafile_record record{};
    record.l8_2 = 0.5f;
    record.l9_5 = 4464;
    record.l9_5_wide = 70000;
    std::strcpy(record.l14_1, "abcdefg");
    uint16_t values[23];
    for (uint16_t i = 0; i < 23; ++i) values[i] = static_cast<uint16_t>(i * 1000);
    intens_matrix intens{23, 1, 2, 23, 1, 1, 9, values};
    const std::string path = dir.file("out.asc");
    ASSERT_EQ(datafile_write_ascii(path.c_str(), &ident, &record, &intens, nullptr), NO_ERROR);
    const std::string expected =
        "Kelm ASCII Data File - Format 2\r\n"
        "-3 0 0 0 \"id                           \"\r\n"
        "1 2 23 1 1 9\r\n"
        "0 0 0 0\r\n"
        "\"" + std::string(81, ' ') + "\"\r\n"
        "\"" + std::string(39, ' ') + "\"\r\n"
        "\"" + std::string(39, ' ') + "\"\r\n"
        "0 0.5 0 0 0 0 0 0\r\n"
        "0 0 0 0 70000 0 \"           \"\r\n"
        "0 0 0 0 0 0 0 0 0 0\r\n"
        "0 0 0 0 0 0 0 0 0\r\n"
        "0 \"                           \"\r\n"
        "0 0\r\n"
        "\"abcdefg\"\r\n"
        "#\r\n"
        "0 1000 2000 3000 4000 5000 6000 7000 8000 9000 \r\n"
        "10000 11000 12000 13000 14000 15000 16000 17000 18000 19000 \r\n"
        "20000 21000 22000 \r\n"
        "#\r\n"
        "#\r\n";
    EXPECT_EQ(read_file(path), expected);
}

TEST(WriteAscii, LineNineUsesTheShortValueWithoutAWideOne) {
    TempDir dir;
    datafile_ident ident{};
    datafile_record record{};
    record.l9_5 = -1;
    int32_t values[1] = {-7};
    phase_matrix phase{1, 0, 0, 1, 1, values};
    const std::string path = dir.file("out.asc");
    ASSERT_EQ(datafile_write_ascii(path.c_str(), &ident, &record, nullptr, &phase), NO_ERROR);
    const std::string text = read_file(path);
    EXPECT_NE(text.find("\r\n0 0 0 0 -1 0 \""), std::string::npos);
    EXPECT_NE(text.find("#\r\n#\r\n-7 \r\n#\r\n"), std::string::npos);
}

TEST(WriteAscii, NeedsAMatrixAndACreatableFile) {
    TempDir dir;
    datafile_ident ident{};
    datafile_record record{};
    const std::string path = dir.file("none.asc");
    EXPECT_EQ(datafile_write_ascii(path.c_str(), &ident, &record, nullptr, nullptr), ERR_INVALID_PARAM);
    EXPECT_FALSE(plat::file_status(path.c_str()).has_value());
    phase_matrix phase{};
    EXPECT_EQ(datafile_write_ascii(dir.path().c_str(), &ident, &record, nullptr, &phase), ERR_CANT_CREATE_FILE);
}

}  // namespace
