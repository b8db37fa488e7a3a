// Line-by-line reading of the calibration companion files (bad-pixel file,
// materials file). A line is returned without its line end; only its first
// `keep` characters are stored, but its full length is reported, so a reader
// can refuse an overlong line without ever holding more than it needs.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

class TextLineReader {
public:
    TextLineReader(FILE* stream, size_t keep) : stream_(stream), keep_(keep) {}

    // The next line into `line` (at most `keep` characters, trailing CR and
    // LF removed) and its full length without the line end into `length`.
    // False at the end of the file (a last line without LF still counts).
    bool next(std::string& line, size_t& length);

    // The line last returned is returned again by the next call to next().
    void push_back() { pushed_ = true; }

private:
    FILE* stream_;
    size_t keep_;
    std::string last_;
    size_t last_length_ = 0;
    bool pushed_ = false;
};
