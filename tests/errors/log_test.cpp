#include "errors/log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "errors/err_codes.h"
#include "platform/file.h"
#include "support/test_support.h"

namespace {

using testing_support::CaptureMessages;
using testing_support::read_file;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::write_file;

// Lines of exactly 100 bytes on disk: 98 characters and CR LF.
std::string hundred_byte_lines(int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += std::string(97, static_cast<char>('a' + i)) + std::to_string(i % 10) + "\r\n";
    return out;
}

class LogFile : public ::testing::Test {
protected:
    LogFile() : tmp_("TMPDIR", dir_.path().c_str()) {}
    std::string log() const { return dir_.file("app.log"); }
    // Files other than the log left in the folder (temporary files).
    size_t leftovers() const { return plat::list_dir(dir_.path().c_str())->size() - (plat::is_regular_file(log().c_str()) ? 1 : 0); }
    TempDir dir_;
    ScopedEnv tmp_;
    CaptureMessages capture_;
};

TEST_F(LogFile, CutKeepsTheLastLinesThenAppends) {
    const std::string lines = hundred_byte_lines(12);
    write_file(log(), lines);
    EXPECT_EQ(u_log_to_file(log().c_str(), "new\n", 1000, 500), NO_ERROR);
    EXPECT_EQ(read_file(log()), lines.substr(700) + "new\r\n");
    EXPECT_EQ(leftovers(), 0u);
    EXPECT_EQ(capture_.text(), "");
}

TEST_F(LogFile, BelowTheLimitOnlyAppends) {
    const std::string lines = hundred_byte_lines(9);
    write_file(log(), lines);
    EXPECT_EQ(u_log_to_file(log().c_str(), "new", 1000, 500), NO_ERROR);
    EXPECT_EQ(read_file(log()), lines + "new");
}

TEST_F(LogFile, NoLimitOrNoKeepSizeNeverCuts) {
    const std::string lines = hundred_byte_lines(12);
    write_file(log(), lines);
    EXPECT_EQ(u_log_to_file(log().c_str(), "x", 0, 500), NO_ERROR);
    EXPECT_EQ(u_log_to_file(log().c_str(), "y", 1000, 0), NO_ERROR);
    EXPECT_EQ(read_file(log()), lines + "xy");
}

TEST_F(LogFile, NegativeLimitOnlyCreatesTheFile) {
    EXPECT_EQ(u_log_to_file(log().c_str(), "ignored", -1, 0), NO_ERROR);
    EXPECT_TRUE(plat::is_regular_file(log().c_str()));
    EXPECT_EQ(read_file(log()), "");
    write_file(log(), "keep");
    EXPECT_EQ(u_log_to_file(log().c_str(), "ignored", -1, 0), NO_ERROR);
    EXPECT_EQ(read_file(log()), "keep");
}

TEST_F(LogFile, MissingLogIsCreated) {
    EXPECT_EQ(u_log_to_file(log().c_str(), "first\n", 1000, 500), NO_ERROR);
    EXPECT_EQ(read_file(log()), "first\r\n");
}

TEST_F(LogFile, UnopenableExistingLogIsReportedAndKept) {
    if (::geteuid() == 0) {
        // Root opens any file: a folder in the log's place cannot be opened
        // as a file by anyone, and must not be removed either.
        ASSERT_EQ(plat::make_dir(log().c_str()), 0);
        EXPECT_EQ(u_log_to_file(log().c_str(), "x", 1000, 500), ERR_FILE_IO);
        EXPECT_TRUE(plat::is_directory(log().c_str()));
    } else {
        write_file(log(), "precious");
        ::chmod(log().c_str(), 0);
        EXPECT_EQ(u_log_to_file(log().c_str(), "x", 1000, 500), ERR_FILE_IO);
        ::chmod(log().c_str(), 0644);
        EXPECT_EQ(read_file(log()), "precious");
    }
    EXPECT_EQ(capture_.text(), "u_log_to_file: error accessing file '" + log() + "'\n");
}

TEST_F(LogFile, UncreatableLogIsReported) {
    const std::string path = dir_.file("no/such/dir/log");
    EXPECT_EQ(u_log_to_file(path.c_str(), "x", 1000, 500), ERR_FILE_IO);
    EXPECT_EQ(capture_.text(), "u_log_to_file: error accessing file '" + path + "'\n");
}

TEST(LogFileTemp, NoTemporaryFolderMeansNoCut) {
    TempDir dir;
    ScopedEnv tmp("TMPDIR", dir.file("missing").c_str());
    CaptureMessages capture;
    const std::string lines = hundred_byte_lines(12);
    write_file(dir.file("log"), lines);
    EXPECT_EQ(u_log_to_file(dir.file("log").c_str(), "x", 1000, 500), ERR_CANT_CREATE_FILE);
    EXPECT_EQ(capture.text(), "u_log_to_file: cannot obtain temp file name\n");
    EXPECT_EQ(read_file(dir.file("log")), lines);
}

}  // namespace
