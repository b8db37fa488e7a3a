#include "datafile/window.h"

#include <algorithm>

#include "errors/err_codes.h"

namespace {

// Edges in 32 bits, so that no 16-bit sum wraps.
struct Edges {
    int32_t left, top, right, bottom;  // right and bottom inclusive
    explicit Edges(const matrix_window& w)
        : left(w.x), top(w.y), right(int32_t{w.x} + w.width - 1), bottom(int32_t{w.y} + w.height - 1) {}
};

bool disjoint(const Edges& a, const Edges& b) {
    return a.right < b.left || b.right < a.left || a.bottom < b.top || b.bottom < a.top;
}

bool inside(const Edges& a, const Edges& b) {
    return a.left >= b.left && a.right <= b.right && a.top >= b.top && a.bottom <= b.bottom;
}

}  // namespace

int32_t wn_compare(const matrix_window* a, const matrix_window* b) {
    const Edges ea(*a), eb(*b);
    if (disjoint(ea, eb)) return WN_DISJOINT;
    if (ea.left == eb.left && ea.top == eb.top && ea.right == eb.right && ea.bottom == eb.bottom) return WN_EQUAL;
    if (inside(ea, eb)) return WN_INSIDE;
    if (inside(eb, ea)) return WN_CONTAINS;
    return WN_OVERLAP;
}

int32_t wn_intersect(const matrix_window* a, const matrix_window* b, matrix_window* out) {
    const Edges ea(*a), eb(*b);
    if (disjoint(ea, eb)) return ERR_WINDOWS_DISJOINT;
    const int32_t x = std::max(ea.left, eb.left);
    const int32_t y = std::max(ea.top, eb.top);
    out->x = static_cast<int16_t>(x);
    out->y = static_cast<int16_t>(y);
    out->width = static_cast<int16_t>(std::min(ea.right, eb.right) - x + 1);
    out->height = static_cast<int16_t>(std::min(ea.bottom, eb.bottom) - y + 1);
    return NO_ERROR;
}
