// Size arithmetic shared by the array holders: element and byte counts are
// computed wide and refused when negative or too large, never wrapped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>

namespace kelm::holders {

// Largest byte count a holder asks the allocator for.
inline constexpr uint64_t kMaxBytes = uint64_t{1} << 40;

// Product of dimensions as an element count; none when a factor is
// negative or the product leaves 32 bits (the holders count elements in
// 32 bits).
inline std::optional<uint32_t> element_count(std::initializer_list<int64_t> dims) {
    uint64_t product = 1;
    for (int64_t d : dims) {
        if (d < 0) return std::nullopt;
        product *= static_cast<uint64_t>(d);
        if (product > UINT32_MAX) return std::nullopt;
    }
    return static_cast<uint32_t>(product);
}

// Bytes for `count` elements of `size` bytes; none when too large.
inline std::optional<size_t> byte_count(uint64_t count, size_t size) {
    if (size != 0 && count > kMaxBytes / size) return std::nullopt;
    return static_cast<size_t>(count * size);
}

}  // namespace kelm::holders
