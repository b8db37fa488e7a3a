// A valid format-2 ASCII data file as editable lines, for tests that break
// one line at a time.
#pragma once

#include <string>
#include <vector>

struct AsciiFile {
    // Header lines 1-14 (index 0 is line 1), without line ends.
    std::vector<std::string> header;
    // Everything after the header, line ends included.
    std::string body;

    // 2 frames of 3 x 2 intensities (values 1..12) and 3 x 2 phase values.
    static AsciiFile valid();
    // The file's bytes, lines ended by `line_end`.
    std::string text(const std::string& line_end = "\r\n") const;
};
