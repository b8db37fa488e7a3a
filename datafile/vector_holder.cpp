#include "datafile/vector_holder.h"

#include "datafile/holder_math.h"
#include "errors/err_codes.h"
#include "util/memhooks.h"

namespace {

template <typename T>
void release(vector_holder<T>& v) {
    if (v.data != nullptr) gl_mem_free(v.data);
    v.data = nullptr;
    v.size = 0;
}

template <typename T>
int32_t vector_alloc(vector_holder<T>& v) {
    if (v.count == 0) return ERR_PARAM_OUT_OF_RANGE;
    const auto bytes = kelm::holders::byte_count(v.count, sizeof(T));
    if (!bytes) return ERR_PARAM_OUT_OF_RANGE;
    v.size = 0;
    v.data = static_cast<T*>(gl_mem_alloc(*bytes));
    if (v.data == nullptr) return ERR_NO_MEM;
    v.size = v.count;
    return NO_ERROR;
}

template <typename T>
int32_t vector_resize(vector_holder<T>& v, uint32_t n, bool keep) {
    if (v.data == nullptr) v.size = 0;
    if (n == 0) {
        release(v);
        v.count = 0;
        return NO_ERROR;
    }
    const auto bytes = kelm::holders::byte_count(n, sizeof(T));
    if (!bytes) return ERR_PARAM_OUT_OF_RANGE;
    if (n > v.size || (n < v.size && !keep)) {
        release(v);
        v.data = static_cast<T*>(gl_mem_alloc(*bytes));
        if (v.data == nullptr) {
            // Nothing is held now: a count without data would let callers
            // index a missing array.
            v.count = 0;
            return ERR_NO_MEM;
        }
        v.size = n;
    }
    v.count = n;
    return NO_ERROR;
}

}  // namespace

#define KELM_DEFINE_VECTOR_OPS(kind)                                                                    \
    void kind##_init(kind* v) { *v = kind{}; }                                                          \
    int32_t kind##_alloc(kind* v) { return v == nullptr ? ERR_INVALID_PARAM : vector_alloc(*v); }      \
    int32_t kind##_resize(kind* v, uint32_t count, bool keep) {                                         \
        return v == nullptr ? ERR_INVALID_PARAM : vector_resize(*v, count, keep);                       \
    }                                                                                                   \
    void kind##_free(kind* v) {                                                                         \
        if (v == nullptr) return;                                                                       \
        release(*v);                                                                                    \
        v->count = 0;                                                                                   \
    }

KELM_DEFINE_VECTOR_OPS(BadPixelList)
KELM_DEFINE_VECTOR_OPS(vec_point3f)
KELM_DEFINE_VECTOR_OPS(vec_point3i)
KELM_DEFINE_VECTOR_OPS(vec_pair_f)
KELM_DEFINE_VECTOR_OPS(vec_f64)
KELM_DEFINE_VECTOR_OPS(vec_pair_i)
KELM_DEFINE_VECTOR_OPS(vec_i32)
KELM_DEFINE_VECTOR_OPS(vec_f32)
KELM_DEFINE_VECTOR_OPS(vec_u16)
KELM_DEFINE_VECTOR_OPS(vec_u8)
#undef KELM_DEFINE_VECTOR_OPS

void ptr_vector_init(ptr_vector* v) { *v = ptr_vector{}; }

int32_t ptr_vector_alloc(ptr_vector* v) {
    if (v == nullptr) return ERR_INVALID_PARAM;
    if (v->count < 1) return ERR_PARAM_OUT_OF_RANGE;
    v->data = static_cast<void**>(gl_mem_calloc(static_cast<size_t>(v->count), sizeof(void*)));
    if (v->data == nullptr) {
        v->count = 0;
        return ERR_NO_MEM;
    }
    return NO_ERROR;
}

void ptr_vector_free(ptr_vector* v) {
    if (v == nullptr) return;
    if (v->data != nullptr) {
        for (int32_t i = 0; i < v->count; ++i)
            if (v->data[i] != nullptr) gl_mem_free(v->data[i]);
        gl_mem_free(v->data);
    }
    v->data = nullptr;
    v->count = 0;
}
