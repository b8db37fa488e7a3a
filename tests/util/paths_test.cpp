#include "util/paths.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/path.h"
#include "support/test_support.h"

namespace {

using testing_support::ScopedCwd;
using testing_support::TempDir;
using testing_support::write_file;

TEST(DriveStrings, TheOneRoot) {
    char buffer[8] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(u_drive_strings(2, buffer), 0);
    EXPECT_EQ(u_drive_strings(3, buffer), 2);
    EXPECT_EQ(std::string(buffer, 3), std::string("/\0\0", 3));
}

TEST(PathRoot, RecognisedForms) {
    struct Case {
        const char* path;
        int32_t result;
        const char* root;
    };
    const Case cases[] = {
        {"  d:\\data\\x.dat", 1, "d:\\"},
        {"\\\\srv\\share", 1, "\\\\srv\\share\\"},
        {"\\\\srv\\share\\dir\\x.dat", 1, "\\\\srv\\share\\"},
        {"/usr/lib/x.so", 1, "/"},
        {"\t/x", 1, "/"},
        {"data\\x.dat", 0, ""},
        {"d:x.dat", 0, ""},
        {"\\\\srv", 0, ""},
        {"\\\\srv\\", 0, ""},
        {"", 0, ""},
        {"   ", 0, ""},
    };
    for (const Case& c : cases) {
        char root[32] = "junk";
        EXPECT_EQ(u_path_root(c.path, root, sizeof root), c.result) << c.path;
        EXPECT_STREQ(root, c.root) << c.path;
    }
}

TEST(PathRoot, RootThatDoesNotFitGivesNothing) {
    char root[12] = "junk";
    EXPECT_EQ(u_path_root("\\\\server\\share\\x", root, sizeof root), 0);
    EXPECT_STREQ(root, "");
    EXPECT_EQ(u_path_root("/x", root, 1), 0);
    EXPECT_EQ(u_path_root(plat::make_wide_path("/wide").c_str(), root, sizeof root), 1);
    EXPECT_STREQ(root, "/");
}

class RelativePath : public ::testing::Test {
protected:
    std::string shown(const std::string& path, int32_t size = 512) {
        char result[512] = "junk";
        last_ = u_relative_path(path.c_str(), result, size);
        return result;
    }
    TempDir dir_;
    int32_t last_ = -1;
};

TEST_F(RelativePath, ShortensForDisplay) {
    const std::string work = dir_.file("work");
    ASSERT_EQ(u_create_directory(work.c_str()), 0);
    ScopedCwd cwd(work);
    EXPECT_EQ(shown("x.dat"), "x.dat");
    EXPECT_EQ(shown("./x.dat"), "x.dat");
    EXPECT_EQ(shown(work + "/x.dat"), "x.dat");
    EXPECT_EQ(shown(work + "/sub/x.dat"), "sub/x.dat");
    EXPECT_EQ(shown(dir_.file("other/x.dat")), "../other/x.dat");
    EXPECT_EQ(shown("/x.dat"), "/x.dat");  // the relative form would be longer
    EXPECT_EQ(last_, 1);
    EXPECT_EQ(shown(plat::make_wide_path(work + "/w.dat")), "w.dat");
}

TEST_F(RelativePath, NoFileNameOrNoRoomGivesNothing) {
    ScopedCwd cwd(dir_.path());
    EXPECT_EQ(shown(dir_.file("sub/")), "");
    EXPECT_EQ(last_, 0);
    EXPECT_EQ(shown(""), "");
    EXPECT_EQ(last_, 0);
    EXPECT_EQ(shown("/elsewhere/long-name.dat", 10), "");
    EXPECT_EQ(last_, 0);
}

TEST(VolumeCheck, ExistingAndMissingPaths) {
    TempDir dir;
    write_file(dir.file("f.dat"), "x");
    EXPECT_EQ(u_volume_check(dir.path().c_str()), 0);
    EXPECT_EQ(u_volume_check(dir.file("f.dat").c_str()), 0);
    EXPECT_EQ(u_volume_check(plat::make_wide_path(dir.file("f.dat")).c_str()), 0);
    EXPECT_EQ(u_volume_check("/"), 0);
    EXPECT_EQ(u_volume_check(dir.file("missing").c_str()), 2);
    EXPECT_EQ(u_volume_check(dir.file("f.dat/below").c_str()), 2);
    EXPECT_EQ(u_volume_check("relative/path"), 2);  // no root
    EXPECT_EQ(u_volume_check("q:\\data"), 2);       // no such drive here
    EXPECT_EQ(u_volume_check(""), 2);
    EXPECT_EQ(u_volume_check(nullptr), 2);
}

TEST(CreateDirectory, CreatedExistingAndFailed) {
    TempDir dir;
    const std::string sub = dir.file("sub");
    EXPECT_EQ(u_create_directory(sub.c_str()), 0);
    EXPECT_EQ(u_create_directory(sub.c_str()), 17);
    EXPECT_EQ(u_create_directory(dir.file("no/such/parent").c_str()), -1);
    EXPECT_EQ(u_create_directory(nullptr), -1);
}

}  // namespace
