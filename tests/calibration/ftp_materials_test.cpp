#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "calibration/cal_subrecords_alloc.h"
#include "calibration/ftp_materials.h"
#include "calibration/system_info.h"
#include "companion_fixture.h"
#include "errors/err_codes.h"
#include "support/test_support.h"

namespace {

using companion_test::ConfigDir;
using testing_support::CaptureMessages;
using testing_support::ScopedCwd;
using testing_support::TempDir;
using testing_support::write_file;

constexpr double kInf = std::numeric_limits<double>::infinity();
const std::string kHeading = "## Phasorix FTP Materials File - Format 1\n";
const std::string kGood = "\"Gold\" 0.2 3.5 0.1 0.01 0.02 0.03 0.04\n";

// A materials list that frees itself.
struct Materials {
    FtpMaterials m{};
    ~Materials() {
        if (m.list != nullptr) gl_mem_free(m.list);
    }
};

// Reads `text` as a materials file; the messages after the "Reading" line.
struct Read {
    int32_t result = 0;
    std::string messages;
};

Read read_text(const std::string& text, FtpMaterials& materials) {
    TempDir dir;
    const std::string path = dir.file("mat.txt");
    write_file(path, text);
    CaptureMessages capture;
    Read read;
    read.result = ftp_read_materials_file(path.c_str(), &materials);
    const std::string reading = "Reading FTP materials file \"" + path + "\"\n";
    read.messages = capture.text();
    EXPECT_EQ(read.messages.rfind(reading, 0), 0u) << read.messages;
    read.messages.erase(0, reading.size());
    return read;
}

bool all_zero(const MaterialSpec& spec) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&spec);
    for (size_t i = 0; i < sizeof spec; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

TEST(FtpMaterialsFile, KeepsCommentsAndNumbersMaterialsInFileOrder) {
    Materials mat;
    const std::string text = "# site materials\r\n" + kHeading +
                             "## Name  N  K  PCOR ...\n"
                             "\"Aluminum\"  023.000000  085.000000  00.035766  0 0 0 0  # 606\r\n"
                             "# second comment " + std::string(120, 'c') + "\n"
                             "\n"
                             "'Fused Silica'\t1.45 * -6.2831 ? 0.5 -0.5 6.28\n"
                             "   \"Polished Aluminum 60\" 0 0 0 0 0 0 0\n";
    const Read read = read_text(text, mat.m);
    ASSERT_EQ(read.result, NO_ERROR) << read.messages;
    EXPECT_EQ(read.messages, "");
    ASSERT_EQ(mat.m.listCount, 5);
    EXPECT_EQ(mat.m.listCapacity % kFtpMaterialsGrowBy, 0);
    ASSERT_GT(mat.m.listCapacity, mat.m.listCount);
    EXPECT_TRUE(all_zero(mat.m.list[mat.m.listCount]));

    const MaterialSpec* l = mat.m.list;
    EXPECT_EQ(l[0].index, -1);
    EXPECT_STREQ(l[0].comment.c_str(), "# site materials");
    EXPECT_EQ(l[1].index, 0);
    EXPECT_STREQ(l[1].name.c_str(), "Aluminum");
    EXPECT_EQ(l[1].n, 23.0);
    EXPECT_EQ(l[1].k, 85.0);
    EXPECT_DOUBLE_EQ(l[1].pcor, 0.035766);
    EXPECT_STREQ(l[1].comment.c_str(), "# 606");
    EXPECT_EQ(l[2].index, -1);
    EXPECT_EQ(l[2].comment.view(), ("# second comment " + std::string(120, 'c')).substr(0, 100));
    EXPECT_EQ(l[3].index, 1);
    EXPECT_STREQ(l[3].name.c_str(), "Fused Silica");
    EXPECT_EQ(l[3].k, kInf);
    EXPECT_EQ(l[3].pcor, -6.2831);
    EXPECT_EQ(l[3].disper[0], kInf);
    EXPECT_EQ(l[3].disper[3], 6.28);
    EXPECT_STREQ(l[3].comment.c_str(), "");
    EXPECT_EQ(l[4].index, 2);
    EXPECT_STREQ(l[4].name.c_str(), "Polished Aluminum 60");
}

TEST(FtpMaterialsFile, ListGrowsFiveRecordsAtATime) {
    Materials mat;
    std::string text = kHeading;
    for (int i = 0; i < 10; ++i) text += kGood;
    ASSERT_EQ(read_text(text, mat.m).result, NO_ERROR);
    EXPECT_EQ(mat.m.listCount, 10);
    EXPECT_EQ(mat.m.listCapacity, 15);
    EXPECT_TRUE(all_zero(mat.m.list[10]));
    EXPECT_EQ(mat.m.list[9].index, 9);
}

struct LineCase {
    const char* name;
    std::string line;
    std::string message;
    std::string detail;
};

class FtpMaterialLineErrors : public ::testing::TestWithParam<LineCase> {};

TEST_P(FtpMaterialLineErrors, DropTheLineAndKeepTheOthers) {
    Materials mat;
    const Read read = read_text(kHeading + GetParam().line + "\n" + kGood, mat.m);
    ASSERT_EQ(read.result, NO_ERROR);
    EXPECT_EQ(read.messages, "Error(s) reading FTP materials file:\n\t" + GetParam().message +
                                 "\n\tError in line 2:\n  " + GetParam().line + "\n" +
                                 (GetParam().detail.empty() ? "" : "\t" + GetParam().detail) +
                                 "Accepted 1 of 2 material specs\n");
    ASSERT_EQ(mat.m.listCount, 1);
    EXPECT_STREQ(mat.m.list[0].name.c_str(), "Gold");
    EXPECT_EQ(mat.m.list[0].index, 0);
}

const std::string kNameDetail = "The Name must be quoted text up to 20 characters long\n";
const std::string kNDetail = "\tThe N value must be a number\n\tgreater than or equal to 0 and\n\tless than or equal to 100\n";
const std::string kPcorDetail =
    "\tThe PCOR value must be a number\n\tgreater than or equal to -6.28319 and\n\tless than or equal to 6.28319\n";

INSTANTIATE_TEST_SUITE_P(
    Lines, FtpMaterialLineErrors,
    ::testing::Values(
        LineCase{"NameOfTwentyOneCharacters", "\"Polished Aluminum 606\" 1 2 0 0 0 0 0",
                 "Invalid Name value \"Polished Aluminum 606\" (field 1)", kNameDetail},
        LineCase{"NameWithoutQuotes", "Aluminum 1 2 0 0 0 0 0", "Invalid Name value \"Aluminum\" (field 1)",
                 kNameDetail},
        LineCase{"NameNotClosed", "\"Aluminum 1 2", "Invalid Name value \"\"Aluminum 1 2\" (field 1)", kNameDetail},
        LineCase{"NameRunningIntoAWord", "'Al'x 1 2 0 0 0 0 0", "Invalid Name value \"'Al'x\" (field 1)", kNameDetail},
        LineCase{"KMissing", "\"Al\" 1", "Missing K value (field 3)", ""},
        LineCase{"CommentHidesPcor", "\"Al\" 1 2 # short", "Missing PCOR value (field 4)", ""},
        LineCase{"NAboveRange", "\"Al\" 100.5 2 0 0 0 0 0", "Invalid N value \"100.5\" (field 2)", kNDetail},
        LineCase{"NNotANumber", "\"Al\" 1.5x 2 0 0 0 0 0", "Invalid N value \"1.5x\" (field 2)", kNDetail},
        LineCase{"PcorNaN", "\"Al\" 1 2 nan 0 0 0 0", "Invalid PCOR value \"nan\" (field 4)", kPcorDetail},
        LineCase{"Disper3BelowRange", "\"Al\" 1 2 0 0 0 0 -7",
                 "Invalid Disper[3] value \"-7\" (field 8)",
                 "\tThe Disper[3] value must be a number\n\tgreater than or equal to -6.28319 and\n"
                 "\tless than or equal to 6.28319\n"},
        LineCase{"WordAfterTheLastField", "\"Al\" 1 2 0 0 0 0 0 extra", "Unexpected token \"extra\" (field 9)", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct FatalCase {
    const char* name;
    std::string text;
    std::string messages;
};

class FtpMaterialsFatal : public ::testing::TestWithParam<FatalCase> {};

TEST_P(FtpMaterialsFatal, StopsAndKeepsTheOldList) {
    Materials mat;
    ASSERT_EQ(read_text(kHeading + kGood, mat.m).result, NO_ERROR);
    const MaterialSpec* old = mat.m.list;
    const Read read = read_text(GetParam().text, mat.m);
    EXPECT_EQ(read.result, ERR_FTP_CORRUPT_MATLS_FILE);
    EXPECT_EQ(read.messages, GetParam().messages);
    EXPECT_EQ(mat.m.list, old);
    EXPECT_EQ(mat.m.listCount, 1);
}

std::string lines(int bad, int good) {
    std::string text = kHeading;
    for (int i = 0; i < bad; ++i) text += "\"Al\" 1\n";
    for (int i = 0; i < good; ++i) text += kGood;
    return text;
}

std::string error_reports(int count) {
    std::string text = "Error(s) reading FTP materials file:\n";
    for (int i = 0; i < count; ++i)
        text += "\tMissing K value (field 3)\n\tError in line " + std::to_string(i + 2) + ":\n  \"Al\" 1\n";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, FtpMaterialsFatal,
    ::testing::Values(
        FatalCase{"MissingHeading", "# comment\n" + kGood,
                  "Error(s) reading FTP materials file:\n\tMissing heading\n\tError in line 2\n"},
        FatalCase{"FormatTwo", "## Phasorix FTP Materials File - Format 2\n" + kGood,
                  "Error(s) reading FTP materials file:\n\tFile format 2 is not supported\n\tError in line 1:\n"
                  "  ## Phasorix FTP Materials File - Format 2\n"},
        FatalCase{"HeadingWithoutFormat", "# Phasorix FTP Materials File\n" + kGood,
                  "Error(s) reading FTP materials file:\n\tHeading is missing a file format specification\n"
                  "\tError in line 1:\n  # Phasorix FTP Materials File\n"},
        FatalCase{"HeadingWithAWordForTheFormat", "## Phasorix FTP Materials File - Format one\n" + kGood,
                  "Error(s) reading FTP materials file:\n\tHeading is missing a file format specification\n"
                  "\tError in line 1:\n  ## Phasorix FTP Materials File - Format one\n"},
        FatalCase{"LineOfTwoHundredAndOneCharacters", kHeading + "#" + std::string(200, 'c') + "\n" + kGood,
                  "Error(s) reading FTP materials file:\n\tLine longer than 200 characters\n\tError in line 2\n"},
        FatalCase{"ElevenFaultyLines", lines(11, 1),
                  error_reports(10) + "Too many errors reading FTP materials file\n"},
        FatalCase{"NoMaterialAtAll", kHeading + "# only a comment\n",
                  "No acceptable material specs found\n"
                  "File heading (required):\n\n## Phasorix FTP Materials File - Format 1\n"
                  "Line format description:\n\n"
                  "##\n## Name      = Material name in quotes (up to 20 chars)\n## N         = N [0,100]\n"
                  "## K         = K [0,100]\n## PCOR      = Phase Change On Reflection [-6.28319,6.28319] rad \n"
                  "## Disper[0] = Dispersion for 0.8X mag (75mm FOV) [-6.28319,6.28319] rad \n"
                  "## Disper[1] = Dispersion for 1.0X mag (65mm FOV) [-6.28319,6.28319] rad \n"
                  "## Disper[2] = Dispersion for 1.7X mag (35mm FOV) [-6.28319,6.28319] rad \n"
                  "## Disper[3] = Dispersion for 4.0X mag (15mm FOV) [-6.28319,6.28319] rad \n"
                  "## Comment   = Optional comment beginning with '#' (up to 100 chars)\n##\n"
                  "Sample line:\n\n\"Aluminum\"              023.000000  085.000000  00.035766  00.000000  "
                  "00.000000  00.000000  00.000000  # 606\n\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FtpMaterialsFile, TenFaultyLinesAreStillAccepted) {
    Materials mat;
    const Read read = read_text(lines(10, 1), mat.m);
    EXPECT_EQ(read.result, NO_ERROR);
    EXPECT_EQ(read.messages, error_reports(10) + "Accepted 1 of 11 material specs\n");
}

TEST(FtpMaterialsFile, LineOfTwoHundredCharactersIsRead) {
    Materials mat;
    const std::string line = kGood.substr(0, kGood.size() - 1) + " #" + std::string(200, 'c');
    const std::string exact = line.substr(0, 200);
    ASSERT_EQ(read_text(kHeading + exact + "\n", mat.m).result, NO_ERROR);
    EXPECT_EQ(mat.m.list[0].comment.view().size(), 100u);
}

TEST(FtpMaterialsFile, MissingFileAndBadArguments) {
    TempDir dir;
    const std::string path = dir.file("none.txt");
    Materials mat;
    CaptureMessages capture;
    EXPECT_EQ(ftp_read_materials_file(path.c_str(), &mat.m), ERR_CANT_OPEN_FILE);
    EXPECT_EQ(capture.text(), "Cannot open FTP materials file \"" + path + "\"\n");
    EXPECT_EQ(ftp_read_materials_file("", &mat.m), ERR_INVALID_PARAM);
    EXPECT_EQ(ftp_read_materials_file(nullptr, &mat.m), ERR_INVALID_PARAM);
    EXPECT_EQ(ftp_read_materials_file(path.c_str(), nullptr), ERR_INVALID_PARAM);
}

// A slot with an FTP record and magnifications; frees both.
struct FtpSlot : ::testing::Test {
    SystemInfo si{};
    FtpInfo* ftp = nullptr;
    FtpSlot() { ftp = sb_need_ftp_info(si); }
    ~FtpSlot() override { sb_discard_ftp_info(si); }
    void mags(std::vector<double> values) {
        si.magCount = static_cast<int32_t>(values.size());
        for (size_t i = 0; i < values.size(); ++i) si.nomMag[i] = values[i];
    }
    std::vector<int32_t> map() const { return {ftp->magIndex, ftp->magIndex + kCalMaxMags}; }
};

std::vector<int32_t> expected_map(std::vector<int32_t> head) {
    head.resize(kCalMaxMags, -1);
    return head;
}

TEST_F(FtpSlot, MagnificationsMapToTheAllowedOnes) {
    ASSERT_NE(ftp, nullptr);
    mags({1.0, 1.7, 0.8005, 4.0});
    ftp->magIndex[10] = 3;
    EXPECT_EQ(ftp_check_magnifications(&si, ftp), NO_ERROR);
    EXPECT_EQ(map(), expected_map({1, 2, 0, 3}));
}

TEST_F(FtpSlot, UnknownMagnificationStopsTheMapping) {
    CaptureMessages capture;
    mags({1.0, 2.0, 1.7});
    EXPECT_EQ(ftp_check_magnifications(&si, ftp), ERR_FTP_INVALID_MAGNIFICATION);
    EXPECT_EQ(capture.text(), "Magnification 2.0 is not allowed on an FTP system\n");
    EXPECT_EQ(map(), expected_map({1}));
    mags({1.0011});
    EXPECT_EQ(ftp_check_magnifications(&si, ftp), ERR_FTP_INVALID_MAGNIFICATION);
    mags({std::nan("")});
    EXPECT_EQ(ftp_check_magnifications(&si, ftp), ERR_FTP_INVALID_MAGNIFICATION);
}

TEST_F(FtpSlot, CheckWithoutSlotOrRecord) {
    EXPECT_EQ(ftp_check_magnifications(nullptr, ftp), ERR_SYS_INFO_NOT_AVAIL);
    EXPECT_EQ(ftp_check_magnifications(&si, nullptr), ERR_FTP_NO_FTP_INFO);
    EXPECT_EQ(ftp_load_materials(nullptr), ERR_SYS_INFO_NOT_AVAIL);
    SystemInfo bare{};
    EXPECT_EQ(ftp_load_materials(&bare), ERR_FTP_NO_FTP_INFO);
}

TEST_F(FtpSlot, EmptyNameIsRefused) {
    CaptureMessages capture;
    ftp->materialsFile.clear();
    EXPECT_EQ(ftp_load_materials(&si), ERR_INVALID_PARAM);
    EXPECT_EQ(capture.text(), "FTP materials file name is NULL\n");
}

TEST_F(FtpSlot, NameFromTheRootIsReadAsGivenWithWindowsSeparators) {
    TempDir dir;
    write_file(dir.file("m.txt"), kHeading + kGood);
    std::string windows = dir.file("m.txt");
    for (char& c : windows)
        if (c == '/') c = '\\';
    ASSERT_LE(windows.size(), ftp->materialsFile.capacity());
    ftp->materialsFile.set(windows);
    mags({1.0});
    CaptureMessages capture;
    ASSERT_EQ(ftp_load_materials(&si), NO_ERROR) << capture.text();
    EXPECT_EQ(ftp->materials.listCount, 1);
    EXPECT_EQ(ftp->materialsFile.view(), windows);
    EXPECT_EQ(map(), expected_map({1}));
}

TEST_F(FtpSlot, BareNameIsFoundInTheCurrentThenTheConfigurationDirectory) {
    ConfigDir config;
    TempDir work;
    ScopedCwd cwd(work.path());
    config.write("FtpMaterials.txt", kHeading + kGood + kGood);
    CaptureMessages capture;
    ASSERT_EQ(ftp_load_materials(&si), NO_ERROR) << capture.text();
    EXPECT_EQ(ftp->materials.listCount, 2);
    EXPECT_EQ(ftp->materialsFile.view(), config.file("FtpMaterials.txt"));

    write_file(work.file("local.txt"), kHeading + kGood);
    config.write("local.txt", kHeading + kGood + kGood + kGood);
    ftp->materialsFile.set("local.txt");
    ASSERT_EQ(ftp_load_materials(&si), NO_ERROR) << capture.text();
    EXPECT_EQ(ftp->materials.listCount, 1);
}

TEST_F(FtpSlot, NameThatIsNowhereCannotBeRead) {
    ConfigDir config;
    TempDir work;
    ScopedCwd cwd(work.path());
    ftp->materialsFile.set("nothere.txt");
    CaptureMessages capture;
    EXPECT_EQ(ftp_load_materials(&si), ERR_FTP_CANT_READ_MATLS_FILE);
    EXPECT_EQ(capture.text(), "Cannot access FTP materials file \"nothere.txt\"\nERR_CANT_READ_FILE\n");
}

TEST_F(FtpSlot, FaultyFileLeavesNoMaterials) {
    TempDir dir;
    write_file(dir.file("good.txt"), kHeading + kGood);
    write_file(dir.file("bad.txt"), kGood);
    ftp->materialsFile.set(dir.file("good.txt"));
    CaptureMessages capture;
    ASSERT_EQ(ftp_load_materials(&si), NO_ERROR);
    ftp->materialsFile.set(dir.file("bad.txt"));
    capture.clear();
    EXPECT_EQ(ftp_load_materials(&si), ERR_FTP_CANT_READ_MATLS_FILE);
    const std::string tail = "Error reading FTP materials file \"" + dir.file("bad.txt") +
                             "\"\nERR_FTP_CORRUPT_MATLS_FILE\n";
    ASSERT_GE(capture.text().size(), tail.size());
    EXPECT_EQ(capture.text().substr(capture.text().size() - tail.size()), tail);
    EXPECT_EQ(ftp->materials.list, nullptr);
    EXPECT_EQ(ftp->materials.listCount, 0);
}

TEST_F(FtpSlot, MaterialsStayWhenAMagnificationIsNotAllowed) {
    TempDir dir;
    write_file(dir.file("m.txt"), kHeading + kGood);
    ftp->materialsFile.set(dir.file("m.txt"));
    mags({0.8, 5.0});
    CaptureMessages capture;
    EXPECT_EQ(ftp_load_materials(&si), ERR_FTP_INVALID_MAGNIFICATION);
    EXPECT_EQ(ftp->materials.listCount, 1);
    EXPECT_EQ(map(), expected_map({0}));
}

}  // namespace

namespace {

// The example file shipped in examples/cal reads as documented.
TEST(FtpMaterialsExample, ShippedExampleReads) {
    const std::string source = __FILE__;
    const std::string path = source.substr(0, source.rfind("/tests/")) + "/examples/cal/FtpMaterials.txt";
    Materials mat;
    CaptureMessages capture;
    ASSERT_EQ(ftp_read_materials_file(path.c_str(), &mat.m), NO_ERROR) << capture.text();
    EXPECT_EQ(capture.text(), "Reading FTP materials file \"" + path + "\"\n");
    ASSERT_EQ(mat.m.listCount, 6);
    EXPECT_EQ(mat.m.list[3].index, -1);
    EXPECT_STREQ(mat.m.list[4].name.c_str(), "Stainless Steel");
    EXPECT_EQ(mat.m.list[4].disper[2], kInf);
    EXPECT_EQ(mat.m.list[5].index, 4);
}

}  // namespace
