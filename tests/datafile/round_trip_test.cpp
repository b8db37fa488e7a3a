#include <gtest/gtest.h>

#include <cstring>

#include "datafile/ascii.h"
#include "datafile/binary.h"
#include "errors/err_codes.h"
#include "sample_set.h"
#include "support/test_support.h"
#include "util/byteorder.h"

namespace {

using testing_support::read_file;
using testing_support::TempDir;

struct Shape {
    SampleShape sample;
    int format;
};

// Shapes from one value to files larger than the reader's buffer, with
// either block missing, in both formats.
const Shape kShapes[] = {
    {{1, 1, 1, true, true, 1}, 2},    {{3, 7, 5, true, true, 2}, 1},     {{2, 9, 4, false, true, 3}, 2},
    {{4, 6, 6, true, false, 4}, 1},   {{4, 256, 200, true, true, 5}, 2}, {{1, 333, 111, true, true, 6}, 1},
};

TEST(RoundTrip, WrittenAsciiReadsBackAndConverts) {
    TempDir dir;
    for (const Shape& shape : kShapes) {
        const SampleSet set(shape.sample);
        const std::string ascii = dir.file("set.asc");
        ASSERT_EQ(write_sample_ascii(ascii.c_str(), shape.format, set), NO_ERROR);

        datafile_ident ident{};
        datafile_record record{};
        intens_matrix intens{};
        phase_matrix phase{};
        ASSERT_EQ(datafile_read_ascii(ascii.c_str(), &ident, &record, &intens, &phase), NO_ERROR);
        SCOPED_TRACE(testing::Message() << shape.sample.width << "x" << shape.sample.height << " format "
                                        << shape.format);
        EXPECT_EQ(intens.size, set.intens.size);
        EXPECT_EQ(phase.size, set.phase.size);
        if (set.intens.size != 0) {
            EXPECT_EQ(std::memcmp(intens.matrix, set.intens.matrix, set.intens.size * 2), 0);
        }
        if (set.phase.size != 0) {
            EXPECT_EQ(std::memcmp(phase.matrix, set.phase.matrix, set.phase.size * 4), 0);
        }
        EXPECT_STREQ(ident.l2_5, set.ident.l2_5);
        EXPECT_STREQ(+record.l5_1, +set.record.l5_1);
        EXPECT_EQ(+record.l10_10, +set.record.l10_10);
        EXPECT_EQ(+record.l11_3, +set.record.l11_3);
        EXPECT_FLOAT_EQ(+record.l8_2, +set.record.l8_2);
        EXPECT_FLOAT_EQ(+record.l13_2, +set.record.l13_2);
        EXPECT_STREQ(+record.l14_1, shape.format == 2 ? +set.record.l14_1 : "");

        // Writing it again gives the same text (format 2 files only).
        if (shape.format == 2) {
            const std::string again = dir.file("again.asc");
            ASSERT_EQ(datafile_write_ascii(again.c_str(), &ident, &record, set.intens.matrix ? &intens : nullptr,
                                           set.phase.matrix ? &phase : nullptr),
                      NO_ERROR);
            EXPECT_EQ(read_file(again), read_file(ascii));
        }

        const std::string binary = dir.file("set.dat");
        ASSERT_EQ(datafile_write_binary(binary.c_str(), &ident, &record, &intens, &phase), NO_ERROR);
        const std::string bytes = read_file(binary);
        ASSERT_EQ(bytes.size(), 834u + set.intens.size * 2 + set.phase.size * 4);
        for (uint32_t i = 0; i < set.intens.size; i += 97)
            EXPECT_EQ(kelm::load_be<uint16_t>(bytes.data() + 834 + 2 * i), set.intens.matrix[i]);
        const size_t phase_at = 834 + set.intens.size * 2;
        for (uint32_t i = 0; i < set.phase.size; i += 89)
            EXPECT_EQ(kelm::load_be<int32_t>(bytes.data() + phase_at + 4 * i), set.phase.matrix[i]);
        intens_matrix_free(&intens);
        phase_matrix_free(&phase);
    }
}

TEST(RoundTrip, LimitsOfTheTextForm) {
    TempDir dir;
    datafile_ident ident{};
    datafile_record record{};
    std::memset(record.l5_1, 'x', 81);  // 81 characters, no blanks
    record.l8_2 = 1.2345678f;           // six significant digits survive
    record.l9_5 = static_cast<int16_t>(100000 & 0xFFFF);
    record.l9_5_wide = 100000;
    std::strcpy(record.l6_1, "  padded  ");
    int32_t value = 1;
    phase_matrix phase{1, 0, 0, 1, 1, &value};
    const std::string path = dir.file("limits.asc");
    ASSERT_EQ(datafile_write_ascii(path.c_str(), &ident, &record, nullptr, &phase), NO_ERROR);
    datafile_record back{};
    phase_matrix read_phase{};
    ASSERT_EQ(datafile_read_ascii(path.c_str(), &ident, &back, nullptr, &read_phase), NO_ERROR);
    EXPECT_EQ(std::string(+back.l5_1), std::string(81, 'x'));
    EXPECT_FLOAT_EQ(+back.l8_2, 1.23457f);
    EXPECT_EQ(+back.l9_5, -31072);
    EXPECT_EQ(+back.l9_5_wide, 100000);
    EXPECT_STREQ(+back.l6_1, "padded");
    phase_matrix_free(&read_phase);
}

}  // namespace
