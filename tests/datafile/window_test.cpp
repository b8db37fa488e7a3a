#include "datafile/window.h"

#include <gtest/gtest.h>

#include "errors/err_codes.h"

namespace {

struct CompareCase {
    matrix_window a, b;
    int32_t relation;
};

class WindowCompare : public ::testing::TestWithParam<CompareCase> {};

TEST_P(WindowCompare, Relation) {
    const CompareCase& c = GetParam();
    EXPECT_EQ(wn_compare(&c.a, &c.b), c.relation);
}

INSTANTIATE_TEST_SUITE_P(Table, WindowCompare,
                         ::testing::Values(CompareCase{{0, 0, 10, 10}, {5, 5, 10, 10}, WN_OVERLAP},
                                           CompareCase{{2, 2, 3, 3}, {0, 0, 10, 10}, WN_INSIDE},
                                           CompareCase{{0, 0, 10, 10}, {2, 2, 3, 3}, WN_CONTAINS},
                                           CompareCase{{1, 2, 3, 4}, {1, 2, 3, 4}, WN_EQUAL},
                                           CompareCase{{0, 0, 5, 5}, {5, 0, 5, 5}, WN_DISJOINT},
                                           CompareCase{{0, 0, 5, 5}, {0, 5, 5, 5}, WN_DISJOINT},
                                           CompareCase{{0, 0, 10, 10}, {0, 0, 10, 5}, WN_CONTAINS},
                                           CompareCase{{32000, 0, 767, 1}, {32700, 0, 67, 1}, WN_CONTAINS}));

TEST(WindowIntersect, CommonPartOrDisjoint) {
    const matrix_window a{0, 0, 10, 10}, b{5, 5, 10, 10};
    matrix_window out{9, 9, 9, 9};
    ASSERT_EQ(wn_intersect(&a, &b, &out), NO_ERROR);
    EXPECT_EQ(out.x, 5);
    EXPECT_EQ(out.y, 5);
    EXPECT_EQ(out.width, 5);
    EXPECT_EQ(out.height, 5);
    const matrix_window c{0, 0, 5, 5}, d{5, 0, 5, 5};
    out = {9, 9, 9, 9};
    EXPECT_EQ(wn_intersect(&c, &d, &out), ERR_WINDOWS_DISJOINT);
    EXPECT_EQ(out.x, 9);
    EXPECT_EQ(out.width, 9);
}

}  // namespace
