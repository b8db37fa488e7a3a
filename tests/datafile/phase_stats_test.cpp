#include "datafile/phase_stats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datafile/matrix_resize.h"
#include "errors/err_codes.h"
#include "support/test_support.h"

namespace {

using testing_support::read_file;
using testing_support::TempDir;

// A phase matrix over caller-owned values.
phase_matrix view(std::vector<int32_t>& values, int16_t width, int16_t height, int16_t x = 0, int16_t y = 0) {
    return phase_matrix{static_cast<uint32_t>(values.size()), x, y, width, height, values.data()};
}

TEST(MatrixStats, SkipsNoDataPoints) {
    std::vector<int32_t> values = {10, 20, PHASE_NO_DATA, 30};
    const phase_matrix m = view(values, 2, 2);
    matrix_stats_t s;
    ASSERT_EQ(matrix_stats(&m, nullptr, &s), NO_ERROR);
    EXPECT_EQ(s.npoints, 3);
    EXPECT_EQ(s.peak, 30);
    EXPECT_EQ(s.peak_x, 1);
    EXPECT_EQ(s.peak_y, 1);
    EXPECT_EQ(s.valley, 10);
    EXPECT_EQ(s.valley_x, 0);
    EXPECT_EQ(s.valley_y, 0);
    EXPECT_EQ(s.pv, 20);
    EXPECT_EQ(s.mean, 20.0);
}

TEST(MatrixStats, FirstOccurrenceWinsAndNegativeValuesCount) {
    std::vector<int32_t> values = {-5, 7, 7, -5, 2147483647, 0};
    const phase_matrix m = view(values, 3, 2, 10, 20);
    matrix_stats_t s;
    ASSERT_EQ(matrix_stats(&m, nullptr, &s), NO_ERROR);
    EXPECT_EQ(s.peak, 7);
    EXPECT_EQ(s.peak_x, 11);
    EXPECT_EQ(s.peak_y, 20);
    EXPECT_EQ(s.valley, -5);
    EXPECT_EQ(s.valley_x, 10);
    EXPECT_EQ(s.valley_y, 20);
    EXPECT_EQ(s.npoints, 5);
}

TEST(MatrixStats, SubWindowAndWindowErrors) {
    std::vector<int32_t> values = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const phase_matrix m = view(values, 3, 3, 100, 200);
    const matrix_window inner{101, 201, 2, 2};
    matrix_stats_t s;
    ASSERT_EQ(matrix_stats(&m, &inner, &s), NO_ERROR);
    EXPECT_EQ(s.valley, 5);
    EXPECT_EQ(s.peak, 9);
    EXPECT_EQ(s.npoints, 4);
    const matrix_window beyond{101, 201, 3, 2};
    EXPECT_EQ(matrix_stats(&m, &beyond, &s), ERR_IMPROPER_WINDOW);
    EXPECT_EQ(s.npoints, 0);
}

TEST(MatrixStats, AllBadDataAndOverflow) {
    std::vector<int32_t> markers = {PHASE_NO_DATA, PHASE_NO_DATA + 1};
    const phase_matrix bad = view(markers, 2, 1);
    matrix_stats_t s;
    EXPECT_EQ(matrix_stats(&bad, nullptr, &s), ERR_ALL_BAD_DATA);
    std::vector<int32_t> wide = {-2000000000, 2000000000};
    const phase_matrix over = view(wide, 2, 1);
    EXPECT_EQ(matrix_stats(&over, nullptr, &s), ERR_PEAKVAL_OVERFLOW);
}

TEST(PhasePoints, ExportText) {
    TempDir dir;
    std::vector<int32_t> values = {10, 20, PHASE_NO_DATA, 30};
    const phase_matrix m = view(values, 2, 2);
    ASSERT_EQ(datafile_write_phase_points(dir.file("p.txt").c_str(), &m), NO_ERROR);
    EXPECT_EQ(read_file(dir.file("p.txt")), "3\r\n0 0 0\r\n1 0 0.5\r\n1 1 1\r\n10\r\n20\r\n");
}

TEST(PhasePoints, EqualValuesScaleToZero) {
    TempDir dir;
    std::vector<int32_t> values = {4, 4};
    const phase_matrix m = view(values, 1, 2);
    ASSERT_EQ(datafile_write_phase_points(dir.file("p.txt").c_str(), &m), NO_ERROR);
    EXPECT_EQ(read_file(dir.file("p.txt")), "2\r\n0 0 0\r\n0 1 0\r\n4\r\n0\r\n");
}

TEST(PhasePoints, Errors) {
    TempDir dir;
    std::vector<int32_t> markers = {PHASE_NO_DATA};
    const phase_matrix bad = view(markers, 1, 1);
    EXPECT_EQ(datafile_write_phase_points(dir.file("p.txt").c_str(), &bad), ERR_ALL_BAD_DATA);
    EXPECT_EQ(read_file(dir.file("p.txt")), "");
    EXPECT_EQ(datafile_write_phase_points(dir.file("p.txt").c_str(), nullptr), ERR_INVALID_PARAM);
    std::vector<int32_t> values = {1};
    const phase_matrix m = view(values, 1, 1);
    EXPECT_EQ(datafile_write_phase_points(dir.file("no/dir/p").c_str(), &m), ERR_CANT_CREATE_FILE);
    EXPECT_EQ(datafile_write_phase_points("/dev/full", &m), ERR_CANT_WRITE_FILE);
}

TEST(DataBlockResize, IntensityFramesAndWindow) {
    intens_matrix m{};
    m.aux = 7;
    const matrix_window w{1, 2, 4, 3};
    ASSERT_EQ(intens_matrix_resize(&m, &w, 5, false), NO_ERROR);
    EXPECT_EQ(m.size, 60u);
    EXPECT_EQ(m.n_buckets, 5);
    EXPECT_EQ(m.x, 1);
    uint16_t* data = m.matrix;
    ASSERT_EQ(intens_matrix_resize(&m, &w, 2, true), NO_ERROR);
    EXPECT_EQ(m.matrix, data);
    EXPECT_EQ(m.size, 60u);
    EXPECT_EQ(m.n_buckets, 2);
    ASSERT_EQ(intens_matrix_resize(&m, &w, 0, true), NO_ERROR);
    EXPECT_EQ(m.matrix, nullptr);
    EXPECT_EQ(m.n_buckets, 2);  // window kept when nothing is left
    intens_matrix_free(&m);
    EXPECT_EQ(m.aux, 7);
}

TEST(DataBlockResize, PhaseAligned) {
    phase_matrix m{};
    m.x = 3;
    m.y = 4;
    m.width = 2;
    m.height = 1;
    ASSERT_EQ(phase_matrix_resize_aligned(&m), NO_ERROR);
    EXPECT_EQ(m.x, 0);
    EXPECT_EQ(m.y, 4);
    EXPECT_EQ(m.width, 8);
    EXPECT_EQ(m.height, 4);
    EXPECT_EQ(m.size, 32u);
    const matrix_window smaller{0, 0, 2, 2};
    ASSERT_EQ(phase_matrix_resize(&m, &smaller, false), NO_ERROR);
    EXPECT_EQ(m.size, 4u);
    phase_matrix_free(&m);
}

}  // namespace
