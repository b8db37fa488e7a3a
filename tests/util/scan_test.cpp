#include "util/scan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "util/ask.h"

namespace {

constexpr int32_t kNoMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kNoMax = std::numeric_limits<int32_t>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ScanInt, ContinuesOnTheSameLine) {
    char message[U_SCAN_MESSAGE_SIZE];
    int32_t value = 0;
    EXPECT_TRUE(u_scan_int("12 x 7", nullptr, "count", 0, 100, nullptr, message, &value));
    EXPECT_EQ(value, 12);
    EXPECT_STREQ(message, "");
    EXPECT_FALSE(u_scan_int(nullptr, nullptr, "count", 0, 100, nullptr, message, &value));
    EXPECT_EQ(value, 2147483647);
    EXPECT_STREQ(message, "Not a number.\nExpected 'count' an integer value in the range [0,100]\n");
    EXPECT_TRUE(u_scan_int(nullptr, nullptr, "count", 0, 100, nullptr, message, &value));
    EXPECT_EQ(value, 7);
    EXPECT_FALSE(u_scan_int(nullptr, nullptr, "count", 0, 100, nullptr, message, &value));
    EXPECT_STREQ(message, "Missing number.\nExpected 'count' an integer value in the range [0,100]\n");
}

struct IntCase {
    const char* line;
    int32_t min, max;
    const char* label;
    const char* message;
};

class ScanIntMessages : public ::testing::TestWithParam<IntCase> {};

