#include "seriallink/uz_packet.h"

#include <algorithm>

uint8_t uz_checksum(std::span<const uint8_t> bytes) {
    uint32_t sum = 0;
    for (uint8_t b : bytes) sum += b;
    return static_cast<uint8_t>(sum & 0xFFu);
}

std::size_t uz_frame(std::span<const uint8_t> body, std::span<uint8_t> out) {
    const std::size_t total = body.size() + 2;
    if (body.size() >= static_cast<std::size_t>(UZ_MAX_ANSWER) || out.size() < total) return 0;
    out[0] = static_cast<uint8_t>(body.size() + 1);
    std::ranges::copy(body, out.begin() + 1);
    out[total - 1] = uz_checksum(body);
    return total;
}
