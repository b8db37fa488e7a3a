#include "errors/msg.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "support/test_support.h"

namespace {

using testing_support::CaptureMessages;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::write_file;

// Fixes the local time zone and the clock, so time stamps are known.
class FixedTime : public ::testing::Test {
protected:
    FixedTime() : tz_("TZ", "UTC"), clock_(1'310'133'839), use_(clock_) { tzset(); }  // 2011-07-08 14:03:59 UTC
    ~FixedTime() override { tzset(); }
    ScopedEnv tz_;
    plat::VirtualClock clock_;
    plat::ScopedClock use_;
};

TEST(MsgPrinters, DefaultPrinterWritesToStandardErrorOnly) {
    ASSERT_EQ(gl_msg_print, msg_to_stderr);
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    gl_msg_print("value %d\n", 7);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "value 7\n");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

TEST(MsgPrinters, StreamFollowsThePrinter) {
    const msg_printer_fn saved = gl_msg_print;
    EXPECT_EQ(msg_stream(), stderr);
    gl_msg_print = msg_to_stdout;
    EXPECT_EQ(msg_stream(), stdout);
    gl_msg_print = msg_discard;
    EXPECT_EQ(msg_stream(), nullptr);
    gl_msg_print = saved;
}

TEST(MsgPrinters, ToFileFormatsIntoTheGivenStream) {
    TempDir dir;
    FILE* f = std::fopen(dir.file("out").c_str(), "w+");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(msg_to_file(f, "%s=%d\n", "x", 3), 0);
    std::rewind(f);
    char line[16] = {};
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
    EXPECT_STREQ(line, "x=3\n");
    std::fclose(f);
}

TEST_F(FixedTime, TimeStampFormat) {
    char buffer[40];
    EXPECT_STREQ(u_time_stamp(buffer), "2011-07-08 14:03:59");
}

TEST_F(FixedTime, StampedMessageHasTimeAndBlank) {
    CaptureMessages capture;
    msg_stamped("%d\n", 5);
    EXPECT_EQ(capture.text(), "2011-07-08 14:03:59 5\n");
}

TEST_F(FixedTime, StampedMessageIsCutAt511Characters) {
    CaptureMessages capture;
    const std::string long_text(2000, 'x');
    msg_stamped("%s", long_text.c_str());
    EXPECT_EQ(capture.text(), "2011-07-08 14:03:59 " + std::string(511, 'x'));
}

TEST(MsgSystemError, KnownAndUnknownCodes) {
    char buffer[MSG_SYSTEM_ERROR_TEXT_SIZE];
    EXPECT_STREQ(msg_system_error_text(2, buffer), "No such file or directory");
    EXPECT_STREQ(msg_system_error_text(0x1234ABCD, buffer), "System error code 0x1234ABCD");
    EXPECT_STREQ(msg_system_error_text(-1, buffer), "System error code 0xFFFFFFFF");
    CaptureMessages capture;
    msg_system_error(0x7FFF0001);
    EXPECT_EQ(capture.text(), "System error code 0x7FFF0001\n");
}

TEST(MsgPrintFileLines, PrefixesEveryCompleteLine) {
    TempDir dir;
    write_file(dir.file("f.txt"), "one\r\ntwo\n\nlast without end");
    CaptureMessages capture;
    msg_print_file_lines(dir.file("f.txt").c_str(), "> ");
    EXPECT_EQ(capture.text(), "> one\n> two\n> \n");
    capture.clear();
    msg_print_file_lines(dir.file("f.txt").c_str(), nullptr);
    EXPECT_EQ(capture.text(), "one\ntwo\n\n");
}

TEST(MsgPrintFileLines, StopsAtALineLongerThan511) {
    TempDir dir;
    write_file(dir.file("f.txt"), "a\n" + std::string(600, 'y') + "\nb\n");
    CaptureMessages capture;
    msg_print_file_lines(dir.file("f.txt").c_str(), "");
    EXPECT_EQ(capture.text(), "a\n");
}

TEST(MsgPrintFileLines, MissingFile) {
    CaptureMessages capture;
    msg_print_file_lines("/no/such/file", "");
    EXPECT_EQ(capture.text(), "Cannot read file /no/such/file\n");
}

}  // namespace
