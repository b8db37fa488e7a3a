#include "datafile/matrix.h"

#include "errors/err_codes.h"
#include "util/memhooks.h"

namespace {

// The allocator's element count: the dimensions multiplied as unsigned
// 32-bit numbers.
uint32_t unsigned_count(int16_t a, int16_t b, int16_t c = 1) {
    return static_cast<uint32_t>(a) * static_cast<uint32_t>(b) * static_cast<uint32_t>(c);
}

}  // namespace

int32_t intens_matrix_alloc(intens_matrix* m) {
    const uint32_t count = unsigned_count(m->n_buckets, m->width, m->height);
    if (count == 0) return ERR_PARAM_OUT_OF_RANGE;
    m->matrix = static_cast<uint16_t*>(gl_mem_alloc(static_cast<size_t>(count) * sizeof(uint16_t)));
    if (m->matrix == nullptr) {
        m->size = 0;
        m->n_buckets = 0;
        m->width = 0;
        m->height = 0;
        return ERR_NO_MEM;
    }
    m->size = count;
    return NO_ERROR;
}

void intens_matrix_free(intens_matrix* m) {
    if (m->matrix != nullptr) {
        gl_mem_free(m->matrix);
        m->matrix = nullptr;
    }
    m->size = 0;
    m->n_buckets = 0;
    m->width = 0;
    m->height = 0;
}

int32_t phase_matrix_alloc(phase_matrix* m) {
    const uint32_t count = unsigned_count(m->width, m->height);
    if (count == 0) return ERR_PARAM_OUT_OF_RANGE;
    m->size = 0;
    m->matrix = static_cast<int32_t*>(gl_mem_alloc(static_cast<size_t>(count) * sizeof(int32_t)));
    if (m->matrix == nullptr) return ERR_NO_MEM;
    m->size = count;
    return NO_ERROR;
}

void phase_matrix_free(phase_matrix* m) {
    if (m->matrix != nullptr) {
        gl_mem_free(m->matrix);
        m->matrix = nullptr;
    }
    m->size = 0;
    m->width = 0;
    m->height = 0;
}

int64_t intens_element_count(const intens_matrix& m) {
    return int64_t{m.n_buckets} * m.width * m.height;
}

int64_t phase_element_count(const phase_matrix& m) { return int64_t{m.width} * m.height; }
