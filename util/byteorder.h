// Byte order of the library's binary files and board packets: numbers are
// stored big-endian.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

// Reverses the `n` bytes at `p` in place, for n = 2, 4 or 8; the same call
// converts between machine order and big-endian in both directions. Any
// other width is a programming error: it is reported and the process ends.
void u_swap_bytes(void* p, int n);

namespace kelm {

// Big-endian conversion of one value, for code that converts whole arrays.
template <typename T>
constexpr T to_big_endian(T value) {
    static_assert(std::is_arithmetic_v<T> && (sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4 || sizeof(T) == 8));
    if constexpr (std::endian::native == std::endian::big || sizeof(T) == 1) {
        return value;
    } else {
        using U = std::conditional_t<sizeof(T) == 2, uint16_t, std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>>;
        const U bits = std::bit_cast<U>(value);
        if constexpr (sizeof(T) == 2) return std::bit_cast<T>(static_cast<U>(__builtin_bswap16(bits)));
        else if constexpr (sizeof(T) == 4) return std::bit_cast<T>(static_cast<U>(__builtin_bswap32(bits)));
        else return std::bit_cast<T>(static_cast<U>(__builtin_bswap64(bits)));
    }
}

// Stores `value` big-endian at `dst`.
template <typename T>
inline void store_be(void* dst, T value) {
    const T be = to_big_endian(value);
    std::memcpy(dst, &be, sizeof be);
}

// Loads a big-endian value from `src`.
template <typename T>
inline T load_be(const void* src) {
    T value;
    std::memcpy(&value, src, sizeof value);
    return to_big_endian(value);
}

}  // namespace kelm
