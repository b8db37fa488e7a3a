// Mutated files and lines through the bad-pixel reader, the materials reader
// and the token scanners: whatever the input, no crash, no overrun, and
// every accepted value within its limits. Run it under the sanitizers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "calibration/bad_pixel_file.h"
#include "calibration/cal_subrecords.h"
#include "calibration/ftp_materials.h"
#include "errors/err_codes.h"
#include "errors/msg.h"
#include "support/test_support.h"
#include "util/memhooks.h"
#include "util/scan.h"

namespace {

using testing_support::TempDir;
using testing_support::write_file;

constexpr int kRounds = 400;

// Silences the library's printer for the test's lifetime.
class QuietMessages {
public:
    QuietMessages() : old_(gl_msg_print) { gl_msg_print = msg_discard; }
    ~QuietMessages() { gl_msg_print = old_; }
    QuietMessages(const QuietMessages&) = delete;
    QuietMessages& operator=(const QuietMessages&) = delete;

private:
    msg_printer_fn old_;
};

// Small random edits that tend to reach the readers' edge cases.
class Mutator {
public:
    explicit Mutator(uint32_t seed) : rng_(seed) {}

    std::string mutate(std::string text) {
        const int edits = 1 + pick(4);
        for (int i = 0; i < edits; ++i) edit(text);
        return text;
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

private:
    char interesting() {
        static const char kChars[] = "0123456789[]#\"' \t\r\n*?-+.eE:,x\xff";
        // The array's terminator stands in for an embedded NUL.
        return kChars[pick(sizeof kChars)];
    }

    void edit(std::string& text) {
        const size_t at = text.empty() ? 0 : static_cast<size_t>(pick(static_cast<int>(text.size())));
        switch (pick(6)) {
            case 0:
                if (!text.empty()) text[at] = interesting();
                break;
            case 1:
                text.insert(at, 1, interesting());
                break;
            case 2:
                text.erase(at, static_cast<size_t>(pick(8)));
                break;
            case 3: {  // repeat a stretch, possibly making an overlong line
                const std::string piece = text.substr(at, static_cast<size_t>(pick(40)));
                for (int n = pick(8); n > 0; --n) text.insert(at, piece);
                break;
            }
            case 4:
                text.insert(at, std::to_string(std::uniform_int_distribution<int64_t>(-5, 5000000000)(rng_)));
                break;
            default:
                text.insert(at, std::string(static_cast<size_t>(90 + pick(120)), 'c'));
                break;
        }
    }

    std::mt19937 rng_;
};

const std::string kBadPixelSeed =
    "# unit 1234\n[full] 0 1 640 480 30\n5 2\n1 9\n639 479\n\n[half] 1 2 320 240 60.5\n0 0\n"
    "[none] 2 2 16 16 15\n";
const std::string kMaterialsSeed =
    "## Phasorix FTP Materials File - Format 1\n# comment\n"
    "\"Aluminum\"  023.0  085.0  00.035766  0 0 0 0  # 606\n'Glass B' 1.5 * -1 ? 0.5 -0.5 6.2\n"
    "\"Gold\" 0.2 3.5 0.1 0.01 0.02 0.03 0.04\n";

TEST(CompanionFuzz, BadPixelFile) {
    QuietMessages quiet;
    TempDir dir;
    const std::string path = dir.file("bpix.dat");
    Mutator mutator(11);
    std::vector<BadPixelSection> sections(kBadPixelMaxSections);
    char message[2048];
    std::string text = kBadPixelSeed;
    for (int round = 0; round < kRounds; ++round) {
        text = mutator.pick(4) == 0 ? kBadPixelSeed : mutator.mutate(text);
        if (text.size() > 20000) text = kBadPixelSeed;
        write_file(path, text);
        int32_t count = -1;
        const int32_t result =
            bad_pixel_file_load(path.c_str(), sections.data(), kBadPixelMaxSections, &count, message, sizeof message);
        ASSERT_LT(std::strlen(message), sizeof message);
        if (result != NO_ERROR) {
            ASSERT_EQ(result, ERR_CB_FILE_INVALID) << text;
            ASSERT_EQ(count, 0);
            ASSERT_EQ(std::string(message).rfind("Error reading bad pixel file", 0), 0u);
            continue;
        }
        ASSERT_GE(count, 0);
        ASSERT_LE(count, kBadPixelMaxSections);
        for (int32_t i = 0; i < count; ++i) {
            BadPixelSection& s = sections[static_cast<size_t>(i)];
            ASSERT_TRUE(s.grabMode >= 0 && s.grabMode <= 10 && s.grabUnder >= 0 && s.grabUnder <= 10);
            ASSERT_TRUE(s.sizeX >= 0 && s.sizeY >= 0 && s.grabRate >= 0 && s.grabRate <= 500);
            bad_pixel_list_normalise(&s.pixels);
            for (uint32_t p = 0; p < s.pixels.count; ++p) {
                const BadPixel& px = s.pixels.data[p];
                ASSERT_TRUE(px.x >= 0 && px.x < s.sizeX && px.y >= 0 && px.y < s.sizeY);
                if (p > 0) {
                    const BadPixel& prev = s.pixels.data[p - 1];
                    ASSERT_TRUE(prev.x < px.x || (prev.x == px.x && prev.y < px.y));
                }
            }
            BadPixelList_free(&s.pixels);
        }
    }
}

bool in_range(double v, double lo, double hi) { return std::isinf(v) ? v > 0 : (v >= lo && v <= hi); }

TEST(CompanionFuzz, MaterialsFile) {
    QuietMessages quiet;
    TempDir dir;
    const std::string path = dir.file("materials.txt");
    Mutator mutator(23);
    const double two_pi = 2 * std::acos(-1.0);
    std::string text = kMaterialsSeed;
    for (int round = 0; round < kRounds; ++round) {
        text = mutator.pick(4) == 0 ? kMaterialsSeed : mutator.mutate(text);
        if (text.size() > 20000) text = kMaterialsSeed;
        write_file(path, text);
        FtpMaterials materials{};
        const int32_t result = ftp_read_materials_file(path.c_str(), &materials);
        if (result != NO_ERROR) {
            ASSERT_EQ(result, ERR_FTP_CORRUPT_MATLS_FILE) << text;
            ASSERT_EQ(materials.list, nullptr);
            continue;
        }
        ASSERT_GT(materials.listCount, 0);
        ASSERT_GT(materials.listCapacity, materials.listCount);
        int16_t next_index = 0;
        for (int32_t i = 0; i < materials.listCount; ++i) {
            const MaterialSpec& m = materials.list[i];
            ASSERT_LE(std::strlen(m.name.c_str()), 20u);
            ASSERT_LE(std::strlen(m.comment.c_str()), 100u);
            if (m.index < 0) continue;
            ASSERT_EQ(m.index, next_index++);
            ASSERT_TRUE(in_range(m.n, 0, 100) && in_range(m.k, 0, 100) && in_range(m.pcor, -two_pi, two_pi));
            for (double d : m.disper) ASSERT_TRUE(in_range(d, -two_pi, two_pi));
        }
        ASSERT_GT(next_index, 0);
        const MaterialSpec& after = materials.list[materials.listCount];
        ASSERT_EQ(after.index, 0);
        ASSERT_EQ(after.name.c_str()[0], '\0');
        gl_mem_free(materials.list);
    }
}

TEST(CompanionFuzz, TokenScanners) {
    Mutator mutator(37);
    const char* delimiter_sets[] = {nullptr, " \t\r\n", ",", ""};
    const std::string seeds[] = {"12 -7 3.5e2 word 0x1F nan inf", "[0] 1 2 640 480 30", "Grab Mode: 4 \"a b\""};
    for (int round = 0; round < kRounds * 4; ++round) {
        const std::string line = mutator.mutate(seeds[mutator.pick(3)]);
        const char* delimiters = delimiter_sets[mutator.pick(4)];
        char message[U_SCAN_MESSAGE_SIZE];
        const char* label = "a label that is longer than forty characters in all";
        char text_message[U_SCAN_TEXT_MESSAGE_BASE + 64];
        char text[12];
        for (int field = 0; field < 6; ++field) {
            const char* start = field == 0 ? line.c_str() : nullptr;
            switch (mutator.pick(3)) {
                case 0: {
                    const int32_t lo = mutator.pick(2) ? std::numeric_limits<int32_t>::min() : -100;
                    const int32_t hi = mutator.pick(2) ? std::numeric_limits<int32_t>::max() : 1000;
                    int32_t value = 0;
                    if (u_scan_int(start, delimiters, label, lo, hi, nullptr, message, &value)) {
                        ASSERT_TRUE(value >= lo && value <= hi);
                    } else {
                        ASSERT_EQ(value, std::numeric_limits<int32_t>::max());
                        ASSERT_LT(std::strlen(message), sizeof message);
                        ASSERT_EQ(message[std::strlen(message) - 1], '\n');
                    }
                    break;
                }
                case 1: {
                    const double lo = mutator.pick(2) ? -std::numeric_limits<double>::infinity() : 0.0;
                    const double hi = mutator.pick(2) ? std::numeric_limits<double>::infinity() : 500.0;
                    double value = 0;
                    if (u_scan_real(start, delimiters, label, lo, hi, nullptr, message, &value)) {
                        // Only a scan without limits may give NaN.
                        const bool unlimited = std::isinf(lo) && std::isinf(hi);
                        ASSERT_TRUE((value >= lo && value <= hi) || (unlimited && std::isnan(value)));
                    } else {
                        ASSERT_EQ(value, std::numeric_limits<double>::infinity());
                        ASSERT_LT(std::strlen(message), sizeof message);
                    }
                    break;
                }
                default:
                    if (u_scan_text(start, delimiters, "word", 11, text_message, text)) {
                        ASSERT_LE(std::strlen(text), 11u);
                    } else {
                        ASSERT_LT(std::strlen(text_message), sizeof text_message);
                    }
                    break;
            }
        }
        if (line.find(':') == std::string::npos) {
            ASSERT_EQ(strxcmp(line.c_str(), line.c_str()), 0);
        }
    }
}

}  // namespace
