// Reads a text file through one fixed buffer, as a text-mode stream would
// deliver it (a CR right before an LF is dropped), with fast paths for the
// whitespace-separated numbers of the data blocks. The whole file is never
// held: memory stays at the buffer's size whatever the file's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace kelm::datafile {

class TextSource {
public:
    // Reads from `stream` (opened in binary; the source handles line ends).
    explicit TextSource(FILE* stream);
    ~TextSource();
    TextSource(const TextSource&) = delete;
    TextSource& operator=(const TextSource&) = delete;

    // False when the buffer could not be allocated.
    bool ok() const { return buffer_ != nullptr; }

    enum class Line { Ok, End, TooLong, NoLineEnd };

    // Reads one line, its LF included, into `out` (NUL-terminated; the line
    // may itself hold NUL bytes, so use `length`). A line that does not fit
    // into `capacity` - 1 characters with its line end is TooLong and is
    // consumed whole; End means the file ended before the line's first
    // character, NoLineEnd that it ended within the line.
    Line read_line(char* out, size_t capacity, size_t& length);

    // Consumes at most `limit` characters, stopping after an LF.
    void skip_short_line(size_t limit);

    // Reads `count` unsigned decimals of at most 65535 (each an optional
    // sign and digits, then any whitespace). False at the first non-number,
    // the end of the file or a value out of range.
    bool read_values(uint16_t* values, size_t count);
    // The same for signed 32-bit decimals.
    bool read_values(int32_t* values, size_t count);

private:
    bool refill();
    int peek();           // next raw byte or -1 at the end
    int get_translated();  // next character with CR LF read as LF, or -1
    void skip_space();
    // Reads an optional sign and at least one digit; the magnitude saturates
    // just past `limit`.
    bool read_magnitude(bool& negative, uint64_t& magnitude, uint64_t limit);
    bool read_u16(uint16_t& value);
    bool read_i32(int32_t& value);
    const char* parse_buffered(const char* p, bool& negative, uint64_t& magnitude) const;
    template <typename T>
    bool read_values_of(T* values, size_t count);

    FILE* stream_;
    char* buffer_;
    const char* pos_;
    const char* end_;  // buffer_[end_] holds a NUL sentinel
    bool eof_ = false;
};

}  // namespace kelm::datafile
