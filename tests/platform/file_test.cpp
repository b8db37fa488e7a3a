#include "platform/file.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/path.h"
#include "platform/process.h"
#include "platform/syserr.h"
#include "support/test_support.h"

namespace {

using testing_support::read_file;
using testing_support::TempDir;
using testing_support::write_file;

TEST(FileStatus, KindsAndSize) {
    TempDir dir;
    write_file(dir.file("f"), "12345");
    EXPECT_EQ(plat::file_status(dir.file("f").c_str())->kind, plat::FileKind::Regular);
    EXPECT_EQ(plat::file_status(dir.file("f").c_str())->size, 5u);
    EXPECT_EQ(plat::file_status(dir.path().c_str())->kind, plat::FileKind::Directory);
    EXPECT_EQ(plat::file_status("/dev/null")->kind, plat::FileKind::Other);
    EXPECT_FALSE(plat::file_status(dir.file("missing").c_str()));
    EXPECT_FALSE(plat::file_status(""));
}

TEST(FileOps, WidePathOpensForReal) {
    TempDir dir;
    const std::string name = dir.file("\xD0\xBC\xD0\xB0\xD0\xBF.asc");  // Cyrillic name
    const std::string wide = plat::make_wide_path(name);
    FILE* f = plat::open_file(wide.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("data", f);
    std::fclose(f);
    EXPECT_EQ(read_file(name), "data");
    EXPECT_TRUE(plat::is_regular_file(wide.c_str()));
}

TEST(FileOps, CopyReplacesDestination) {
    TempDir dir;
    write_file(dir.file("a"), "new contents");
    write_file(dir.file("b"), "old contents that are longer");
    EXPECT_EQ(plat::copy_file(dir.file("a").c_str(), dir.file("b").c_str()), 0);
    EXPECT_EQ(read_file(dir.file("b")), "new contents");
    EXPECT_NE(plat::copy_file(dir.file("missing").c_str(), dir.file("c").c_str()), 0);
}

TEST(FileOps, TempNamesAreFreshFilesInTheFolder) {
    TempDir dir;
    const auto a = plat::temp_file_name("_log", dir.path());
    const auto b = plat::temp_file_name("_log", dir.path());
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);
    EXPECT_EQ(a->rfind(dir.path() + "/_log", 0), 0u);
    EXPECT_TRUE(plat::is_regular_file(a->c_str()));
    EXPECT_FALSE(plat::temp_file_name("x", dir.file("no/such/folder")));
}

TEST(FileOps, DirectoriesAndRemoval) {
    TempDir dir;
    EXPECT_EQ(plat::make_dir(dir.file("sub").c_str()), 0);
    EXPECT_EQ(plat::make_dir(dir.file("sub").c_str()), EEXIST);
    write_file(dir.file("sub/x"), "");
    const auto names = plat::list_dir(dir.file("sub").c_str());
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, std::vector<std::string>{"x"});
    EXPECT_EQ(plat::remove_file(dir.file("sub/x").c_str()), 0);
    EXPECT_EQ(plat::remove_file(dir.file("sub/x").c_str()), ENOENT);
}

TEST(Process, ProgramPathAndOverrides) {
    EXPECT_TRUE(plat::program_path().starts_with('/'));
    plat::set_program_path_override("/opt/app/bin/prog");
    EXPECT_EQ(plat::program_path(), "/opt/app/bin/prog");
    plat::set_program_path_override(std::nullopt);
    plat::set_computer_name_override("LAB7");
    EXPECT_EQ(plat::computer_name(), "LAB7");
    plat::set_computer_name_override(std::nullopt);
    EXPECT_FALSE(plat::computer_name().empty());
    EXPECT_FALSE(plat::user_name().empty());
}

TEST(SystemErrors, KnownAndUnknownNumbers) {
    EXPECT_EQ(plat::system_error_text(ENOENT), "No such file or directory");
    EXPECT_FALSE(plat::system_error_text(0x7fff1234));
}

}  // namespace

namespace {

TEST(FileOps, MatchFileModeFollowsTheFileItReplaces) {
    TempDir dir;
    write_file(dir.file("model"), "");
    write_file(dir.file("temp"), "");
    ::chmod(dir.file("model").c_str(), 0640);
    ::chmod(dir.file("temp").c_str(), 0600);
    EXPECT_EQ(plat::match_file_mode(dir.file("temp").c_str(), dir.file("model").c_str()), 0);
    EXPECT_EQ(std::filesystem::status(dir.file("temp")).permissions(), std::filesystem::perms(0640));
    const mode_t mask = ::umask(022);
    EXPECT_EQ(plat::match_file_mode(dir.file("temp").c_str(), dir.file("absent").c_str()), 0);
    EXPECT_EQ(std::filesystem::status(dir.file("temp")).permissions(), std::filesystem::perms(0644));
    ::umask(mask);
}

}  // namespace
