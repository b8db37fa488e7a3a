#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/file.h"
#include "support/test_support.h"

namespace {

using testing_support::read_file;
using testing_support::TempDir;
using testing_support::write_file;

std::string read_text(const std::string& path, size_t buffer = 0) {
    FILE* f = plat::open_file(path.c_str(), "r");
    EXPECT_NE(f, nullptr);
    if (buffer != 0) setvbuf(f, nullptr, _IOFBF, buffer);
    std::string out;
    for (int c; (c = std::fgetc(f)) != EOF;) out.push_back(static_cast<char>(c));
    std::fclose(f);
    return out;
}

TEST(TextStream, WritesCrLf) {
    TempDir dir;
    FILE* f = plat::open_file(dir.file("t.txt").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fprintf(f, "a\nbb\n\nlast");
    ASSERT_EQ(std::fclose(f), 0);
    EXPECT_EQ(read_file(dir.file("t.txt")), "a\r\nbb\r\n\r\nlast");
}

TEST(TextStream, DropsOnlyTheCrBeforeLf) {
    TempDir dir;
    write_file(dir.file("t.txt"), "a\r\nb\rc\r\r\nd\n\r");
    EXPECT_EQ(read_text(dir.file("t.txt")), "a\nb\rc\r\nd\n\r");
}

TEST(TextStream, CrLfSplitAcrossReadsStillJoins) {
    TempDir dir;
    // Tiny stream buffers make every CR LF pair straddle two reads.
    std::string raw;
    std::string expected;
    for (int i = 0; i < 200; ++i) {
        raw += "xy\r\n\r";
        expected += "xy\n\r";
    }
    write_file(dir.file("t.txt"), raw);
    for (size_t buffer : {1u, 2u, 3u, 5u, 4096u}) EXPECT_EQ(read_text(dir.file("t.txt"), buffer), expected) << buffer;
}

TEST(TextStream, BinaryModeIsNeverTranslated) {
    TempDir dir;
    FILE* f = plat::open_file(dir.file("b.bin").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("a\nb\r\n", f);
    std::fclose(f);
    EXPECT_EQ(read_file(dir.file("b.bin")), "a\nb\r\n");
}

TEST(TextStream, AppendAndSizeOfTextStream) {
    TempDir dir;
    write_file(dir.file("log"), "1234\r\n");
    FILE* f = plat::open_file(dir.file("log").c_str(), "a+");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(plat::stream_size(f), 6u);
    char line[16];
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
    EXPECT_STREQ(line, "1234\n");
    std::fputs("5\n", f);
    std::fclose(f);
    EXPECT_EQ(read_file(dir.file("log")), "1234\r\n5\r\n");
}

}  // namespace
