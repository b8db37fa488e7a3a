// Feeds the reader thousands of damaged files: every result must be one of
// its error codes or a consistent success, never a crash or an overrun (run
// under the sanitizers to see the latter).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>

#include "ascii_file.h"
#include "datafile/ascii.h"
#include "errors/err_codes.h"
#include "platform/file.h"
#include "support/test_support.h"

namespace {

std::string mutate(std::string text, std::mt19937& random) {
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const size_t at = random() % text.size();
        std::string piece;
        switch (random() % 7) {
        case 0: text[at] = static_cast<char>(random()); break;                 // any byte
        case 1: text.erase(at, 1 + random() % 8); break;                       // lose a piece
        case 2: piece.assign(1 + random() % 600, random() % 2 ? ' ' : '9'); break;  // long runs
        case 3: piece.assign(1, '\0'); break;
        case 4: text.resize(at); break;  // cut short
        case 5: piece.assign(1, '\r'); break;
        default: piece = text.substr(random() % text.size(), 1 + random() % 40); break;
        }
        if (!piece.empty()) {
            std::string edited(text, 0, at);
            edited.append(piece).append(text, at, std::string::npos);
            text.swap(edited);
        }
    }
    return text;
}

TEST(ReaderFuzz, DamagedFilesNeverCrash) {
    // The files live in memory where the system offers it: thousands of
    // rewrites of one file on a disk cost seconds.
    const bool in_memory = plat::is_directory("/dev/shm");
    testing_support::ScopedEnv tmpdir("TMPDIR", in_memory ? "/dev/shm" : std::getenv("TMPDIR"));
    testing_support::TempDir dir;
    testing_support::CaptureMessages messages;
    const std::string path = dir.file("fuzz.asc");
    const std::string crlf = AsciiFile::valid().text();
    const std::string lf = AsciiFile::valid().text("\n");
    std::mt19937 random(12345);
    const int32_t allowed[] = {NO_ERROR,           ERR_PREMATURE_EOF,  ERR_UNKNOWN_ASCII_FORMAT_TYPE,
                               ERR_CORRUPT_DATA_FILE, ERR_CANT_READ_FILE, ERR_NO_MEM};
    int successes = 0;
    for (int i = 0; i < 3000; ++i) {
        testing_support::write_file(path, mutate(i % 2 ? crlf : lf, random));
        datafile_ident ident{};
        datafile_record record{};
        intens_matrix intens{};
        phase_matrix phase{};
        const int32_t result = datafile_read_ascii(path.c_str(), &ident, &record, &intens, &phase);
        ASSERT_NE(std::find(std::begin(allowed), std::end(allowed), result), std::end(allowed)) << result;
        if (result == NO_ERROR) {
            ++successes;
            // Text fields stay terminated within their width.
            ASSERT_LT(std::strlen(record.l5_1), sizeof record.l5_1);
            ASSERT_LT(std::strlen(ident.l2_5), sizeof ident.l2_5);
            ASSERT_TRUE(intens.matrix == nullptr || int64_t{intens.size} == intens_element_count(intens));
        } else {
            ASSERT_EQ(intens.matrix, nullptr);
            ASSERT_EQ(phase.matrix, nullptr);
        }
        intens_matrix_free(&intens);
        phase_matrix_free(&phase);
    }
    EXPECT_GT(successes, 0);  // the mutations leave some files valid
}

}  // namespace
