// The operations every matrix holder shares, written once for all element
// types. A matrix holder has `size` (elements allocated), a window `x`, `y`,
// `width`, `height` (16-bit), for the multi-frame kind `n_buckets`, and
// `matrix`, the elements, rows top down without padding.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>

#include "datafile/holder_math.h"
#include "errors/err_codes.h"
#include "util/memhooks.h"

// A window of a matrix: origin and extent.
struct matrix_window {
    int16_t x;
    int16_t y;
    int16_t width;
    int16_t height;
};

namespace kelm::holders {

template <typename M>
concept MultiFrame = requires(M m) { m.n_buckets; };

// What a failed alloc clears besides the data pointer.
enum class OnAllocFailure {
    KeepDimensions,  // size 0, window kept
    ClearDimensions  // size, width, height (and n_buckets) 0
};

template <typename M>
using element_t = std::remove_pointer_t<decltype(M::matrix)>;

template <typename M>
std::optional<uint32_t> stored_element_count(const M& m) {
    if constexpr (MultiFrame<M>)
        return element_count({m.width, m.height, m.n_buckets});
    else
        return element_count({m.width, m.height});
}

template <typename M>
void clear_dimensions(M& m) {
    m.size = 0;
    m.width = 0;
    m.height = 0;
    if constexpr (MultiFrame<M>) m.n_buckets = 0;
}

template <typename M>
void release(M& m) {
    if (m.matrix != nullptr) gl_mem_free(m.matrix);
    m.matrix = nullptr;
    m.size = 0;
}

template <typename M, OnAllocFailure Failure>
int32_t matrix_alloc(M& m) {
    const auto count = stored_element_count(m);
    if (!count || *count == 0) return ERR_PARAM_OUT_OF_RANGE;
    const auto bytes = byte_count(*count, sizeof(element_t<M>));
    if (!bytes) return ERR_PARAM_OUT_OF_RANGE;
    m.size = 0;
    m.matrix = static_cast<element_t<M>*>(gl_mem_alloc(*bytes));
    if (m.matrix == nullptr) {
        if constexpr (Failure == OnAllocFailure::ClearDimensions) clear_dimensions(m);
        return ERR_NO_MEM;
    }
    m.size = *count;
    return NO_ERROR;
}

// width x height elements, zero-filled.
template <typename M>
int32_t matrix_alloc_zero(M& m) {
    const auto count = element_count({m.width, m.height});
    if (!count) return ERR_PARAM_OUT_OF_RANGE;
    m.size = 0;
    m.matrix = static_cast<element_t<M>*>(gl_mem_calloc(*count, sizeof(element_t<M>)));
    if (m.matrix == nullptr) return ERR_NO_MEM;
    m.size = *count;
    return NO_ERROR;
}

// Changes the window (and frame count), reusing the allocation when it is
// large enough and `keep` allows. A window without elements releases the
// data and keeps the previous window; a failed reallocation leaves no data,
// size 0 and the previous window.
template <typename M>
int32_t matrix_resize(M& m, const matrix_window& window, int16_t buckets, bool keep) {
    if (m.matrix == nullptr) m.size = 0;
    std::optional<uint32_t> count;
    if constexpr (MultiFrame<M>)
        count = element_count({window.width, window.height, buckets});
    else
        count = element_count({window.width, window.height});
    if (!count) return ERR_PARAM_OUT_OF_RANGE;
    if (*count == 0) {
        release(m);
        return NO_ERROR;
    }
    const auto bytes = byte_count(*count, sizeof(element_t<M>));
    if (!bytes) return ERR_PARAM_OUT_OF_RANGE;
    if (*count > m.size || (*count < m.size && !keep)) {
        release(m);
        m.matrix = static_cast<element_t<M>*>(gl_mem_alloc(*bytes));
        if (m.matrix == nullptr) return ERR_NO_MEM;
        m.size = *count;
    }
    m.x = window.x;
    m.y = window.y;
    m.width = window.width;
    m.height = window.height;
    if constexpr (MultiFrame<M>) m.n_buckets = buckets;
    return NO_ERROR;
}

// The holder's window widened to multiples of 4; none when the widened
// window does not fit 16 bits.
template <typename M>
std::optional<matrix_window> aligned_window(const M& m) {
    auto floor4 = [](int32_t v) { return v >= 0 ? v / 4 * 4 : -((-v + 3) / 4 * 4); };
    auto ceil4 = [&](int32_t v) { return -floor4(-v); };
    const int32_t x = floor4(m.x);
    const int32_t y = floor4(m.y);
    const int32_t width = ceil4(int32_t{m.x} + m.width) - x;
    const int32_t height = ceil4(int32_t{m.y} + m.height) - y;
    if (width > INT16_MAX || height > INT16_MAX || x < INT16_MIN || y < INT16_MIN) return std::nullopt;
    return matrix_window{static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<int16_t>(width),
                         static_cast<int16_t>(height)};
}

template <typename M>
int32_t matrix_resize_aligned(M& m) {
    const auto window = aligned_window(m);
    if (!window) return ERR_PARAM_OUT_OF_RANGE;
    return matrix_resize(m, *window, 0, true);
}

template <typename M>
void matrix_free(M& m) {
    release(m);
    clear_dimensions(m);
}

// Index of matrix point (px, py) in `matrix`.
template <typename M>
int64_t matrix_index(const M& m, int32_t px, int32_t py) {
    return int64_t{py - m.y} * m.width + (px - m.x);
}

}  // namespace kelm::holders
