#include <gtest/gtest.h>

#include "datafile/matrix.h"
#include "errors/err_codes.h"
#include "util/memhooks.h"

namespace {

TEST(IntensMatrix, AllocWithNoFramesIsOutOfRangeAndKeepsTheMatrix) {
    uint16_t marker = 0;
    intens_matrix m{0, 0, 0, 4, 3, 0, 0, &marker};
    EXPECT_EQ(intens_matrix_alloc(&m), ERR_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(m.matrix, &marker);
}

TEST(IntensMatrix, AllocSizesAndFreeKeepsOriginAndAux) {
    intens_matrix m{0, 11, 12, 4, 3, 2, 13, nullptr};
    ASSERT_EQ(intens_matrix_alloc(&m), NO_ERROR);
    EXPECT_EQ(m.size, 24u);
    ASSERT_NE(m.matrix, nullptr);
    intens_matrix_free(&m);
    EXPECT_EQ(m.matrix, nullptr);
    EXPECT_EQ(m.size, 0u);
    EXPECT_EQ(m.n_buckets, 0);
    EXPECT_EQ(m.width, 0);
    EXPECT_EQ(m.height, 0);
    EXPECT_EQ(m.x, 11);
    EXPECT_EQ(m.y, 12);
    EXPECT_EQ(m.aux, 13);
}

void* failing_alloc(size_t) { return nullptr; }

TEST(Matrices, FailedAllocationsReportNoMemory) {
    const mem_alloc_fn saved = gl_mem_alloc;
    gl_mem_alloc = failing_alloc;
    intens_matrix in{0, 1, 1, 4, 3, 2, 0, nullptr};
    phase_matrix ph{0, 1, 1, 4, 3, nullptr};
    const int32_t intens_result = intens_matrix_alloc(&in);
    const int32_t phase_result = phase_matrix_alloc(&ph);
    gl_mem_alloc = saved;
    EXPECT_EQ(intens_result, ERR_NO_MEM);
    EXPECT_EQ(in.size, 0u);
    EXPECT_EQ(in.width, 0);
    EXPECT_EQ(in.n_buckets, 0);
    EXPECT_EQ(phase_result, ERR_NO_MEM);
    EXPECT_EQ(ph.width, 4);  // the phase matrix keeps its dimensions
    EXPECT_EQ(ph.matrix, nullptr);
}

TEST(PhaseMatrix, AllocAndFree) {
    phase_matrix m{0, 1, 2, 0, 5, nullptr};
    EXPECT_EQ(phase_matrix_alloc(&m), ERR_PARAM_OUT_OF_RANGE);
    m.width = 3;
    ASSERT_EQ(phase_matrix_alloc(&m), NO_ERROR);
    EXPECT_EQ(m.size, 15u);
    phase_matrix_free(&m);
    EXPECT_EQ(m.matrix, nullptr);
    EXPECT_EQ(m.size, 0u);
    EXPECT_EQ(m.width, 0);
    EXPECT_EQ(m.height, 0);
    EXPECT_EQ(m.x, 1);
}

}  // namespace
