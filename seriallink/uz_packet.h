// Packets of the serial instrument boards. Both directions frame a body the
// same way: [count][body...][checksum], where count = body bytes + 1 and the
// checksum is the sum of the body bytes modulo 256. A request's body is the
// command code and its big-endian parameters; an answer's body is 0xFF
// (acknowledge), 0xFE (negative acknowledge), the echoed code and its
// values, or an event code and its value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr uint8_t UZ_ACK = 0xFF;
inline constexpr uint8_t UZ_NAK = 0xFE;

// ur_readUZ's plain results that make ur_writeUZ send again: a checksum
// error and a negative acknowledgement.
inline constexpr int32_t UZ_RESULT_CHECKSUM = 254;
inline constexpr int32_t UZ_RESULT_NAK = 255;

// Receive kinds of ur_readUZ.
inline constexpr int32_t UZ_RESP_ACK = 1;
inline constexpr int32_t UZ_RESP_DATA = 2;
inline constexpr int32_t UZ_RESP_EVENT = 3;

// The most bytes that can follow an answer's length byte: the length byte
// is read as a signed byte, so 1 to 127 are lengths.
inline constexpr int32_t UZ_MAX_ANSWER = 127;

// The bytes of an event packet after its length byte: code, value, checksum.
inline constexpr int32_t UZ_EVENT_LEN = 3;

// Sum of the bytes modulo 256.
uint8_t uz_checksum(std::span<const uint8_t> bytes);

// Writes [body.size() + 1][body][checksum] to `out`; returns the bytes
// written, or 0 when `out` is too small or the body longer than 126 bytes.
std::size_t uz_frame(std::span<const uint8_t> body, std::span<uint8_t> out);
