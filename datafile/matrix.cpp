#include "datafile/matrix.h"

#include "datafile/matrix_holder.h"

// The data blocks are members of the holder family: their alloc and free
// are the shared matrix operations, with the side effects each block's
// contract gives a failed alloc.
int32_t intens_matrix_alloc(intens_matrix* m) {
    return kelm::holders::matrix_alloc<intens_matrix, kelm::holders::OnAllocFailure::ClearDimensions>(*m);
}

void intens_matrix_free(intens_matrix* m) { kelm::holders::matrix_free(*m); }

int32_t phase_matrix_alloc(phase_matrix* m) {
    return kelm::holders::matrix_alloc<phase_matrix, kelm::holders::OnAllocFailure::KeepDimensions>(*m);
}

void phase_matrix_free(phase_matrix* m) { kelm::holders::matrix_free(*m); }

int64_t intens_element_count(const intens_matrix& m) {
    return int64_t{m.n_buckets} * m.width * m.height;
}

int64_t phase_element_count(const phase_matrix& m) { return int64_t{m.width} * m.height; }