TEST_P(ScanIntMessages, ComposesReasonAndExpectation) {
    const IntCase& c = GetParam();
    char message[U_SCAN_MESSAGE_SIZE];
    int32_t value = 0;
    EXPECT_FALSE(u_scan_int(c.line, nullptr, c.label, c.min, c.max, nullptr, message, &value));
    EXPECT_STREQ(message, c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ScanIntMessages,
    ::testing::Values(
        IntCase{"11", 0, 10, "grab mode", "Number out of range.\nExpected 'grab mode' an integer value in the range [0,10]\n"},
        IntCase{"12abc", 0, 100, "", "Extra characters after number.\nExpected an integer value in the range [0,100]\n"},
        IntCase{"-1", 0, kNoMax, nullptr, "Number out of range.\nExpected an integer value greater than or equal to 0\n"},
        IntCase{"100", kNoMin, 99, nullptr, "Number out of range.\nExpected an integer value less than or equal to 99\n"},
        IntCase{"4294967296", kNoMin, kNoMax, nullptr,
                "Number out of range.\nExpected an integer value less than or equal to 2147483647\n"},
        IntCase{"x", 0, 1, "0123456789012345678901234567890123456789ABCDEFGHIJ",
                "Not a number.\nExpected '0123456789012345678901234567890123456789' an integer value in the range "
                "[0,1]\n"}));

TEST(ScanInt, FullRangeAcceptsTheExtremes) {
    int32_t value = 0;
    EXPECT_TRUE(u_scan_int("-2147483648 2147483647", nullptr, nullptr, kNoMin, kNoMax, nullptr, nullptr, &value));
    EXPECT_EQ(value, kNoMin);
    EXPECT_TRUE(u_scan_int(nullptr, nullptr, nullptr, kNoMin, kNoMax, nullptr, nullptr, &value));
    EXPECT_EQ(value, kNoMax);
}

TEST(ScanInt, KeywordMismatchFailsSilently) {
    char message[U_SCAN_MESSAGE_SIZE] = "old";
    int32_t value = 0;
    EXPECT_FALSE(u_scan_int("5", nullptr, "x", 0, 9, "SIX", message, &value));
    EXPECT_STREQ(message, "");
    EXPECT_FALSE(u_scan_int("5", nullptr, "x", 0, 9, nullptr, message, nullptr));
}

TEST(ScanInt, OwnDelimiters) {
    int32_t value = 0;
    EXPECT_TRUE(u_scan_int("3,4", ",", nullptr, 0, 9, nullptr, nullptr, &value));
    EXPECT_TRUE(u_scan_int(nullptr, ",", nullptr, 0, 9, nullptr, nullptr, &value));
    EXPECT_EQ(value, 4);
}

TEST(ScanReal, ValuesLimitsAndMessages) {
    char message[U_SCAN_MESSAGE_SIZE];
    double value = 0;
    EXPECT_TRUE(u_scan_real("2.5e1", nullptr, "gain", 0, 100, nullptr, message, &value));
    EXPECT_EQ(value, 25.0);
    EXPECT_FALSE(u_scan_real("101", nullptr, "gain", 0, 100, nullptr, message, &value));
    EXPECT_TRUE(std::isinf(value));
    EXPECT_STREQ(message, "Number out of range.\nExpected 'gain' a floating point value in the range [0,100]\n");
    EXPECT_FALSE(u_scan_real("-1", nullptr, nullptr, 0.5, kInf, nullptr, message, &value));
    EXPECT_STREQ(message, "Number out of range.\nExpected a floating point value greater than or equal to 0.5\n");
    EXPECT_FALSE(u_scan_real("1x", nullptr, nullptr, -kInf, 2, nullptr, message, &value));
    EXPECT_STREQ(message, "Extra characters after number.\nExpected a floating point value less than or equal to 2\n");
}

TEST(ScanReal, NanIsRefusedWhereALimitGuards) {
    char message[U_SCAN_MESSAGE_SIZE];
    double value = 0;
    EXPECT_FALSE(u_scan_real("nan", nullptr, nullptr, 0, 100, nullptr, message, &value));
    EXPECT_STREQ(message, "Number out of range.\nExpected a floating point value in the range [0,100]\n");
    EXPECT_TRUE(u_scan_real("nan", nullptr, nullptr, -kInf, kInf, nullptr, message, &value));
}

TEST(ScanText, LengthLimit) {
    char message[U_SCAN_TEXT_MESSAGE_BASE + 16];
    char text[11];
    EXPECT_TRUE(u_scan_text("abcdefghij next", nullptr, "name", 10, message, text));
    EXPECT_STREQ(text, "abcdefghij");
    EXPECT_FALSE(u_scan_text("abcdefghijk", nullptr, "name", 10, message, text));
    EXPECT_STREQ(text, "");
    EXPECT_STREQ(message, "String longer than maximum of 10 characters.\nExpected name, a string of up to 10 characters\n");
    EXPECT_FALSE(u_scan_text("", nullptr, nullptr, 10, message, text));
    EXPECT_STREQ(message, "Missing string.\nExpected a string of up to 10 characters\n");
    EXPECT_FALSE(u_scan_text("ab", nullptr, nullptr, 1, message, text));
}

TEST(Strxcmp, LooseMatching) {
    EXPECT_EQ(strxcmp("Grab Mode:", "GRABMODE"), 0);
    EXPECT_EQ(strxcmp("ab:c", "AB C"), 0);
    EXPECT_NE(strxcmp("\"a b\"", "ab"), 0);
    EXPECT_NE(strxcmp("ab", "a:b"), 0);  // only the first text's colons are blanks
    EXPECT_EQ(strxcmp("abc", "abd"), -1);
    EXPECT_EQ(strxcmp("abd", "abc"), 1);
    EXPECT_EQ(strxcmp("\xE9", "a"), 1);  // bytes compare unsigned
}

TEST(RemoveBlanks, KeepsQuotedBlanks) {
    char text[] = " a b\t\"c d\" e ";
    EXPECT_EQ(u_remove_blanks(text), 5);
    EXPECT_STREQ(text, "ab\"c d\"e");
}

// Feeds standard input from a string for the console prompts.
class AskInput : public ::testing::Test {
protected:
    void answer(const char* text) {
        FILE* in = std::tmpfile();
        std::fputs(text, in);
        std::rewind(in);
        saved_ = stdin;
        stdin = in;
    }
    void TearDown() override {
        if (saved_ != nullptr) {
            std::fclose(stdin);
            stdin = saved_;
        }
    }
    FILE* saved_ = nullptr;
};

TEST_F(AskInput, EmptyLineKeepsValue) {
    answer("\n");
    int32_t value = 42;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(u_ask_int("value [%d]: ", &value));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "value [42]: ");
    EXPECT_EQ(value, 42);
}

TEST_F(AskInput, NumbersAcceptTrailingText) {
    answer("17 apples\n2.5x\n-3\n");
    int32_t i = 0;
    double d = 0;
    int16_t s = 0;
    EXPECT_TRUE(u_ask_int(nullptr, &i));
    EXPECT_TRUE(u_ask_double(nullptr, &d));
    EXPECT_TRUE(u_ask_short(nullptr, &s));
    EXPECT_EQ(i, 17);
    EXPECT_EQ(d, 2.5);
    EXPECT_EQ(s, -3);
}

TEST_F(AskInput, YesNoAndText) {
    answer("Yes\n0\nmaybe\nsome text\n");
    bool flag = false;
    EXPECT_TRUE(u_ask_yes_no(nullptr, &flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(u_ask_yes_no(nullptr, &flag));
    EXPECT_FALSE(flag);
    EXPECT_FALSE(u_ask_yes_no(nullptr, &flag));
    char text[5] = "old";
    EXPECT_TRUE(u_ask_text(nullptr, text, sizeof text));
    EXPECT_STREQ(text, "some");
    float f = 1;
    EXPECT_FALSE(u_ask_float(nullptr, &f));  // end of input
    EXPECT_EQ(f, 1);
}

}  // namespace
