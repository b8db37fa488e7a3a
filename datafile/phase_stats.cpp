#include "datafile/phase_stats.h"

#include <cstdio>
#include <memory>

#include "datafile/window.h"
#include "errors/err_codes.h"
#include "platform/file.h"

namespace {

matrix_window own_window(const phase_matrix& m) { return {m.x, m.y, m.width, m.height}; }

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

int32_t matrix_stats(const phase_matrix* matrix, const matrix_window* window, matrix_stats_t* stats) {
    if (matrix == nullptr || stats == nullptr) return ERR_INVALID_PARAM;
    *stats = matrix_stats_t{};
    const matrix_window whole = own_window(*matrix);
    const matrix_window area = window != nullptr ? *window : whole;
    const int32_t relation = wn_compare(&area, &whole);
    if (relation != WN_EQUAL && relation != WN_INSIDE) return ERR_IMPROPER_WINDOW;
    if (matrix->matrix == nullptr || area.width <= 0 || area.height <= 0) return ERR_ALL_BAD_DATA;

    int32_t peak = 0, valley = 0, count = 0;
    int16_t peak_x = 0, peak_y = 0, valley_x = 0, valley_y = 0;
    double sum = 0;
    for (int32_t py = area.y; py < area.y + area.height; ++py) {
        const int32_t* row = matrix->matrix + kelm::holders::matrix_index(*matrix, area.x, py);
        for (int32_t c = 0; c < area.width; ++c) {
            const int32_t v = row[c];
            if (v >= PHASE_NO_DATA) continue;
            if (count == 0 || v > peak) {
                peak = v;
                peak_x = static_cast<int16_t>(area.x + c);
                peak_y = static_cast<int16_t>(py);
            }
            if (count == 0 || v < valley) {
                valley = v;
                valley_x = static_cast<int16_t>(area.x + c);
                valley_y = static_cast<int16_t>(py);
            }
            sum += v;
            ++count;
        }
    }
    if (count == 0) return ERR_ALL_BAD_DATA;
    if (static_cast<double>(peak) - valley > 2147483647.0) return ERR_PEAKVAL_OVERFLOW;
    *stats = {peak - valley, peak, valley, sum / count, peak_x, peak_y, valley_x, valley_y, count};
    return NO_ERROR;
}

int32_t datafile_write_phase_points(const char* path, const phase_matrix* matrix) {
    if (matrix == nullptr) return ERR_INVALID_PARAM;
    std::unique_ptr<FILE, FileCloser> file(plat::open_file(path, "w"));
    if (!file) return ERR_CANT_CREATE_FILE;
    matrix_stats_t stats;
    if (const int32_t rc = matrix_stats(matrix, nullptr, &stats); rc != NO_ERROR) return rc;
    FILE* f = file.get();
    if (std::fprintf(f, "%d\n", stats.npoints) < 0) return ERR_CANT_WRITE_FILE;
    for (int32_t r = 0; r < matrix->height; ++r) {
        const int32_t* row = matrix->matrix + int64_t{r} * matrix->width;
        for (int32_t c = 0; c < matrix->width; ++c) {
            const int32_t v = row[c];
            if (v >= PHASE_NO_DATA) continue;
            // All values equal: every point sits at the bottom of the range.
            const double scaled = stats.pv == 0 ? 0.0 : (static_cast<double>(v) - stats.valley) / stats.pv;
            if (std::fprintf(f, "%d %d %g\n", c, r, scaled) < 0) return ERR_CANT_WRITE_FILE;
        }
    }
    if (std::fprintf(f, "%g\n", static_cast<double>(stats.valley)) < 0 ||
        std::fprintf(f, "%g\n", static_cast<double>(stats.pv)) < 0)
        return ERR_CANT_WRITE_FILE;
    if (std::fclose(file.release()) != 0) return ERR_CANT_WRITE_FILE;
    return NO_ERROR;
}
