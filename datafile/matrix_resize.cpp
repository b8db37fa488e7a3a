#include "datafile/matrix_resize.h"

int32_t intens_matrix_resize(intens_matrix* m, const matrix_window* window, int16_t buckets, bool keep) {
    if (m == nullptr || window == nullptr) return ERR_INVALID_PARAM;
    return kelm::holders::matrix_resize(*m, *window, buckets, keep);
}

int32_t phase_matrix_resize(phase_matrix* m, const matrix_window* window, bool keep) {
    if (m == nullptr || window == nullptr) return ERR_INVALID_PARAM;
    return kelm::holders::matrix_resize(*m, *window, 0, keep);
}

int32_t phase_matrix_resize_aligned(phase_matrix* m) {
    if (m == nullptr) return ERR_INVALID_PARAM;
    return kelm::holders::matrix_resize_aligned(*m);
}
