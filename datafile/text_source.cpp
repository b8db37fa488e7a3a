#include "datafile/text_source.h"

#include <bit>
#include <cstring>
#include <type_traits>

#include "util/memhooks.h"

namespace kelm::datafile {

namespace {

constexpr size_t kBufferSize = 256 * 1024;

// scanf's whitespace: blank, tab, LF, VT, FF, CR.
constexpr bool is_space(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

struct SpaceTable {
    bool at[256] = {};
    constexpr SpaceTable() {
        for (int c = 0; c < 256; ++c) at[c] = is_space(static_cast<unsigned char>(c));
    }
};
constexpr SpaceTable kSpace;

// Room in the buffer that certainly holds a number of up to 19 digits with
// its sign and the whitespace after it.
constexpr ptrdiff_t kFastRoom = 64;

// Values out of their type's range are refused rather than wrapped. "-0"
// is zero; no other negative value is an unsigned 16-bit value.
template <typename T>
bool in_range(bool negative, uint64_t magnitude) {
    if constexpr (std::is_same_v<T, uint16_t>)
        return magnitude <= 65535 && (!negative || magnitude == 0);
    else
        return magnitude <= (negative ? uint64_t{1} << 31 : uint64_t{INT32_MAX});
}

template <typename T>
T make_value(bool negative, uint64_t magnitude) {
    const int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return static_cast<T>(value);
}

}  // namespace

TextSource::TextSource(FILE* stream)
    : stream_(stream), buffer_(static_cast<char*>(gl_mem_alloc(kBufferSize + 1))) {
    if (buffer_ != nullptr) buffer_[0] = '\0';
    pos_ = end_ = buffer_;
    // Reads go straight into our buffer; a stdio buffer would only add a copy.
    if (stream_ != nullptr) std::setvbuf(stream_, nullptr, _IONBF, 0);
}

TextSource::~TextSource() {
    if (buffer_ != nullptr) gl_mem_free(buffer_);
}

bool TextSource::refill() {
    if (eof_ || buffer_ == nullptr) return false;
    const size_t n = std::fread(buffer_, 1, kBufferSize, stream_);
    if (n == 0) eof_ = true;
    pos_ = buffer_;
    end_ = buffer_ + n;
    buffer_[n] = '\0';
    return n > 0;
}

int TextSource::peek() {
    if (pos_ == end_ && !refill()) return -1;
    return static_cast<unsigned char>(*pos_);
}

int TextSource::get_translated() {
    const int c = peek();
    if (c < 0) return c;
    ++pos_;
    if (c == '\r' && peek() == '\n') {
        ++pos_;
        return '\n';
    }
    return c;
}

TextSource::Line TextSource::read_line(char* out, size_t capacity, size_t& length) {
    length = 0;
    bool too_long = false;
    for (;;) {
        const int c = get_translated();
        if (c < 0) {
            out[length] = '\0';
            if (length == 0 && !too_long) return Line::End;
            return too_long ? Line::TooLong : Line::NoLineEnd;
        }
        if (length + 1 < capacity)
            out[length++] = static_cast<char>(c);
        else
            too_long = true;
        if (c == '\n') {
            out[length] = '\0';
            return too_long ? Line::TooLong : Line::Ok;
        }
    }
}

void TextSource::skip_short_line(size_t limit) {
    for (size_t n = 0; n < limit; ++n) {
        const int c = get_translated();
        if (c < 0 || c == '\n') return;
    }
}

inline void TextSource::skip_space() {
    for (;;) {
        while (kSpace.at[static_cast<unsigned char>(*pos_)]) ++pos_;
        // The sentinel stops the loop at the end of the buffered data.
        if (pos_ != end_ || !refill()) return;
    }
}

inline bool TextSource::read_magnitude(bool& negative, uint64_t& magnitude, uint64_t limit) {
    skip_space();
    negative = false;
    int c = peek();
    if (c == '-' || c == '+') {
        negative = c == '-';
        ++pos_;
    }
    uint64_t value = 0;
    bool any = false;
    for (;;) {
        const char* p = pos_;
        for (unsigned d; (d = static_cast<unsigned char>(*p) - '0') < 10; ++p) {
            value = value * 10 + d;
            if (value > limit) value = limit + 1;
        }
        any = any || p != pos_;
        pos_ = p;
        if (pos_ != end_ || !refill()) break;
    }
    if (!any) return false;
    magnitude = value;
    skip_space();
    return true;
}

inline bool TextSource::read_u16(uint16_t& value) {
    bool negative;
    uint64_t magnitude;
    if (!read_magnitude(negative, magnitude, 65535) || !in_range<uint16_t>(negative, magnitude)) return false;
    value = make_value<uint16_t>(negative, magnitude);
    return true;
}

inline bool TextSource::read_i32(int32_t& value) {
    bool negative;
    uint64_t magnitude;
    if (!read_magnitude(negative, magnitude, uint64_t{1} << 31) || !in_range<int32_t>(negative, magnitude))
        return false;
    value = make_value<int32_t>(negative, magnitude);
    return true;
}

// Reads the run of decimal digits at `p` eight bytes at a time, without a
// branch per digit. `p` must have at least 16 readable bytes. Returns the
// number of digits (value in `value`), or -1 for a run of more than 16.
inline int parse_digit_run(const char* p, uint64_t& value) {
    constexpr uint64_t kOnes = 0x0101010101010101;
    auto digits_in = [](uint64_t chunk, uint64_t& lanes) {
        lanes = chunk ^ (0x30 * kOnes);  // digit bytes become 0..9
        // A byte's high bit marks a non-digit: its value is 10 or more.
        const uint64_t non_digit = (((lanes & (0x7F * kOnes)) + (0x76 * kOnes)) | lanes) & (0x80 * kOnes);
        return non_digit == 0 ? 8 : std::countr_zero(non_digit) / 8;
    };
    // Eight digits, the first in the lowest byte, to their value.
    auto eight_digits = [](uint64_t lanes) {
        lanes = lanes * 10 + (lanes >> 8);
        return (((lanes & 0x000000FF000000FF) * (100 + (1000000ULL << 32))) +
                (((lanes >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32)))) >>
               32;
    };
    // The first n (1..8) digits of a chunk, moved to the top so that the
    // bytes below read as leading zeros.
    auto leading = [&](uint64_t lanes, int n) { return eight_digits(lanes << (64 - 8 * n)); };

    uint64_t chunk;
    uint64_t lanes;
    std::memcpy(&chunk, p, 8);
    const int n = digits_in(chunk, lanes);
    if (n < 8) {
        value = n == 0 ? 0 : leading(lanes, n);
        return n;
    }
    const uint64_t high = eight_digits(lanes);
    std::memcpy(&chunk, p + 8, 8);
    const int m = digits_in(chunk, lanes);
    if (m == 8) return -1;
    static constexpr uint64_t kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    value = m == 0 ? high : high * kPowers[m] + leading(lanes, m);
    return 8 + m;
}

// Parses one number at `p` when the buffer certainly holds all of it: an
// optional sign, 1 to 16 digits that end before the end of the buffered
// data, then the whitespace that follows. Returns the position after the
// whitespace, or null when the slow path must decide.
inline const char* TextSource::parse_buffered(const char* p, bool& negative, uint64_t& magnitude) const {
    negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    const int n = parse_digit_run(p, magnitude);
    if (n <= 0) return nullptr;
    p += n;
    if (p >= end_) return nullptr;
    while (kSpace.at[static_cast<unsigned char>(*p)]) ++p;
    if (p == end_) return nullptr;  // the whitespace may go on in the next read
    return p;
}

template <typename T>
bool TextSource::read_values_of(T* values, size_t count) {
    constexpr bool is_u16 = std::is_same_v<T, uint16_t>;
    for (size_t i = 0; i < count; ++i) {
        // Whitespace before the first value; later values start right after
        // the whitespace their predecessor consumed.
        if (i == 0) skip_space();
        bool negative;
        uint64_t magnitude;
        if (end_ - pos_ >= kFastRoom) {
            if (const char* next = parse_buffered(pos_, negative, magnitude)) {
                if (!in_range<T>(negative, magnitude)) return false;
                values[i] = make_value<T>(negative, magnitude);
                pos_ = next;
                continue;
            }
        }
        if (!(is_u16 ? read_u16(reinterpret_cast<uint16_t&>(values[i]))
                     : read_i32(reinterpret_cast<int32_t&>(values[i]))))
            return false;
    }
    return true;
}

bool TextSource::read_values(uint16_t* values, size_t count) { return read_values_of(values, count); }

bool TextSource::read_values(int32_t* values, size_t count) { return read_values_of(values, count); }

}  // namespace kelm::datafile
