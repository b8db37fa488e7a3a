#include "datafile/matrix_kinds.h"

#include "datafile/holder_math.h"

using kelm::holders::OnAllocFailure;

void float_matrix_init(float_matrix* m) { *m = float_matrix{}; }
int32_t float_matrix_alloc(float_matrix* m) {
    return kelm::holders::matrix_alloc<float_matrix, OnAllocFailure::KeepDimensions>(*m);
}
int32_t float_matrix_alloc_zero(float_matrix* m) { return kelm::holders::matrix_alloc_zero(*m); }
int32_t float_matrix_resize(float_matrix* m, const matrix_window* window, bool keep) {
    return kelm::holders::matrix_resize(*m, *window, 0, keep);
}
void float_matrix_free(float_matrix* m) { kelm::holders::matrix_free(*m); }

void double_matrix_init(double_matrix* m) { *m = double_matrix{}; }
int32_t double_matrix_alloc(double_matrix* m) {
    return kelm::holders::matrix_alloc<double_matrix, OnAllocFailure::KeepDimensions>(*m);
}
int32_t double_matrix_alloc_zero(double_matrix* m) { return kelm::holders::matrix_alloc_zero(*m); }
int32_t double_matrix_resize(double_matrix* m, const matrix_window* window, bool keep) {
    return kelm::holders::matrix_resize(*m, *window, 0, keep);
}
int32_t double_matrix_resize_aligned(double_matrix* m) { return kelm::holders::matrix_resize_aligned(*m); }
void double_matrix_free(double_matrix* m) { kelm::holders::matrix_free(*m); }

void u16_matrix_init(u16_matrix* m) { *m = u16_matrix{}; }
int32_t u16_matrix_alloc(u16_matrix* m) {
    return kelm::holders::matrix_alloc<u16_matrix, OnAllocFailure::ClearDimensions>(*m);
}
int32_t u16_matrix_resize(u16_matrix* m, const matrix_window* window, bool keep) {
    return kelm::holders::matrix_resize(*m, *window, 0, keep);
}
void u16_matrix_free(u16_matrix* m) { kelm::holders::matrix_free(*m); }

namespace {

int64_t padded_row(int32_t width) { return (int64_t{width} + 3) / 4 * 4; }

// Bytes of a padded byte matrix of the given extent; none when negative or
// too large.
std::optional<uint32_t> padded_bytes(int32_t width, int32_t height) {
    if (width < 0) return std::nullopt;
    return kelm::holders::element_count({padded_row(width), height});
}

}  // namespace

void byte_matrix_init(byte_matrix* m) { *m = byte_matrix{}; }

int32_t byte_matrix_alloc(byte_matrix* m) {
    const auto bytes = padded_bytes(m->width, m->height);
    if (!bytes || *bytes == 0) return ERR_PARAM_OUT_OF_RANGE;
    m->size = 0;
    m->matrix = static_cast<uint8_t*>(gl_mem_alloc(*bytes));
    if (m->matrix == nullptr) return ERR_NO_MEM;
    m->size = *bytes;
    return NO_ERROR;
}

int32_t byte_matrix_resize(byte_matrix* m, const matrix_window* window, bool keep) {
    const auto bytes = padded_bytes(window->width, window->height);
    if (!bytes) return ERR_PARAM_OUT_OF_RANGE;
    if (m->matrix == nullptr) m->size = 0;
    const matrix_window previous{m->x, m->y, m->width, m->height};
    auto restore = [&] {
        m->x = previous.x;
        m->y = previous.y;
        m->width = previous.width;
        m->height = previous.height;
    };
    m->x = window->x;
    m->y = window->y;
    m->width = window->width;
    m->height = window->height;
    if (*bytes == 0) {
        kelm::holders::release(*m);
        restore();
        return NO_ERROR;
    }
    if (*bytes > m->size || (*bytes < m->size && !keep)) {
        kelm::holders::release(*m);
        m->matrix = static_cast<uint8_t*>(gl_mem_alloc(*bytes));
        if (m->matrix == nullptr) {
            restore();
            return ERR_NO_MEM;
        }
        m->size = *bytes;
    }
    return NO_ERROR;
}

void byte_matrix_free(byte_matrix* m) { kelm::holders::matrix_free(*m); }

int32_t byte_matrix_stride(const byte_matrix* m) { return static_cast<int32_t>(padded_row(m->width)); }

int64_t byte_matrix_offset(const byte_matrix* m, int32_t px, int32_t py) {
    return (int64_t{m->height} - 1 - (py - m->y)) * padded_row(m->width) + (px - m->x);
}

void grid_f32_init(grid_f32* g) { *g = grid_f32{}; }

namespace {

void grid_clear(grid_f32& g) {
    if (g.data != nullptr) gl_mem_free(g.data);
    g.data = nullptr;
    g.size = 0;
    g.width = 0;
    g.height = 0;
}

}  // namespace

int32_t grid_f32_alloc(grid_f32* g) {
    const auto count = kelm::holders::element_count({g->width, g->height});
    if (!count || *count == 0) return ERR_PARAM_OUT_OF_RANGE;
    g->size = 0;
    g->data = static_cast<float*>(gl_mem_alloc(*count * sizeof(float)));
    if (g->data == nullptr) {
        grid_clear(*g);
        return ERR_NO_MEM;
    }
    g->size = *count;
    return NO_ERROR;
}

int32_t grid_f32_resize(grid_f32* g, int16_t width, int16_t height, bool keep) {
    const auto count = kelm::holders::element_count({width, height});
    if (!count) return ERR_PARAM_OUT_OF_RANGE;
    if (g->data == nullptr) g->size = 0;
    if (*count == 0) {
        grid_clear(*g);
        return NO_ERROR;
    }
    if (*count > g->size || (*count < g->size && !keep)) {
        gl_mem_free(g->data);
        g->data = static_cast<float*>(gl_mem_alloc(*count * sizeof(float)));
        if (g->data == nullptr) {
            grid_clear(*g);
            return ERR_NO_MEM;
        }
        g->size = *count;
    }
    g->width = width;
    g->height = height;
    return NO_ERROR;
}

void grid_f32_free(grid_f32* g) { grid_clear(*g); }

void** u_row_table_alloc(int32_t count, int32_t a, int32_t b) {
    const auto row = kelm::holders::element_count({a, b});
    if (count < 0 || !row) return nullptr;
    const auto rows = kelm::holders::byte_count(static_cast<uint64_t>(count), *row);
    const auto pointers = kelm::holders::byte_count(static_cast<uint64_t>(count), sizeof(void*));
    if (!rows || !pointers || *rows + *pointers == 0) return nullptr;
    auto* table = static_cast<void**>(gl_mem_alloc(*pointers + *rows));
    if (table == nullptr) return nullptr;
    auto* first_row = reinterpret_cast<unsigned char*>(table + count);
    for (int32_t i = 0; i < count; ++i) table[i] = first_row + static_cast<size_t>(i) * *row;
    return table;
}

void** u_row_table_alloc_nonzero(int32_t count, int32_t a, int32_t b) {
    if (count == 0 || a == 0 || b == 0) return nullptr;
    return u_row_table_alloc(count, a, b);
}
