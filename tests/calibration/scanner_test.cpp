// The calibration scanner on its own: word boundaries and limits, quoted
// words, the class peek, and integer and real reading with their ranges.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "calibration/cal_read_error.h"
#include "calibration/cal_scan.h"
#include "calibration/cal_vocab.h"
#include "errors/err_codes.h"
#include "support/test_support.h"

namespace {

struct Scan : ::testing::Test {
    testing_support::CaptureMessages capture;
    Scan() { cal_clear_current(); }
    ~Scan() override { cal_clear_current(); }
};

std::string words(const std::string& text) {
    CalStream in{std::string_view(text)};
    std::string out;
    for (int i = 0; i < 20; ++i) {
        int32_t status = 0;
        const auto w = cal_next_word(in, status);
        if (status == ERR_EOF) return out + "<eof>";
        if (status == ERR_EOL) {
            out += "<eol>";  // the reader discards the rest of the line
            if (!in.skip_line()) return out + "<eof>";
            continue;
        }
        out += "{" + *w + "}";
    }
    return out;
}

TEST_F(Scan, WordBoundaries) {
    EXPECT_EQ(words("ab\tcd  ef\n"), "{ab}{cd}{ef}<eol><eof>");
    EXPECT_EQ(words("[3,4] a,b:c"), "{[}{3,4]}{a,b:c}<eof>");
    EXPECT_EQ(words(", : [ ]"), "{,}{:}{[}{]}<eof>");
    EXPECT_EQ(words("a#b # rest\nx"), "{a#b}<eol>{x}<eof>");
    EXPECT_EQ(words("\"two words\"tail"), "{two words}{tail}<eof>");
    EXPECT_EQ(words("ab\"cd"), "{ab}{cd}<eof>");
    EXPECT_EQ(words("a\rb\r\n"), "{ab}<eol><eof>");
}

TEST_F(Scan, QuotedWordMustCloseOnItsLine) {
    int32_t status = 0;
    CalStream in{std::string_view("\"open\nnext")};
    EXPECT_FALSE(cal_next_word(in, status));
    EXPECT_EQ(status, ERR_EOL);
    status = 0;
    CalStream eof{std::string_view("\"open")};
    EXPECT_FALSE(cal_next_word(eof, status));
    EXPECT_EQ(status, ERR_EOF);
}

TEST_F(Scan, WordsAreBounded) {
    const std::string long_word(200, 'x');
    CalStream in{std::string_view(long_word)};
    int32_t status = 0;
    EXPECT_EQ(cal_next_word(in, status)->size(), 81u);
    EXPECT_EQ(cal_next_word(in, status)->size(), 81u);
    EXPECT_EQ(cal_next_word(in, status)->size(), 38u);
    const std::string quoted = "\"" + std::string(100, 'q') + "\"";
    CalStream q{std::string_view(quoted)};
    EXPECT_EQ(cal_next_word(q, status)->size(), 80u);
}

TEST_F(Scan, KeywordsIgnoreCaseAndReportUnknownWords) {
    CalStream in{std::string_view("CaMeRa Bogus\n")};
    int32_t status = 0;
    EXPECT_EQ(cal_next_keyword(in, status), cal_tok("camera"));
    EXPECT_EQ(cal_next_keyword(in, status), CAL_TOK_UNRECOGNISED);
    EXPECT_EQ(status, ERR_SB_CALFILE_SYNTAX);
    EXPECT_EQ(capture.text(), "Error(s) reading system calibration info:\nUnrecognized token \"Bogus\"\n");
    status = 0;
    EXPECT_EQ(cal_next_keyword(in, status), CAL_TOK_EOL);
    EXPECT_EQ(status, 0);
}

TEST_F(Scan, PeekClasses) {
    const struct {
        const char* text;
        CalCharClass cls;
    } cases[] = {{"  \t7", CAL_CLASS_NUMBER}, {"-", CAL_CLASS_NUMBER}, {".5", CAL_CLASS_NUMBER},
                 {"x", CAL_CLASS_WORD},      {"[", CAL_CLASS_BRACKET}, {":", CAL_CLASS_COLON},
                 {"\n", CAL_CLASS_END},      {"\r", CAL_CLASS_END},    {"#", CAL_CLASS_END},
                 {"", CAL_CLASS_END},        {",", CAL_CLASS_OTHER},   {"\"", CAL_CLASS_OTHER}};
    for (const auto& c : cases) {
        CalStream in{std::string_view(c.text)};
        int32_t status = 0;
        EXPECT_EQ(cal_peek_class(in, status), c.cls) << c.text;
        status = ERR_EOL;
        EXPECT_EQ(cal_peek_class(in, status), CAL_CLASS_OTHER);
    }
}

TEST_F(Scan, Integers) {
    const struct {
        const char* text;
        int32_t status;
        int32_t value;
    } cases[] = {{" \n\t 42", 0, 42},
                 {"-7x", 0, -7},
                 {"+5", 0, 5},
                 {"abc", ERR_SB_CALFILE_SYNTAX, 0},
                 {"   \n", ERR_EOF, 0},
                 {"101", ERR_SB_CALFILE_VALUE_RANGE, 0},
                 {"4294967297", ERR_SB_CALFILE_VALUE_RANGE, 0},
                 {"-99999999999999999999999", ERR_SB_CALFILE_VALUE_RANGE, 0}};
    for (const auto& c : cases) {
        CalStream in{std::string_view(c.text)};
        int32_t status = 0;
        EXPECT_EQ(cal_read_int(in, status, -100, 100), c.value) << c.text;
        EXPECT_EQ(status, c.status) << c.text;
    }
    CalStream wide{std::string_view("2147483648")};
    int32_t status = 0;
    cal_read_int(wide, status, INT32_MIN, INT32_MAX);
    EXPECT_EQ(status, ERR_SB_CALFILE_VALUE_RANGE);
    EXPECT_NE(capture.text().find("2147483648 out of range [-2147483648,2147483647]"), std::string::npos);
}

TEST_F(Scan, RealsWithOpenEndsAndNan) {
    const struct {
        const char* text;
        bool lower_closed;
        bool upper_closed;
        int32_t status;
        const char* message;
    } cases[] = {{"1.5e0", true, true, 0, nullptr},
                 {"0", false, true, ERR_SB_CALFILE_VALUE_RANGE, "0 out of range (0,2]\n"},
                 {"2", true, false, ERR_SB_CALFILE_VALUE_RANGE, "2 out of range [0,2)\n"},
                 {"2", false, false, ERR_SB_CALFILE_VALUE_RANGE, "2 out of range (0,2)\n"},
                 {"nan", true, true, ERR_SB_CALFILE_VALUE_RANGE, "nan out of range [0,2]\n"},
                 {"-inf", true, true, ERR_SB_CALFILE_VALUE_RANGE, "-inf out of range [0,2]\n"},
                 {"1e999", true, true, ERR_SB_CALFILE_VALUE_RANGE, "inf out of range [0,2]\n"},
                 {"1e-999", true, true, 0, nullptr},
                 {"x", true, true, ERR_SB_CALFILE_SYNTAX, nullptr}};
    for (const auto& c : cases) {
        capture.clear();
        cal_clear_current();
        CalStream in{std::string_view(c.text)};
        int32_t status = 0;
        const double v = cal_read_real(in, status, 0, 2, c.lower_closed, c.upper_closed);
        EXPECT_EQ(status, c.status) << c.text;
        if (status != 0) {
            EXPECT_EQ(v, 0.0);
        }
        if (c.message != nullptr) {
            EXPECT_NE(capture.text().find(c.message), std::string::npos) << capture.text();
        }
    }
}

}  // namespace
