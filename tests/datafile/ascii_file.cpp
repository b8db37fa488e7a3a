#include "ascii_file.h"

AsciiFile AsciiFile::valid() {
    AsciiFile f;
    f.header = {
        "Kelm ASCII Data File - Format 2",
        "1 2 3 4 \"identity text                \"",
        "5 6 3 2 2 7",
        "8 9 3 2",
        "\"line five                                                                        \"",
        "\"line six                               \"",
        "\"line seven                             \"",
        "11 0.5 -1.25 1e+10 inf -nan 3 -77",
        "21 22 23 24 70000 26 \"objective  \"",
        "31 32 33 34 35 36 0.25 -8 100000 -2147483648",
        "2 42 2147483647 44 4.5 46 47 48 49",
        "51 \"part text                  \"",
        "1.5 -2.5",
        "\"seven  \"",
    };
    f.body = "#\n1 2 3 4 5 6 7 8 9 10 \n11 12 \n#\n-1 0 2147483640 4 5 -2147483648 \n#\n";
    return f;
}

std::string AsciiFile::text(const std::string& line_end) const {
    std::string out;
    for (const std::string& line : header) out.append(line).append(line_end);
    for (char c : body) {
        if (c == '\n') out += line_end;
        else out += c;
    }
    return out;
}
