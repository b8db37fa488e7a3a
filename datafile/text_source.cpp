#include "datafile/text_source.h"

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
    if (!read_magnitude(negative, magnitude, 65535)) return false;
    // "-0" is zero; any other negative value and anything above 65535 is
    // refused rather than wrapped.
    if (magnitude > 65535 || (negative && magnitude != 0)) return false;
    value = static_cast<uint16_t>(magnitude);
    return true;
}

inline bool TextSource::read_i32(int32_t& value) {
    bool negative;
    uint64_t magnitude;
    if (!read_magnitude(negative, magnitude, uint64_t{1} << 31)) return false;
    if (negative) {
        if (magnitude > (uint64_t{1} << 31)) return false;
        value = static_cast<int32_t>(-static_cast<int64_t>(magnitude));
    } else {
        if (magnitude > INT32_MAX) return false;
        value = static_cast<int32_t>(magnitude);
    }
    return true;
}

bool TextSource::read_values(uint16_t* values, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (!read_u16(values[i])) return false;
    return true;
}

bool TextSource::read_values(int32_t* values, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (!read_i32(values[i])) return false;
    return true;
}

}  // namespace kelm::datafile
