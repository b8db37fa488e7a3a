#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ascii_file.h"
#include "datafile/ascii.h"
#include "errors/err_codes.h"
#include "support/test_support.h"

namespace {

using testing_support::CaptureMessages;
using testing_support::TempDir;
using testing_support::write_file;

class ReadAscii : public ::testing::Test {
protected:
    ~ReadAscii() override {
        intens_matrix_free(&intens);
        phase_matrix_free(&phase);
    }

    int32_t read(const std::string& bytes, bool with_intens = true, bool with_phase = true) {
        const std::string path = dir.file("in.asc");
        write_file(path, bytes);
        messages.clear();
        // The reader expects matrices that hold no array.
        intens_matrix_free(&intens);
        phase_matrix_free(&phase);
        return datafile_read_ascii(path.c_str(), &ident, &record, with_intens ? &intens : nullptr,
                                   with_phase ? &phase : nullptr);
    }

    TempDir dir;
    CaptureMessages messages;
    datafile_ident ident{};
    datafile_record record{};
    intens_matrix intens{};
    phase_matrix phase{};
};

TEST_F(ReadAscii, FillsEveryFieldOfAValidFile) {
    ASSERT_EQ(read(AsciiFile::valid().text()), NO_ERROR) << messages.text();
    EXPECT_EQ(messages.text(), "");
    EXPECT_EQ(ident.l2_1, 1);
    EXPECT_EQ(ident.l2_4, 4);
    EXPECT_STREQ(ident.l2_5, "identity text");
    EXPECT_EQ(intens.x, 5);
    EXPECT_EQ(intens.aux, 7);
    EXPECT_EQ(intens.n_buckets, 2);
    ASSERT_EQ(intens.size, 12u);
    for (uint16_t i = 0; i < 12; ++i) EXPECT_EQ(intens.matrix[i], i + 1);
    ASSERT_EQ(phase.size, 6u);
    const int32_t phases[] = {-1, 0, 2147483640, 4, 5, INT32_MIN};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(phase.matrix[i], phases[i]);
    EXPECT_STREQ(+record.l5_1, "line five");
    EXPECT_STREQ(+record.l6_1, "line six");
    EXPECT_STREQ(+record.l7_1, "line seven");
    EXPECT_EQ(+record.l8_1, 11);
    EXPECT_FLOAT_EQ(+record.l8_3, -1.25f);
    EXPECT_FLOAT_EQ(+record.l8_4, 1e10f);
    EXPECT_TRUE(std::isinf(+record.l8_5));
    EXPECT_TRUE(std::isnan(+record.l8_6));
    EXPECT_EQ(+record.l8_8, -77);
    EXPECT_EQ(+record.l9_5, 4464);  // 70000 - 65536
    EXPECT_EQ(+record.l9_5_wide, 70000);
    EXPECT_STREQ(+record.l9_7, "objective");
    // Line 10 carries value 4 before value 5.
    EXPECT_EQ(+record.l10_4, 34);
    EXPECT_EQ(+record.l10_5, 35);
    EXPECT_FLOAT_EQ(+record.l10_8, -8.0f);
    EXPECT_EQ(+record.l10_10, INT32_MIN);
    EXPECT_EQ(+record.l11_3, INT32_MAX);
    EXPECT_FLOAT_EQ(+record.l11_5, 4.5f);
    EXPECT_EQ(+record.l11_9, 49);
    EXPECT_STREQ(+record.l12_2, "part text");
    EXPECT_FLOAT_EQ(+record.l13_1, 1.5f);
    EXPECT_FLOAT_EQ(+record.l13_2, -2.5f);
    EXPECT_STREQ(+record.l14_1, "seven");
}

TEST_F(ReadAscii, AcceptsPlainLineFeeds) {
    ASSERT_EQ(read(AsciiFile::valid().text("\n")), NO_ERROR);
    EXPECT_STREQ(+record.l14_1, "seven");
    EXPECT_EQ(phase.matrix[5], INT32_MIN);
}

TEST_F(ReadAscii, SplitsLineNineFifthValue) {
    struct Case {
        const char* value;
        int16_t low;
        int32_t wide;
    } cases[] = {{"70000", 4464, 70000}, {"65535", -1, 0}, {"100000", -31072, 100000}, {"-5", -5, 0}};
    for (const Case& c : cases) {
        AsciiFile f = AsciiFile::valid();
        f.header[8] = std::string("21 22 23 24 ") + c.value + " 26 \"objective  \"";
        ASSERT_EQ(read(f.text()), NO_ERROR) << c.value;
        EXPECT_EQ(+record.l9_5, c.low) << c.value;
        EXPECT_EQ(+record.l9_5_wide, c.wide) << c.value;
    }
}

TEST_F(ReadAscii, FormatOneHasNoLineFourteen) {
    AsciiFile f = AsciiFile::valid();
    f.header[0] = "Kelm ASCII Data File - Format 1";
    f.header.pop_back();
    ASSERT_EQ(read(f.text()), NO_ERROR) << messages.text();
    EXPECT_STREQ(+record.l14_1, "");
    EXPECT_EQ(phase.matrix[2], 2147483640);
}

TEST_F(ReadAscii, ZeroIntensityDimensionsReadNoIntensityBlock) {
    AsciiFile f = AsciiFile::valid();
    f.header[2] = "0 0 0 0 0 0";
    f.body = "#\n#\n1 2 3 4 5 6\n#\n";
    ASSERT_EQ(read(f.text()), NO_ERROR) << messages.text();
    EXPECT_EQ(intens.matrix, nullptr);
    EXPECT_EQ(phase.matrix[5], 6);
}

TEST_F(ReadAscii, AbsentMatricesAreNeitherParsedNorFilled) {
    AsciiFile f = AsciiFile::valid();
    f.header[2] = "not numbers at all";
    f.body = "#\n#\n1 2 3 4 5 6\n";
    ASSERT_EQ(read(f.text(), false, true), NO_ERROR) << messages.text();
    EXPECT_EQ(phase.matrix[0], 1);
}

TEST_F(ReadAscii, MissingFileCannotBeOpened) {
    messages.clear();
    EXPECT_EQ(datafile_read_ascii(dir.file("absent.asc").c_str(), &ident, &record, &intens, &phase),
              ERR_CANT_OPEN_FILE);
    EXPECT_EQ(messages.text(), "-***- Error in Line 0 -***-\n");
}

struct BadFile {
    const char* what;
    std::string (*make)();
    int32_t code;
    int line;
};

std::string with_header_line(int line, const std::string& text) {
    AsciiFile f = AsciiFile::valid();
    f.header[static_cast<size_t>(line - 1)] = text;
    return f.text();
}

std::string with_body(const std::string& body) {
    AsciiFile f = AsciiFile::valid();
    f.body = body;
    return f.text();
}

const BadFile kBadFiles[] = {
    {"empty file", [] { return std::string(); }, ERR_PREMATURE_EOF, 1},
    {"blank before the line end of line 1",
     [] { return with_header_line(1, "Kelm ASCII Data File - Format 1 "); }, ERR_UNKNOWN_ASCII_FORMAT_TYPE, 1},
    {"format 3", [] { return with_header_line(1, "Kelm ASCII Data File - Format 3"); },
     ERR_UNKNOWN_ASCII_FORMAT_TYPE, 1},
    {"line 1 without a line end", [] { return std::string("Kelm ASCII Data File - Format 2"); },
     ERR_UNKNOWN_ASCII_FORMAT_TYPE, 1},
    {"format 2 ending after line 13",
     [] {
         AsciiFile f = AsciiFile::valid();
         f.header.pop_back();
         f.body.clear();
         return f.text();
     },
     ERR_PREMATURE_EOF, 14},
    {"too few values on line 3", [] { return with_header_line(3, "5 6 3 2 2"); }, ERR_CORRUPT_DATA_FILE, 3},
    {"text shorter than its width", [] { return with_header_line(2, "1 2 3 4 \"short\""); },
     ERR_CORRUPT_DATA_FILE, 2},
    {"missing opening quote", [] { return with_header_line(6, "line six                                 "); },
     ERR_CORRUPT_DATA_FILE, 6},
    {"16-bit field given 40000", [] { return with_header_line(10, "31 32 33 40000 35 36 0.25 -8 1 2"); },
     ERR_CORRUPT_DATA_FILE, 10},
    {"16-bit field given -32769", [] { return with_header_line(12, "-32769 \"part text                  \""); },
     ERR_CORRUPT_DATA_FILE, 12},
    {"32-bit field given 2147483648", [] { return with_header_line(11, "2 42 2147483648 44 4.5 46 47 48 49"); },
     ERR_CORRUPT_DATA_FILE, 11},
    {"line 9 value beyond 32 bits", [] { return with_header_line(9, "1 2 3 4 9999999999 6 \"objective  \""); },
     ERR_CORRUPT_DATA_FILE, 9},
    {"a real that is no number", [] { return with_header_line(13, "1.5 x"); }, ERR_CORRUPT_DATA_FILE, 13},
    {"header line of 512 characters", [] { return with_header_line(4, "8 9 3 2" + std::string(505, ' ')); },
     ERR_CORRUPT_DATA_FILE, 4},
    {"NUL byte in a header line", [] { return with_header_line(7, std::string("\"line\0seven", 11) + std::string(30, ' ') + "\""); },
     ERR_CORRUPT_DATA_FILE, 7},
    {"last header line without a line end",
     [] {
         AsciiFile f = AsciiFile::valid();
         f.body.clear();
         std::string text = f.text();
         text.resize(text.size() - 2);  // without the last CR LF
         return text;
     },
     ERR_PREMATURE_EOF, 14},
    {"one intensity value too few", [] { return with_body("#\n1 2 3 4 5 6 7 8 9 10 11\n#\n1 2 3 4 5 6\n#\n"); },
     ERR_CANT_READ_FILE, 14},
    {"intensity above 65535", [] { return with_body("#\n1 2 3 4 5 6 7 8 9 10 11 65536\n#\n1 2 3 4 5 6\n"); },
     ERR_CANT_READ_FILE, 14},
    {"negative intensity", [] { return with_body("#\n1 2 3 4 5 6 7 8 9 10 11 -1\n#\n1 2 3 4 5 6\n"); },
     ERR_CANT_READ_FILE, 14},
    {"phase beyond 32 bits", [] { return with_body("#\n1 2 3 4 5 6 7 8 9 10 11 12\n#\n1 2 3 4 5 2147483648\n"); },
     ERR_CANT_READ_FILE, 14},
    {"phase block cut short", [] { return with_body("#\n1 2 3 4 5 6 7 8 9 10 11 12\n#\n1 2 3 4 5"); },
     ERR_CANT_READ_FILE, 14},
    {"garbage in the values", [] { return with_body("#\n1 2 3 4 5 6 7 8 9 10 11 12\n#\n1 2 \x01\xff 4 5 6\n"); },
     ERR_CANT_READ_FILE, 14},
};

TEST_F(ReadAscii, ReportsEachFaultWithItsCodeAndLine) {
    for (const BadFile& bad : kBadFiles) {
        EXPECT_EQ(read(bad.make()), bad.code) << bad.what;
        EXPECT_EQ(messages.text(), "-***- Error in Line " + std::to_string(bad.line) + " -***-\n") << bad.what;
        // Both matrices are released on every failure.
        EXPECT_EQ(intens.matrix, nullptr) << bad.what;
        EXPECT_EQ(phase.matrix, nullptr) << bad.what;
        EXPECT_EQ(intens.size, 0u) << bad.what;
    }
}

TEST_F(ReadAscii, AcceptsNumbersAsScanfWould) {
    AsciiFile f = AsciiFile::valid();
    f.header[1] = "+1\t2   3 4\"identity text                \"";
    f.header[7] = "11 +0.5 1E3 1e-40 -INFINITY NAN 3.0e0 -0";
    f.body = "#\n-0 +2 003 4\t5\r6 7 8 9 10 11 12#\n-0 +1 2 3 4 5";
    ASSERT_EQ(read(f.text()), NO_ERROR) << messages.text();
    EXPECT_EQ(ident.l2_1, 1);
    EXPECT_FLOAT_EQ(+record.l8_3, 1000.0f);
    EXPECT_TRUE(std::isinf(+record.l8_5) && +record.l8_5 < 0);
    EXPECT_EQ(intens.matrix[0], 0);
    EXPECT_EQ(intens.matrix[2], 3);
    EXPECT_EQ(intens.matrix[5], 6);
    EXPECT_EQ(phase.matrix[5], 5);
}

TEST(Trim, RemovesBlanksTabsAndLineFeedsAtBothEnds) {
    struct Case {
        const char* in;
        const char* out;
        int removed;
    } cases[] = {{"  ab c \t\n", "ab c", 5}, {"abc", "abc", 0}, {" \t\n ", "", 4}, {"", "", 0}, {"x\r", "x\r", 0}};
    for (const Case& c : cases) {
        char text[32];
        std::strcpy(text, c.in);
        EXPECT_EQ(u_trim(text), c.removed) << c.in;
        EXPECT_STREQ(text, c.out) << c.in;
    }
}

}  // namespace
