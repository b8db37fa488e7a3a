#include "util/dir_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/path.h"
#include "support/test_support.h"
#include "util/memhooks.h"
#include "util/paths.h"

namespace {

using testing_support::TempDir;
using testing_support::write_file;

std::vector<std::string> read_all(u_dir_list_t* list) {
    std::vector<std::string> names;
    while (const u_dir_entry_t* e = u_dir_read(list)) {
        EXPECT_EQ(e->number, static_cast<int32_t>(names.size()) + 1);
        EXPECT_EQ(e->length, static_cast<int32_t>(std::string(e->name).size()));
        names.emplace_back(e->name);
    }
    return names;
}

class DirList : public ::testing::Test {
protected:
    void SetUp() override {
        // Created out of order: the listing sorts them.
        for (const char* name : {"b.txt", "a.txt", "C.txt", ".hidden"}) write_file(dir_.file(name), "x");
        u_create_directory(dir_.file("zdir").c_str());
    }
    TempDir dir_;
    const std::vector<std::string> expected_{".", "..", ".hidden", "C.txt", "a.txt", "b.txt", "zdir"};
};

TEST_F(DirList, SelfAndParentFirstThenSortedByName) {
    for (const std::string& path : {dir_.path(), dir_.path() + "/", plat::make_wide_path(dir_.path())}) {
        u_dir_list_t* list = u_dir_open(path.c_str());
        ASSERT_NE(list, nullptr) << path;
        EXPECT_EQ(u_dir_tell(list), 0);
        EXPECT_EQ(read_all(list), expected_);
        EXPECT_EQ(u_dir_tell(list), 7);
        u_dir_close(list);
    }
}

TEST_F(DirList, SeekAndTell) {
    u_dir_list_t* list = u_dir_open(dir_.path().c_str());
    ASSERT_NE(list, nullptr);
    u_dir_seek(list, 2);  // past the directory and its parent, as the ramp scan does
    EXPECT_EQ(u_dir_tell(list), 2);
    const u_dir_entry_t* e = u_dir_read(list);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->number, 3);
    EXPECT_STREQ(e->name, ".hidden");
    u_dir_seek(list, -1);  // ignored
    EXPECT_EQ(u_dir_tell(list), 3);
    u_dir_seek(list, 100);
    EXPECT_EQ(u_dir_tell(list), 7);
    EXPECT_EQ(u_dir_read(list), nullptr);
    u_dir_seek(list, 0);
    EXPECT_STREQ(u_dir_read(list)->name, ".");
    u_dir_close(list);
}

TEST(DirListOpen, EmptyDirectoryHasSelfAndParent) {
    TempDir dir;
    u_dir_list_t* list = u_dir_open(dir.path().c_str());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(read_all(list), (std::vector<std::string>{".", ".."}));
    u_dir_close(list);
    u_dir_list_t* root = u_dir_open("/");
    ASSERT_NE(root, nullptr);
    u_dir_close(root);
}

TEST(DirListOpen, NotADirectoryGivesNone) {
    TempDir dir;
    write_file(dir.file("file"), "x");
    EXPECT_EQ(u_dir_open(dir.file("file").c_str()), nullptr);
    EXPECT_EQ(u_dir_open(dir.file("missing").c_str()), nullptr);
    EXPECT_EQ(u_dir_open(""), nullptr);
    EXPECT_EQ(u_dir_open(nullptr), nullptr);
    EXPECT_EQ(u_dir_read(nullptr), nullptr);
    EXPECT_EQ(u_dir_tell(nullptr), 0);
    u_dir_seek(nullptr, 1);
    u_dir_close(nullptr);
}

// An allocator that fails after a set number of allocations.
int g_allocations_left = 0;
void* failing_alloc(size_t bytes) { return g_allocations_left-- > 0 ? std::malloc(bytes) : nullptr; }
void* failing_calloc(size_t count, size_t size) { return g_allocations_left-- > 0 ? std::calloc(count, size) : nullptr; }

TEST(DirListOpen, OutOfMemoryReleasesAndGivesNone) {
    TempDir dir;
    write_file(dir.file("a"), "x");
    const mem_alloc_fn saved_alloc = gl_mem_alloc;
    const mem_calloc_fn saved_calloc = gl_mem_calloc;
    gl_mem_alloc = failing_alloc;
    gl_mem_calloc = failing_calloc;
    for (int allowed = 0; allowed < 3; ++allowed) {
        g_allocations_left = allowed;
        EXPECT_EQ(u_dir_open(dir.path().c_str()), nullptr) << allowed;
    }
    g_allocations_left = 3;
    u_dir_list_t* list = u_dir_open(dir.path().c_str());
    EXPECT_NE(list, nullptr);
    u_dir_close(list);
    gl_mem_alloc = saved_alloc;
    gl_mem_calloc = saved_calloc;
}

}  // namespace
