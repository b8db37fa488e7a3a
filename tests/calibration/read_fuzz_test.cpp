// Runs the reader over thousands of mutated calibration files: every run
// must end with a result code and stay within the reader's message cap.
#include <algorithm>
#include <random>
#include <string>

#include "cal_read_support.h"
#include "calibration/cal_read_error.h"
#include "errors/msg.h"
#include "platform/file.h"

namespace {

using testing_support::read_file;

std::string mutate(std::string bytes, std::mt19937& rng) {
    static const char* const kInserts[] = {"\n", "#", "\"", "[", ":", ",", "]", " 9999999999999", " nan", "-",
                                           "Camera ", "LLC ", "NomMag 1 2\n", "\r", "\t", "Zoom 2\n"};
    std::uniform_int_distribution<int> byte(0, 255);
    const int edits = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < edits; ++i) {
        const size_t pos = bytes.empty() ? 0 : rng() % bytes.size();
        std::string piece;
        switch (rng() % 6) {
            case 0: if (!bytes.empty()) bytes[pos] = static_cast<char>(byte(rng)); break;
            case 1: piece.assign(1, static_cast<char>(byte(rng))); break;
            case 2: if (!bytes.empty()) bytes.erase(pos, 1 + rng() % 24); break;
            case 3: piece = kInserts[rng() % std::size(kInserts)]; break;
            case 4: piece.assign(rng() % 200, "x \t\"0["[rng() % 6]); break;
            case 5: if (!bytes.empty()) piece = bytes.substr(rng() % bytes.size(), 40); break;  // a copy of other bytes
        }
        if (!piece.empty()) bytes = bytes.substr(0, pos) + piece + bytes.substr(std::min(pos, bytes.size()));
    }
    return bytes;
}

class CalReadFuzz : public CalSlotTest {
protected:
    CalReadFuzz() { gl_msg_print = msg_discard; }  // the capture restores the printer
};

TEST_F(CalReadFuzz, MutatedFilesEndWithACodeWithinTheCap) {
    const std::string seeds[] = {read_file(cal_example("serial_pmi.cal")), read_file(cal_example("can_zoom.cal"))};
    ASSERT_FALSE(seeds[0].empty());
    const std::string path = dir.file("f.cal");
    std::mt19937 rng(20240607);
    for (int i = 0; i < 4000; ++i) {
        testing_support::write_file(path, mutate(seeds[i % 2], rng));
        const int32_t rc = sb_readCal(kSlot, path.c_str());
        EXPECT_GE(rc, 0);
        // The cap is checked between lines: a line begun at nine messages adds
        // at most its own message and "Error in line".
        ASSERT_LE(cal_msg_count, kCalMaxMessages + 1) << "run " << i;
    }
    // Text mode over mutated single lines.
    for (int i = 0; i < 2000; ++i) {
        std::string line = mutate("Light Diode [0.67,0.02] 0.78 SdcCal 1 2 3", rng);
        line.insert(line.begin(), '+');
        EXPECT_GE(sb_readCal(kSlot, line.c_str()), 0);
    }
}

}  // namespace
