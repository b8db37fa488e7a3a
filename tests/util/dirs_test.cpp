#include "util/dirs.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"
#include "platform/process.h"
#include "support/test_support.h"

namespace {

using testing_support::CaptureMessages;
using testing_support::ScopedEnv;
using testing_support::TempDir;

// Clears the directory variables and caches, and places the program in a
// known folder, for each test.
class Dirs : public ::testing::Test {
protected:
    Dirs() : install_("TQ_INSTALL_DIR", nullptr), config_("TQ_CONFIG_DIR", nullptr), ramps_("TQ_RAMPS_DIR", nullptr) {
        plat::make_dir(dir_.file("app").c_str());
        plat::make_dir(dir_.file("app/bin").c_str());
        plat::set_program_path_override(dir_.file("app/bin/prog"));
        kelm::reset_dirs_for_test();
    }
    ~Dirs() override {
        plat::set_program_path_override(std::nullopt);
        plat::set_computer_name_override(std::nullopt);
        kelm::reset_dirs_for_test();
    }
    std::string app() const { return dir_.file("app"); }

    TempDir dir_;
    ScopedEnv install_, config_, ramps_;
    CaptureMessages capture_;
};

TEST_F(Dirs, DerivedFromProgramLocation) {
    EXPECT_EQ(std::string(u_install_dir()), app());
    EXPECT_EQ(std::string(u_install_dir()), app());
    EXPECT_EQ(capture_.text(), "Install directory: " + app() + "\n");  // printed once
    // No cfg folder: the installation directory is the configuration one.
    EXPECT_EQ(std::string(u_config_dir()), app());
    EXPECT_EQ(std::string(u_ramps_dir()), app() + "/ramps");
    EXPECT_TRUE(plat::is_directory((app() + "/ramps").c_str()));
}

TEST_F(Dirs, ConfigFolderIsUsedWhenItExists) {
    plat::make_dir((app() + "/cfg").c_str());
    EXPECT_EQ(std::string(u_config_dir()), app() + "/cfg");
    EXPECT_EQ(std::string(u_ramps_dir()), app() + "/cfg/ramps");
    EXPECT_TRUE(plat::is_directory((app() + "/cfg/ramps").c_str()));
}

TEST_F(Dirs, CfgThatIsAFileIsNotAFolder) {
    testing_support::write_file(app() + "/cfg", "");
    EXPECT_EQ(std::string(u_config_dir()), app());
}

TEST_F(Dirs, EnvironmentVariablesWin) {
    ScopedEnv install("TQ_INSTALL_DIR", "/opt/elsewhere");
    ScopedEnv config("TQ_CONFIG_DIR", "C:\\kelm\\cfg");
    ScopedEnv ramps("TQ_RAMPS_DIR", "/srv/ramps");
    EXPECT_STREQ(u_install_dir(), "/opt/elsewhere");
    EXPECT_STREQ(u_config_dir(), "C:/kelm/cfg");
    EXPECT_STREQ(u_ramps_dir(), "/srv/ramps");
    EXPECT_EQ(capture_.text(), "");
}

TEST_F(Dirs, ConfigVariableStandsWithoutInstallDirectory) {
    plat::set_program_path_override("/prog");  // in the root: no installation directory
    ScopedEnv config("TQ_CONFIG_DIR", "/etc/kelm");
    EXPECT_EQ(u_install_dir(), nullptr);
    EXPECT_STREQ(u_config_dir(), "/etc/kelm");
}

TEST_F(Dirs, NoInstallationDirectoryMeansNone) {
    plat::set_program_path_override("/prog");
    EXPECT_EQ(u_install_dir(), nullptr);
    EXPECT_EQ(u_config_dir(), nullptr);
    EXPECT_EQ(u_ramps_dir(), nullptr);
}

TEST_F(Dirs, ResultsAreCachedForTheProcess) {
    EXPECT_EQ(std::string(u_install_dir()), app());
    ScopedEnv install("TQ_INSTALL_DIR", "/changed");
    EXPECT_EQ(std::string(u_install_dir()), app());
}

TEST_F(Dirs, LongPathsAreNotCut) {
    std::string deep = dir_.path();
    for (int i = 0; i < 30; ++i) {
        deep += "/folder_with_a_long_name";
        plat::make_dir(deep.c_str());
    }
    plat::make_dir((deep + "/bin").c_str());
    plat::set_program_path_override(deep + "/bin/prog");
    ASSERT_GT(deep.size(), 260u);
    EXPECT_EQ(std::string(u_install_dir()), deep);
    EXPECT_EQ(std::string(u_ramps_dir()), deep + "/ramps");
}

TEST_F(Dirs, HostFileNameIsBuiltOnce) {
    plat::set_computer_name_override("LAB7");
    EXPECT_STREQ(u_host_file_name(1), "LAB7.1");
    EXPECT_STREQ(u_host_file_name(2), "LAB7.1");
}

TEST_F(Dirs, HostFileNameCutsDomainAndLength) {
    plat::set_computer_name_override("VeryLongHostName123.lab.example");
    EXPECT_STREQ(u_host_file_name(0), "VeryLongHostNam.0");
    kelm::reset_dirs_for_test();
    plat::set_computer_name_override("");
    EXPECT_STREQ(u_host_file_name(3), ".3");
}

}  // namespace
