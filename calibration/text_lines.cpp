#include "calibration/text_lines.h"

bool TextLineReader::next(std::string& line, size_t& length) {
    if (pushed_) {
        pushed_ = false;
        line = last_;
        length = last_length_;
        return true;
    }
    last_.clear();
    size_t total = 0;
    int c = std::getc(stream_);
    if (c == EOF) return false;
    // Carriage returns are counted only when something other than the line
    // end follows them, so "ab\r\r\n" and "ab\n" are the same line.
    size_t pending_cr = 0;
    for (; c != EOF && c != '\n'; c = std::getc(stream_)) {
        if (c == '\r') {
            ++pending_cr;
            continue;
        }
        for (; pending_cr > 0; --pending_cr, ++total)
            if (last_.size() < keep_) last_.push_back('\r');
        ++total;
        if (last_.size() < keep_) last_.push_back(static_cast<char>(c));
    }
    last_length_ = total;
    line = last_;
    length = total;
    return true;
}
