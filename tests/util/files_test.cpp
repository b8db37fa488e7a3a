#include "util/files.h"

#include <gtest/gtest.h>

#include <string>

#include "errors/err_codes.h"
#include "platform/file.h"
#include "platform/path.h"
#include "support/test_support.h"
#include "util/dirs.h"

namespace {

using testing_support::CaptureMessages;
using testing_support::read_file;
using testing_support::ScopedCwd;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::write_file;

TEST(FileExists, OnlyRegularFiles) {
    TempDir dir;
    write_file(dir.file("empty"), "");
    EXPECT_TRUE(u_file_exists(dir.file("empty").c_str()));
    EXPECT_TRUE(u_file_exists(plat::make_wide_path(dir.file("empty")).c_str()));
    EXPECT_FALSE(u_file_exists(dir.path().c_str()));
    EXPECT_FALSE(u_file_exists("/dev/null"));
    EXPECT_FALSE(u_file_exists(dir.file("missing").c_str()));
    EXPECT_FALSE(u_file_exists(""));
}

TEST(CopyFile, ReplacesDestinationOrReports) {
    TempDir dir;
    write_file(dir.file("a"), "A");
    write_file(dir.file("b"), "BBBB");
    EXPECT_EQ(u_copy_file(dir.file("a").c_str(), dir.file("b").c_str()), NO_ERROR);
    EXPECT_EQ(read_file(dir.file("b")), "A");
    CaptureMessages capture;
    EXPECT_EQ(u_copy_file(dir.file("missing").c_str(), dir.file("c").c_str()), ERR_CANT_WRITE_FILE);
    EXPECT_EQ(capture.text(), "u_copy_file failed: win_err = 2\n");
}

// A working folder and a configuration folder, each possibly holding cal.1.
class FindFile : public ::testing::Test {
protected:
    FindFile() : config_env_("TQ_CONFIG_DIR", config_.path().c_str()), cwd_(work_.path()) {
        kelm::reset_dirs_for_test();
    }
    ~FindFile() override { kelm::reset_dirs_for_test(); }
    TempDir work_, config_;
    ScopedEnv config_env_;
    ScopedCwd cwd_;
};

TEST_F(FindFile, CurrentDirectoryComesFirst) {
    write_file(work_.file("cal.1"), "");
    write_file(config_.file("cal.1"), "");
    const char* found = nullptr;
    EXPECT_EQ(u_find_file("cal.1", &found), NO_ERROR);
    EXPECT_STREQ(found, "./cal.1");
}

TEST_F(FindFile, ThenTheConfigurationDirectory) {
    write_file(config_.file("cal.1"), "");
    const char* found = nullptr;
    EXPECT_EQ(u_find_file("cal.1", &found), NO_ERROR);
    EXPECT_EQ(std::string(found), config_.file("cal.1"));
}

TEST_F(FindFile, NowhereIsCantRead) {
    const char* found = "stale";
    EXPECT_EQ(u_find_file("cal.1", &found), ERR_CANT_READ_FILE);
    EXPECT_EQ(found, nullptr);
}

TEST_F(FindFile, AnchoredNamesAreNotSearched) {
    write_file(config_.file("cal.1"), "");
    const char* found = nullptr;
    EXPECT_EQ(u_find_file("./cal.1", &found), ERR_CANT_READ_FILE);
    EXPECT_EQ(u_find_file(".\\cal.1", &found), ERR_CANT_READ_FILE);
    EXPECT_EQ(u_find_file((work_.path() + "/cal.1").c_str(), &found), ERR_CANT_READ_FILE);
    EXPECT_EQ(u_find_file(config_.file("cal.1").c_str(), &found), NO_ERROR);
    EXPECT_EQ(std::string(found), config_.file("cal.1"));
}

TEST_F(FindFile, DirectoriesDoNotCount) {
    plat::make_dir(work_.file("cal.1").c_str());
    write_file(config_.file("cal.1"), "");
    const char* found = nullptr;
    EXPECT_EQ(u_find_file("cal.1", &found), NO_ERROR);
    EXPECT_EQ(std::string(found), config_.file("cal.1"));
}

TEST_F(FindFile, WideNameIsDecoded) {
    write_file(config_.file("\xC3\xA9t\xC3\xA9.cal"), "");
    const char* found = nullptr;
    EXPECT_EQ(u_find_file(plat::make_wide_path("\xC3\xA9t\xC3\xA9.cal").c_str(), &found), NO_ERROR);
    EXPECT_EQ(std::string(found), config_.file("\xC3\xA9t\xC3\xA9.cal"));
}

TEST_F(FindFile, EmptyNameClearsTheResult) {
    write_file(work_.file("cal.1"), "");
    const char* found = nullptr;
    ASSERT_EQ(u_find_file("cal.1", &found), NO_ERROR);
    EXPECT_EQ(u_find_file("", &found), NO_ERROR);
    EXPECT_EQ(found, nullptr);
    found = "stale";
    EXPECT_EQ(u_find_file(nullptr, &found), NO_ERROR);
    EXPECT_EQ(found, nullptr);
}

TEST(FindFileNoConfig, MissingConfigurationDirectoryIsCantOpen) {
    TempDir work;
    ScopedCwd cwd(work.path());
    ScopedEnv config("TQ_CONFIG_DIR", nullptr);
    ScopedEnv install("TQ_INSTALL_DIR", "");
    kelm::reset_dirs_for_test();
    const char* found = nullptr;
    EXPECT_EQ(u_find_file("cal.1", &found), ERR_CANT_OPEN_FILE);
    kelm::reset_dirs_for_test();
}

}  // namespace
