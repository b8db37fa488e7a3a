#include "datafile/typed_array.h"

#include <cstring>
#include <limits>

#include "datafile/holder_math.h"
#include "util/memhooks.h"

namespace {

// Writes the no-data value of `type` into `out`; false for an unknown code.
bool store_no_data(int32_t type, void* out) {
    auto put = [out](auto value) {
        std::memcpy(out, &value, sizeof value);
        return true;
    };
    switch (type) {
    case 0: return put(int8_t{127});
    case 1: return put(uint8_t{255});
    case 2: return put(int16_t{32767});
    case 3: return put(uint16_t{65535});
    case 4:
    case 6: return put(int32_t{2147483647});
    case 5:
    case 7: return put(uint32_t{4294967295u});
    case 8: return put(std::numeric_limits<float>::max());
    case 9: return put(std::numeric_limits<double>::infinity());
    default: return false;
    }
}

// Fills the parts both kinds share; false (nothing left allocated) on
// failure.
template <typename A>
bool fill_common(A& a, uint32_t count, int32_t type, bool zero) {
    a.elem_size = typed_array_elem_size(type);
    if (a.elem_size == 0) return false;
    a.type = type;
    a.count = static_cast<int32_t>(count);
    const auto bytes = kelm::holders::byte_count(count, static_cast<size_t>(a.elem_size));
    if (!bytes) return false;
    a.no_data = gl_mem_alloc(static_cast<size_t>(a.elem_size));
    a.data = zero ? gl_mem_calloc(count, static_cast<size_t>(a.elem_size)) : gl_mem_alloc(*bytes);
    if (a.no_data == nullptr || a.data == nullptr) {
        gl_mem_free(a.no_data);
        gl_mem_free(a.data);
        return false;
    }
    store_no_data(type, a.no_data);
    return true;
}

typed_array* create(int32_t n, int32_t type, bool zero) {
    if (n <= 0) return nullptr;
    auto* a = static_cast<typed_array*>(gl_mem_calloc(1, sizeof(typed_array)));
    if (a == nullptr) return nullptr;
    if (!fill_common(*a, static_cast<uint32_t>(n), type, zero)) {
        gl_mem_free(a);
        return nullptr;
    }
    return a;
}

typed_array2d* create2d(int32_t columns, int32_t rows, int32_t type, bool zero) {
    const auto count = kelm::holders::element_count({columns, rows});
    if (!count || *count == 0 || *count > INT32_MAX) return nullptr;
    auto* a = static_cast<typed_array2d*>(gl_mem_calloc(1, sizeof(typed_array2d)));
    if (a == nullptr) return nullptr;
    if (!fill_common(*a, *count, type, zero)) {
        gl_mem_free(a);
        return nullptr;
    }
    a->rows = static_cast<void**>(gl_mem_alloc(static_cast<size_t>(rows) * sizeof(void*)));
    if (a->rows == nullptr) {
        gl_mem_free(a->no_data);
        gl_mem_free(a->data);
        gl_mem_free(a);
        return nullptr;
    }
    a->width = columns;
    a->height = rows;
    auto* base = static_cast<unsigned char*>(a->data);
    for (int32_t i = 0; i < rows; ++i)
        a->rows[i] = base + static_cast<size_t>(i) * static_cast<size_t>(columns) * static_cast<size_t>(a->elem_size);
    return a;
}

}  // namespace

int32_t typed_array_elem_size(int32_t type) {
    static constexpr int32_t kSizes[] = {1, 1, 2, 2, 4, 4, 4, 4, 4, 8};
    return type >= 0 && type <= 9 ? kSizes[type] : 0;
}

typed_array* typed_array_create(int32_t n, int32_t type) { return create(n, type, false); }
typed_array* typed_array_create_zero(int32_t n, int32_t type) { return create(n, type, true); }

void typed_array_destroy(typed_array* a) {
    if (a == nullptr) return;
    gl_mem_free(a->no_data);
    gl_mem_free(a->data);
    gl_mem_free(a);
}

typed_array2d* typed_array2d_create(int32_t columns, int32_t rows, int32_t type) {
    return create2d(columns, rows, type, false);
}
typed_array2d* typed_array2d_create_zero(int32_t columns, int32_t rows, int32_t type) {
    return create2d(columns, rows, type, true);
}

void typed_array2d_destroy(typed_array2d* a) {
    if (a == nullptr) return;
    gl_mem_free(a->rows);
    gl_mem_free(a->no_data);
    gl_mem_free(a->data);
    gl_mem_free(a);
}
