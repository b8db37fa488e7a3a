#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "datafile/matrix_kinds.h"
#include "datafile/pair_file.h"
#include "datafile/typed_array.h"
#include "datafile/vector_holder.h"
#include "errors/err_codes.h"
#include "support/test_support.h"
#include "util/memhooks.h"

namespace {

using testing_support::CaptureMessages;
using testing_support::read_file;
using testing_support::TempDir;
using testing_support::write_file;

void* refuse_alloc(size_t) { return nullptr; }
void* refuse_calloc(size_t, size_t) { return nullptr; }

// Makes the allocator hooks refuse every request while it lives.
class RefuseMemory {
public:
    RefuseMemory() : alloc_(gl_mem_alloc), calloc_(gl_mem_calloc) {
        gl_mem_alloc = refuse_alloc;
        gl_mem_calloc = refuse_calloc;
    }
    ~RefuseMemory() {
        gl_mem_alloc = alloc_;
        gl_mem_calloc = calloc_;
    }

private:
    mem_alloc_fn alloc_;
    mem_calloc_fn calloc_;
};

TEST(VectorHolder, ResizeKeepsOrReallocates) {
    vec_f64 v;
    vec_f64_init(&v);
    EXPECT_EQ(vec_f64_resize(&v, 10, false), NO_ERROR);
    double* first = v.data;
    EXPECT_EQ(v.size, 10u);
    EXPECT_EQ(vec_f64_resize(&v, 4, true), NO_ERROR);
    EXPECT_EQ(v.size, 10u);
    EXPECT_EQ(v.count, 4u);
    EXPECT_EQ(v.data, first);
    EXPECT_EQ(vec_f64_resize(&v, 4, false), NO_ERROR);
    EXPECT_EQ(v.size, 4u);
    EXPECT_EQ(v.count, 4u);
    EXPECT_EQ(vec_f64_resize(&v, 0, true), NO_ERROR);
    EXPECT_EQ(v.size, 0u);
    EXPECT_EQ(v.count, 0u);
    EXPECT_EQ(v.data, nullptr);
    vec_f64_free(&v);
}

TEST(VectorHolder, AllocNeedsACount) {
    vec_u8 v;
    vec_u8_init(&v);
    EXPECT_EQ(vec_u8_alloc(&v), ERR_PARAM_OUT_OF_RANGE);
    v.count = 5;
    EXPECT_EQ(vec_u8_alloc(&v), NO_ERROR);
    EXPECT_EQ(v.size, 5u);
    vec_u8_free(&v);
    EXPECT_EQ(v.size, 0u);
    EXPECT_EQ(v.count, 0u);
    EXPECT_EQ(v.data, nullptr);
}

TEST(VectorHolder, FailuresLeaveNothingToIndex) {
    BadPixelList v;
    BadPixelList_init(&v);
    ASSERT_EQ(BadPixelList_resize(&v, 3, false), NO_ERROR);
    RefuseMemory refuse;
    EXPECT_EQ(BadPixelList_resize(&v, 8, false), ERR_NO_MEM);
    EXPECT_EQ(v.size, 0u);
    EXPECT_EQ(v.count, 0u);
    EXPECT_EQ(v.data, nullptr);
    v.count = 2;
    EXPECT_EQ(BadPixelList_alloc(&v), ERR_NO_MEM);
    EXPECT_EQ(v.size, 0u);
}

TEST(PtrVector, AllocFreesEveryEntry) {
    ptr_vector v;
    ptr_vector_init(&v);
    EXPECT_EQ(ptr_vector_alloc(&v), ERR_PARAM_OUT_OF_RANGE);
    v.count = 3;
    ASSERT_EQ(ptr_vector_alloc(&v), NO_ERROR);
    EXPECT_EQ(v.data[2], nullptr);
    v.data[0] = gl_mem_alloc(16);
    v.data[2] = gl_mem_alloc(16);
    ptr_vector_free(&v);  // the sanitizers catch a leaked entry
    EXPECT_EQ(v.count, 0);
    EXPECT_EQ(v.data, nullptr);
    v.count = 2;
    RefuseMemory refuse;
    EXPECT_EQ(ptr_vector_alloc(&v), ERR_NO_MEM);
    EXPECT_EQ(v.count, 0);
}

TEST(MatrixHolder, ResizeReusesAndCopiesTheWindow) {
    float_matrix m;
    float_matrix_init(&m);
    const matrix_window big{2, 3, 10, 10};
    ASSERT_EQ(float_matrix_resize(&m, &big, false), NO_ERROR);
    EXPECT_EQ(m.size, 100u);
    float* data = m.matrix;
    const matrix_window small{0, 0, 5, 5};
    ASSERT_EQ(float_matrix_resize(&m, &small, true), NO_ERROR);
    EXPECT_EQ(m.matrix, data);
    EXPECT_EQ(m.size, 100u);
    EXPECT_EQ(m.width, 5);
    const matrix_window empty{1, 1, 0, 4};
    ASSERT_EQ(float_matrix_resize(&m, &empty, true), NO_ERROR);
    EXPECT_EQ(m.matrix, nullptr);
    EXPECT_EQ(m.size, 0u);
    EXPECT_EQ(m.width, 5);  // window unchanged
    float_matrix_free(&m);
}

TEST(MatrixHolder, FailedResizeKeepsThePreviousWindow) {
    u16_matrix m;
    u16_matrix_init(&m);
    const matrix_window first{1, 2, 3, 4};
    ASSERT_EQ(u16_matrix_resize(&m, &first, false), NO_ERROR);
    RefuseMemory refuse;
    const matrix_window bigger{0, 0, 30, 40};
    EXPECT_EQ(u16_matrix_resize(&m, &bigger, false), ERR_NO_MEM);
    EXPECT_EQ(m.size, 0u);
    EXPECT_EQ(m.matrix, nullptr);
    EXPECT_EQ(m.x, 1);
    EXPECT_EQ(m.width, 3);
    EXPECT_EQ(m.height, 4);
}

TEST(MatrixHolder, AllocFailureSideEffectsPerKind) {
    RefuseMemory refuse;
    float_matrix f{};
    f.width = 3;
    f.height = 2;
    EXPECT_EQ(float_matrix_alloc(&f), ERR_NO_MEM);
    EXPECT_EQ(f.width, 3);  // kept
    u16_matrix u{};
    u.width = 3;
    u.height = 2;
    EXPECT_EQ(u16_matrix_alloc(&u), ERR_NO_MEM);
    EXPECT_EQ(u.width, 0);  // cleared
    EXPECT_EQ(u.height, 0);
}

TEST(MatrixHolder, NegativeAndZeroDimensions) {
    double_matrix m{};
    m.width = -2;
    m.height = 3;
    EXPECT_EQ(double_matrix_alloc(&m), ERR_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(double_matrix_alloc_zero(&m), ERR_PARAM_OUT_OF_RANGE);
    m.width = 0;
    EXPECT_EQ(double_matrix_alloc(&m), ERR_PARAM_OUT_OF_RANGE);
    const matrix_window negative{0, 0, 4, -1};
    EXPECT_EQ(double_matrix_resize(&m, &negative, false), ERR_PARAM_OUT_OF_RANGE);
}

TEST(MatrixHolder, ZeroFilledAlloc) {
    double_matrix m{};
    m.width = 3;
    m.height = 2;
    ASSERT_EQ(double_matrix_alloc_zero(&m), NO_ERROR);
    EXPECT_EQ(m.size, 6u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(m.matrix[i], 0.0);
    double_matrix_free(&m);
    EXPECT_EQ(m.width, 0);
}

TEST(MatrixHolder, AlignedResizeWidensToMultiplesOfFour) {
    double_matrix m{};
    m.x = 5;
    m.y = 2;
    m.width = 6;  // columns 5..10
    m.height = 3;  // rows 2..4
    ASSERT_EQ(double_matrix_resize_aligned(&m), NO_ERROR);
    EXPECT_EQ(m.x, 4);
    EXPECT_EQ(m.y, 0);
    EXPECT_EQ(m.width, 8);   // 4..11
    EXPECT_EQ(m.height, 8);  // 0..7
    EXPECT_EQ(m.size, 64u);
    double_matrix_free(&m);
    EXPECT_EQ(m.x, 4);  // origin kept by free
}

TEST(ByteMatrix, PaddedBottomUpAddressing) {
    byte_matrix m;
    byte_matrix_init(&m);
    m.width = 10;
    m.height = 3;
    ASSERT_EQ(byte_matrix_alloc(&m), NO_ERROR);
    EXPECT_EQ(m.size, 36u);
    EXPECT_EQ(byte_matrix_stride(&m), 12);
    EXPECT_EQ(byte_matrix_offset(&m, 2, 0), 26);
    EXPECT_EQ(byte_matrix_offset(&m, 2, 2), 2);
    byte_matrix_free(&m);
}

TEST(ByteMatrix, ResizeRestoresWindowOnFailureOrEmpty) {
    byte_matrix m{};
    const matrix_window first{0, 0, 5, 2};
    ASSERT_EQ(byte_matrix_resize(&m, &first, false), NO_ERROR);
    EXPECT_EQ(m.size, 16u);
    const matrix_window empty{3, 3, 0, 7};
    ASSERT_EQ(byte_matrix_resize(&m, &empty, false), NO_ERROR);
    EXPECT_EQ(m.matrix, nullptr);
    EXPECT_EQ(m.width, 5);
    ASSERT_EQ(byte_matrix_resize(&m, &first, false), NO_ERROR);
    RefuseMemory refuse;
    const matrix_window big{1, 1, 100, 100};
    EXPECT_EQ(byte_matrix_resize(&m, &big, false), ERR_NO_MEM);
    EXPECT_EQ(m.width, 5);
    EXPECT_EQ(m.x, 0);
    EXPECT_EQ(m.size, 0u);
}

TEST(Grid, AllocResizeFree) {
    grid_f32 g;
    grid_f32_init(&g);
    EXPECT_EQ(grid_f32_alloc(&g), ERR_PARAM_OUT_OF_RANGE);
    ASSERT_EQ(grid_f32_resize(&g, 4, 3, false), NO_ERROR);
    EXPECT_EQ(g.size, 12u);
    ASSERT_EQ(grid_f32_resize(&g, 2, 2, true), NO_ERROR);
    EXPECT_EQ(g.size, 12u);
    EXPECT_EQ(g.width, 2);
    ASSERT_EQ(grid_f32_resize(&g, 0, 2, true), NO_ERROR);
    EXPECT_EQ(g.data, nullptr);
    EXPECT_EQ(g.height, 0);
    RefuseMemory refuse;
    g.width = 2;
    g.height = 2;
    EXPECT_EQ(grid_f32_alloc(&g), ERR_NO_MEM);
    EXPECT_EQ(g.width, 0);
}

TEST(RowTable, RowsFollowThePointers) {
    void** table = u_row_table_alloc(3, 4, 2);
    ASSERT_NE(table, nullptr);
    auto* first = reinterpret_cast<unsigned char*>(table + 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(table[i], first + i * 8);
    std::memset(table[2], 0xAB, 8);  // the last row is inside the allocation
    gl_mem_free(table);
    EXPECT_EQ(u_row_table_alloc(0, 4, 2), nullptr);
    EXPECT_EQ(u_row_table_alloc_nonzero(3, 0, 2), nullptr);
    void** only_pointers = u_row_table_alloc(2, 0, 5);
    EXPECT_NE(only_pointers, nullptr);
    gl_mem_free(only_pointers);
}

TEST(TypedArray, NoDataValues) {
    struct Case {
        int32_t type;
        int32_t elem_size;
        double no_data;
    } cases[] = {{0, 1, 127}, {1, 1, 255}, {2, 2, 32767}, {3, 2, 65535}, {4, 4, 2147483647}, {6, 4, 2147483647},
                 {5, 4, 4294967295.0}, {7, 4, 4294967295.0}, {8, 4, 3.4028234663852886e38},
                 {9, 8, std::numeric_limits<double>::infinity()}};
    for (const Case& c : cases) {
        typed_array* a = typed_array_create_zero(5, c.type);
        ASSERT_NE(a, nullptr) << c.type;
        EXPECT_EQ(a->elem_size, c.elem_size);
        EXPECT_EQ(a->count, 5);
        double value = 0;
        switch (c.type) {
        case 0: value = *static_cast<int8_t*>(a->no_data); break;
        case 1: value = *static_cast<uint8_t*>(a->no_data); break;
        case 2: value = *static_cast<int16_t*>(a->no_data); break;
        case 3: value = *static_cast<uint16_t*>(a->no_data); break;
        case 4:
        case 6: value = *static_cast<int32_t*>(a->no_data); break;
        case 5:
        case 7: value = *static_cast<uint32_t*>(a->no_data); break;
        case 8: value = *static_cast<float*>(a->no_data); break;
        case 9: value = *static_cast<double*>(a->no_data); break;
        }
        EXPECT_EQ(value, c.no_data) << c.type;
        EXPECT_EQ(static_cast<unsigned char*>(a->data)[5 * c.elem_size - 1], 0);
        typed_array_destroy(a);
    }
    EXPECT_EQ(typed_array_create(5, 11), nullptr);
    EXPECT_EQ(typed_array_create(0, 1), nullptr);
    typed_array_destroy(nullptr);
}

TEST(TypedArray, TwoDimensionalRows) {
    typed_array2d* a = typed_array2d_create(4, 3, 2);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->count, 12);
    EXPECT_EQ(a->width, 4);
    EXPECT_EQ(a->height, 3);
    EXPECT_EQ(a->rows[2], static_cast<unsigned char*>(a->data) + 2 * 4 * 2);
    typed_array2d_destroy(a);
    EXPECT_EQ(typed_array2d_create(0, 3, 2), nullptr);
    EXPECT_EQ(typed_array2d_create(4, 3, 10), nullptr);
    RefuseMemory refuse;
    EXPECT_EQ(typed_array2d_create_zero(4, 3, 2), nullptr);
}

class PairFile : public ::testing::Test {
protected:
    ~PairFile() override { vec_pair_f_free(&pairs_); }
    std::string path() const { return dir_.file("pairs.txt"); }
    TempDir dir_;
    vec_pair_f pairs_{};
    CaptureMessages capture_;
};

TEST_F(PairFile, ReadsPairsSkippingCommentsAndBlankLines) {
    write_file(path(), "# comment\r\n\r\n1.5, 2\r\n3 4 5\n");
    ASSERT_EQ(u_read_pair_file(path().c_str(), &pairs_), NO_ERROR);
    ASSERT_EQ(pairs_.count, 2u);
    EXPECT_EQ(pairs_.data[0].x, 1.5f);
    EXPECT_EQ(pairs_.data[0].y, 2.0f);
    EXPECT_EQ(pairs_.data[1].x, 3.0f);
    EXPECT_EQ(pairs_.data[1].y, 4.0f);
    EXPECT_EQ(capture_.text(), "");
}

TEST_F(PairFile, SingleNumberLineIsReportedWhole) {
    write_file(path(), "1 2\r\n3 4\r\n7  \t# one value\r\n5 6\r\n");
    ASSERT_EQ(vec_pair_f_resize(&pairs_, 3, false), NO_ERROR);
    EXPECT_EQ(u_read_pair_file(path().c_str(), &pairs_), ERR_CANT_READ_FILE);
    EXPECT_EQ(pairs_.data, nullptr);
    EXPECT_EQ(pairs_.count, 0u);
    EXPECT_EQ(capture_.text(), "Error in data file " + path() + "\nLine 3:\n7  \t# one value\n");
}

TEST_F(PairFile, NonNumericToken) {
    write_file(path(), "1 x\n");
    EXPECT_EQ(u_read_pair_file(path().c_str(), &pairs_), ERR_CANT_READ_FILE);
    EXPECT_EQ(capture_.text(), "Error in data file " + path() + "\nLine 1:\n1 x\n");
}

TEST_F(PairFile, CommentsOnly) {
    write_file(path(), "# a\n# b\n");
    EXPECT_EQ(u_read_pair_file(path().c_str(), &pairs_), ERR_CANT_READ_FILE);
    EXPECT_EQ(capture_.text(), "No coordinate pair data found.\nError in data file " + path() + "\n");
}

TEST_F(PairFile, MissingFileHasNoMessage) {
    EXPECT_EQ(u_read_pair_file(dir_.file("none").c_str(), &pairs_), ERR_CANT_OPEN_FILE);
    EXPECT_EQ(capture_.text(), "");
}

TEST_F(PairFile, WritesFixedWidthLinesThatReadBack) {
    ASSERT_EQ(vec_pair_f_resize(&pairs_, 2, false), NO_ERROR);
    pairs_.data[0] = {1.5f, 2.0f};
    pairs_.data[1] = {-0.000125f, 1e7f};
    ASSERT_EQ(u_write_pair_file(path().c_str(), &pairs_), NO_ERROR);
    EXPECT_EQ(read_file(path()), "          1.5             2\r\n    -0.000125         1e+07\r\n");
    vec_pair_f back{};
    ASSERT_EQ(u_read_pair_file(path().c_str(), &back), NO_ERROR);
    EXPECT_EQ(back.count, 2u);
    EXPECT_EQ(back.data[1].x, -0.000125f);
    vec_pair_f_free(&back);
    EXPECT_EQ(u_write_pair_file(path().c_str(), nullptr), ERR_INVALID_PARAM);
    EXPECT_EQ(u_write_pair_file(dir_.file("no/dir/x").c_str(), &pairs_), ERR_CANT_OPEN_FILE);
}

}  // namespace
