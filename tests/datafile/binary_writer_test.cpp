#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "datafile/binary.h"
#include "errors/err_codes.h"
#include "support/test_support.h"
#include "util/byteorder.h"

namespace {

using kelm::load_be;
using testing_support::read_file;
using testing_support::TempDir;

class WriteBinary : public ::testing::Test {
protected:
    std::string write(const datafile_record* rec, const intens_matrix* in, const phase_matrix* ph,
                      int32_t expected = NO_ERROR) {
        const std::string path = dir.file("out.dat");
        EXPECT_EQ(datafile_write_binary(path.c_str(), &ident, rec, in, ph), expected);
        return read_file(path);
    }

    TempDir dir;
    datafile_ident ident{};
    datafile_record record{};
};

template <typename T>
T at(const std::string& bytes, size_t offset) {
    return load_be<T>(bytes.data() + offset);
}

TEST_F(WriteBinary, IntensityOnlyFile) {
    std::vector<uint16_t> values(24);
    for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<uint16_t>(0x1234 + i);
    const std::vector<uint16_t> original = values;
    intens_matrix in{24, -1, 2, 4, 3, 2, 5, values.data()};
    const std::string file = write(&record, &in, nullptr);
    ASSERT_EQ(file.size(), 882u);
    EXPECT_EQ(at<uint32_t>(file, 0), DATAFILE_MAGIC_FORMAT1);
    EXPECT_EQ(at<int16_t>(file, 4), 1);
    EXPECT_EQ(at<int32_t>(file, 6), 834);
    EXPECT_EQ(at<int16_t>(file, 48), -1);
    EXPECT_EQ(at<int16_t>(file, 52), 4);
    EXPECT_EQ(at<int16_t>(file, 56), 2);
    EXPECT_EQ(at<int16_t>(file, 58), 5);
    EXPECT_EQ(at<int32_t>(file, 60), 48);
    for (size_t off = 64; off < 76; ++off) EXPECT_EQ(file[off], 0) << off;
    EXPECT_EQ(static_cast<uint8_t>(file[834]), 0x12);
    EXPECT_EQ(static_cast<uint8_t>(file[835]), 0x34);
    EXPECT_EQ(at<uint16_t>(file, 834 + 2 * 23), 0x1234 + 23);
    EXPECT_EQ(values, original);  // the caller's array is not converted in place
}

TEST_F(WriteBinary, HeaderFormatFollowsTheRecord) {
    int32_t value = 0x01020304;
    phase_matrix ph{1, 0, 0, 1, 1, &value};
    record.l11_1 = 2;
    std::string file = write(&record, nullptr, &ph);
    EXPECT_EQ(at<uint32_t>(file, 0), DATAFILE_MAGIC_FORMAT2);
    EXPECT_EQ(at<int16_t>(file, 4), 2);
    EXPECT_EQ(file.size(), 834u + 4);

    // Bytes 834-837 take no part in the choice.
    record.res_834[0] = 1;
    EXPECT_EQ(at<int16_t>(write(&record, nullptr, &ph), 4), 2);

    reinterpret_cast<uint8_t*>(&record)[3000 - DATAFILE_RECORD_OFFSET] = 7;
    file = write(&record, nullptr, &ph);
    EXPECT_EQ(at<uint32_t>(file, 0), DATAFILE_MAGIC_FORMAT3);
    EXPECT_EQ(at<int16_t>(file, 4), 3);
    EXPECT_EQ(at<int32_t>(file, 6), 4096);
    ASSERT_EQ(file.size(), 4096u + 4);
    EXPECT_EQ(file[3000], 7);
    EXPECT_EQ(at<int32_t>(file, 4096), 0x01020304);
    EXPECT_EQ(at<int32_t>(file, 72), 4);

    EXPECT_EQ(at<int16_t>(write(nullptr, nullptr, &ph), 4), 1);
}

TEST_F(WriteBinary, EveryFieldAtItsOffset) {
    ident.l2_1 = 0x0102;
    std::strcpy(ident.l2_5, "ident");
    ident.l2_2 = 0x0304;
    ident.l2_4 = -2;
    record.l8_8 = 0x0A0B0C0D;
    std::strcpy(record.l5_1, "five");
    record.l8_2 = 1.5f;
    record.l10_5 = 105;
    record.l10_4 = 104;
    record.l13_2 = -2.0f;
    record.l10_9 = 109;
    record.l11_5 = 0.25f;
    record.l9_5 = 4464;
    record.l9_5_wide = 70000;
    std::strcpy(record.l9_7, "obj");
    record.l11_7 = 117;
    record.l13_1 = 3.0f;
    record.l10_8 = 8.5f;
    std::strcpy(record.l14_1, "v2");
    record.res_208[0] = 0xEE;
    record.res_430[1] = 0x11223344;
    record.res_816 = 0x5566;
    record.res_1450 = 0x778899AA;
    int32_t value = 0;
    phase_matrix ph{1, 3, 4, 1, 1, &value};
    const std::string file = write(&record, nullptr, &ph);
    EXPECT_EQ(at<int16_t>(file, 10), 0x0102);
    EXPECT_STREQ(file.c_str() + 12, "ident");
    EXPECT_EQ(at<int16_t>(file, 42), 0x0304);
    EXPECT_EQ(at<int16_t>(file, 46), -2);
    EXPECT_EQ(at<int16_t>(file, 64), 3);
    EXPECT_EQ(at<int16_t>(file, 66), 4);
    EXPECT_EQ(at<int32_t>(file, 76), 0x0A0B0C0D);
    EXPECT_STREQ(file.c_str() + 80, "five");
    EXPECT_EQ(at<float>(file, 164), 1.5f);
    EXPECT_EQ(at<int16_t>(file, 194), 105);
    EXPECT_EQ(at<int16_t>(file, 196), 104);
    EXPECT_EQ(at<float>(file, 198), -2.0f);
    EXPECT_EQ(static_cast<uint8_t>(file[208]), 0xEE);  // reserved bytes as they are
    EXPECT_EQ(at<int32_t>(file, 210), 109);
    EXPECT_EQ(at<float>(file, 226), 0.25f);
    EXPECT_EQ(at<int16_t>(file, 242), 4464);
    EXPECT_STREQ(file.c_str() + 246, "obj");
    EXPECT_EQ(at<float>(file, 360), 3.0f);
    EXPECT_EQ(at<int16_t>(file, 364), 117);
    EXPECT_EQ(at<int32_t>(file, 434), 0x11223344);  // reserved numbers big-endian
    EXPECT_EQ(at<float>(file, 498), 8.5f);
    EXPECT_STREQ(file.c_str() + 562, "v2");
    // The wide line-9 value is kept in the machine's order (little-endian).
    int32_t wide = 0;
    std::memcpy(&wide, file.data() + 798, 4);
    EXPECT_EQ(wide, 70000);
    EXPECT_EQ(at<int16_t>(file, 816), 0x5566);
    // Offset 1450 lies in the long header: the file has format 3.
    ASSERT_EQ(file.size(), 4096u + 4);
    EXPECT_EQ(at<int32_t>(file, 1450), static_cast<int32_t>(0x778899AA));
}

TEST_F(WriteBinary, BlocksWithoutArraysAreAbsent) {
    int32_t values[6] = {1, -2, 3, -4, 5, -6};
    intens_matrix in{0, 1, 2, 4, 3, 2, 5, nullptr};
    phase_matrix ph{6, 0, 0, 3, 2, values};
    const std::string file = write(&record, &in, &ph);
    ASSERT_EQ(file.size(), 834u + 24);
    for (size_t off = 48; off < 64; ++off) EXPECT_EQ(file[off], 0) << off;
    EXPECT_EQ(at<int32_t>(file, 834 + 4), -2);
    EXPECT_EQ(values[1], -2);
}

TEST_F(WriteBinary, ManyChunksOfBothBlocks) {
    std::vector<uint16_t> intens(70000);
    for (size_t i = 0; i < intens.size(); ++i) intens[i] = static_cast<uint16_t>(i * 7);
    std::vector<int32_t> phase(100 * 200);
    for (size_t i = 0; i < phase.size(); ++i) phase[i] = static_cast<int32_t>(i * 1000003);
    intens_matrix in{70000, 0, 0, 350, 200, 1, 0, intens.data()};
    phase_matrix ph{20000, 0, 0, 100, 200, phase.data()};
    const std::string file = write(&record, &in, &ph);
    ASSERT_EQ(file.size(), 834u + 140000 + 80000);
    for (size_t i : {size_t{0}, size_t{32767}, size_t{32768}, size_t{65536}, size_t{69999}})
        EXPECT_EQ(at<uint16_t>(file, 834 + 2 * i), static_cast<uint16_t>(i * 7)) << i;
    for (size_t i : {size_t{0}, size_t{16383}, size_t{16384}, size_t{19999}})
        EXPECT_EQ(at<int32_t>(file, 834 + 140000 + 4 * i), static_cast<int32_t>(i * 1000003)) << i;
}

TEST_F(WriteBinary, Failures) {
    // Neither block: the file is created and stays empty.
    intens_matrix in{0, 0, 0, 4, 4, 1, 0, nullptr};
    EXPECT_EQ(write(&record, &in, nullptr, ERR_INVALID_PARAM), "");
    // Dimensions beyond the stated size are refused rather than over-read.
    uint16_t small[4] = {};
    intens_matrix too_big{4, 0, 0, 4, 4, 1, 0, small};
    EXPECT_EQ(write(&record, &too_big, nullptr, ERR_INVALID_PARAM), "");
    EXPECT_EQ(datafile_write_binary(dir.path().c_str(), &ident, &record, &too_big, nullptr), ERR_CANT_CREATE_FILE);
}

TEST_F(WriteBinary, StreamWriterAppends) {
    const std::string path = dir.file("two.dat");
    FILE* f = std::fopen(path.c_str(), "w+b");
    ASSERT_NE(f, nullptr);
    std::fputs("lead", f);
    std::rewind(f);
    int32_t value = 5;
    phase_matrix ph{1, 0, 0, 1, 1, &value};
    EXPECT_EQ(datafile_write_binary_stream(f, nullptr, nullptr, nullptr, &ph), NO_ERROR);
    EXPECT_EQ(datafile_write_binary_stream(f, nullptr, nullptr, nullptr, nullptr), ERR_INVALID_PARAM);
    std::fclose(f);
    const std::string file = read_file(path);
    ASSERT_EQ(file.size(), 4u + 838);
    EXPECT_EQ(file.substr(0, 4), "lead");
    EXPECT_EQ(at<uint32_t>(file, 4), DATAFILE_MAGIC_FORMAT1);
}

}  // namespace
