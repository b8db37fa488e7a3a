#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calibration/bad_pixel_file.h"
#include "calibration/system_info.h"
#include "companion_fixture.h"
#include "errors/err_codes.h"
#include "platform/file.h"
#include "support/test_support.h"

namespace {

using companion_test::ConfigDir;
using companion_test::FailingAllocation;
using testing_support::CaptureMessages;
using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::write_file;

struct Pixel {
    int32_t x, y;
    bool operator==(const Pixel&) const = default;
};

struct Section {
    int32_t mode, under;
    int16_t sizeX, sizeY;
    float rate;
    std::vector<Pixel> pixels;
    bool operator==(const Section&) const = default;
};

std::vector<Pixel> pixels_of(const BadPixelList& list) {
    std::vector<Pixel> out;
    for (uint32_t i = 0; i < list.count; ++i) {
        EXPECT_EQ(list.data[i].value, 0);
        out.push_back({list.data[i].x, list.data[i].y});
    }
    return out;
}

std::vector<Section> sections_of(const BadPixelSection* sections, int32_t count) {
    std::vector<Section> out;
    for (int32_t i = 0; i < count; ++i) {
        const BadPixelSection& s = sections[i];
        out.push_back({s.grabMode, s.grabUnder, s.sizeX, s.sizeY, s.grabRate, pixels_of(s.pixels)});
    }
    return out;
}

// Loads a file written from `text`; keeps what came out.
struct Load {
    int32_t result = 0;
    std::vector<Section> sections;
    std::string message;
    std::string path;
};

Load load_text(const std::string& text) {
    TempDir dir;
    Load load;
    load.path = dir.file("bpix.dat");
    write_file(load.path, text);
    BadPixelTable table{};
    table.sections = new BadPixelSection[kBadPixelMaxSections]{};
    char message[8192];
    load.result = bad_pixel_file_load(load.path.c_str(), table.sections, kBadPixelMaxSections, &table.count, message,
                                      sizeof message);
    load.message = message;
    load.sections = sections_of(table.sections, table.count);
    for (int32_t i = 0; i < table.count; ++i) BadPixelList_free(&table.sections[i].pixels);
    delete[] table.sections;
    return load;
}

struct AcceptCase {
    const char* name;
    std::string text;
    std::vector<Section> sections;
};

class BadPixelFileAccepts : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(BadPixelFileAccepts, ReadsEverySection) {
    const Load load = load_text(GetParam().text);
    ASSERT_EQ(load.result, NO_ERROR) << load.message;
    EXPECT_EQ(load.message, "");
    EXPECT_EQ(load.sections, GetParam().sections);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, BadPixelFileAccepts,
    ::testing::Values(
        AcceptCase{"TwoSectionsOfThreeAndNone",
                   "[mode0] 0 1 640 480 30\n5 2\n1 9\n5 2\n[mode1] 1 2 320 240 60.5\n",
                   {{0, 1, 640, 480, 30.0f, {{5, 2}, {1, 9}, {5, 2}}}, {1, 2, 320, 240, 60.5f, {}}}},
        AcceptCase{"CommentsBlankLinesCrLfAndExtraWords",
                   "# camera of unit 7\r\n\r\n   \t\r\n[ 2 1 100 50 0 extra words ]\r\n"
                   "  # not a pixel\r\n99 49 ignored\r\n0\t0\r\n",
                   {{2, 1, 100, 50, 0.0f, {{99, 49}, {0, 0}}}}},
        AcceptCase{"HeaderAtTheEndOfTheFile", "[last] 10 10 32767 32767 500", {{10, 10, 32767, 32767, 500.0f, {}}}},
        AcceptCase{"LastPixelWithoutLineEnd", "[a] 0 1 4 4 1\n3 3", {{0, 1, 4, 4, 1.0f, {{3, 3}}}}},
        AcceptCase{"CommentOfExactlyTheLongestLine", "#" + std::string(99, 'c') + "\n[a] 0 1 2 2 1\n",
                   {{0, 1, 2, 2, 1.0f, {}}}},
        AcceptCase{"EmptyFile", "", {}}, AcceptCase{"CommentsOnly", "# nothing yet\n\n", {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefuseCase {
    const char* name;
    std::string text;
    int32_t result;
    std::string details;  // after the "Error reading bad pixel file" line
};

class BadPixelFileRefuses : public ::testing::TestWithParam<RefuseCase> {};

TEST_P(BadPixelFileRefuses, ExplainsTheLineAndKeepsNothing) {
    const Load load = load_text(GetParam().text);
    EXPECT_EQ(load.result, GetParam().result);
    EXPECT_TRUE(load.sections.empty());
    EXPECT_EQ(load.message, "Error reading bad pixel file \"" + load.path + "\"\r\n" + GetParam().details);
}

std::string many_pixels(int count) {
    std::string text = "[a] 0 1 100 100 25\n";
    for (int i = 0; i < count; ++i) text += std::to_string(i % 100) + " " + std::to_string(i / 100 % 100) + "\n";
    return text;
}

std::string many_sections(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "[s] 0 1 8 8 25\n1 1\n";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BadPixelFileRefuses,
    ::testing::Values(
        RefuseCase{"PixelBeforeAnyHeader", "# first\n3 4\n", ERR_CB_FILE_INVALID,
                   "Missing camera information.\r\nError in line 2:\r\n  3 4\n"},
        RefuseCase{"CoordXEqualToSizeX", "[a] 0 1 640 480 30\n1 1\n640 1\n", ERR_CB_FILE_INVALID,
                   "Number out of range.\nExpected 'coord x' an integer value in the range [0,639]\n"
                   "Error in line 3:\r\n  640 1\n"},
        RefuseCase{"CoordYMissing", "[a] 0 1 640 480 30\n12\r\n", ERR_CB_FILE_INVALID,
                   "Missing number.\nExpected 'coord y' an integer value in the range [0,479]\n"
                   "Error in line 2:\r\n  12\n"},
        RefuseCase{"CoordWithExtraCharacters", "[a] 0 1 640 480 30\n12x 3\n", ERR_CB_FILE_INVALID,
                   "Extra characters after number.\nExpected 'coord x' an integer value in the range [0,639]\n"
                   "Error in line 2:\r\n  12x 3\n"},
        RefuseCase{"GrabModeAboveTen", "[a] 11 1 640 480 30\n", ERR_CB_FILE_INVALID,
                   "Number out of range.\nExpected 'grab mode' an integer value in the range [0,10]\n"
                   "Error in line 1:\r\n  [a] 11 1 640 480 30\n"},
        RefuseCase{"GrabUnderNotANumber", "[a] 1 x 640 480 30\n", ERR_CB_FILE_INVALID,
                   "Not a number.\nExpected 'grab under' an integer value in the range [0,10]\n"
                   "Error in line 1:\r\n  [a] 1 x 640 480 30\n"},
        RefuseCase{"SizeYTooLarge", "[a] 1 1 640 32768 30\n", ERR_CB_FILE_INVALID,
                   "Number out of range.\nExpected 'size y' an integer value in the range [0,32767]\n"
                   "Error in line 1:\r\n  [a] 1 1 640 32768 30\n"},
        RefuseCase{"SizeXMissing", "[a] 1 1\n", ERR_CB_FILE_INVALID,
                   "Missing number.\nExpected 'size x' an integer value in the range [0,32767]\n"
                   "Error in line 1:\r\n  [a] 1 1\n"},
        RefuseCase{"GrabRateMissing", "[a] 0 1 640 480\n", ERR_CB_FILE_INVALID,
                   "Missing number.\nExpected 'grab rate' a floating point value in the range [0,500]\n"
                   "Error in line 1:\r\n  [a] 0 1 640 480\n"},
        RefuseCase{"GrabRateNaN", "[a] 0 1 640 480 nan\n", ERR_CB_FILE_INVALID,
                   "Number out of range.\nExpected 'grab rate' a floating point value in the range [0,500]\n"
                   "Error in line 1:\r\n  [a] 0 1 640 480 nan\n"},
        RefuseCase{"LineOfOneHundredAndOneCharacters", "[a] 0 1 640 480 30\n#" + std::string(100, 'c') + "\n",
                   ERR_CB_FILE_INVALID, "Line longer than 100 characters\r\nError in line 2\r\n"},
        RefuseCase{"FaultInTheSecondSection", "[a] 0 1 8 8 30\n1 1\n\n[b] 0 1 4 4 30\n4 0\n", ERR_CB_FILE_INVALID,
                   "Number out of range.\nExpected 'coord x' an integer value in the range [0,3]\n"
                   "Error in line 5:\r\n  4 0\n"},
        RefuseCase{"MorePixelsThanASectionHolds", many_pixels(kBadPixelMaxPixels + 1), ERR_CB_FILE_INVALID,
                   "Too many pixels: a section holds at most 8192.\r\nError in line 8194:\r\n  92 81\n"},
        RefuseCase{"MoreSectionsThanTheTableHolds", many_sections(kBadPixelMaxSections + 1), ERR_CB_FILE_INVALID,
                   "Too many sections: a bad pixel file holds at most 100.\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BadPixelFileLimits, FullSectionsAndAFullTableAreAccepted) {
    const Load pixels = load_text(many_pixels(kBadPixelMaxPixels));
    ASSERT_EQ(pixels.result, NO_ERROR) << pixels.message;
    ASSERT_EQ(pixels.sections.size(), 1u);
    EXPECT_EQ(pixels.sections[0].pixels.size(), static_cast<size_t>(kBadPixelMaxPixels));
    const Load sections = load_text(many_sections(kBadPixelMaxSections) + "# trailing comment\n");
    ASSERT_EQ(sections.result, NO_ERROR) << sections.message;
    EXPECT_EQ(sections.sections.size(), static_cast<size_t>(kBadPixelMaxSections));
}

TEST(BadPixelFileLoad, MissingFileCannotBeOpened) {
    TempDir dir;
    const std::string path = dir.file("none.dat");
    BadPixelSection sections[2]{};
    int32_t count = 7;
    char message[512];
    EXPECT_EQ(bad_pixel_file_load(path.c_str(), sections, 2, &count, message, sizeof message), ERR_CANT_OPEN_FILE);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(std::string(message), "Cannot open camera bad file \"" + path + "\"\r\n");
}

TEST(BadPixelFileLoad, MessageIsCutToTheBuffer) {
    TempDir dir;
    const std::string path = dir.file("none.dat");
    BadPixelSection sections[1]{};
    int32_t count = 0;
    char message[8] = "xxxxxxx";
    EXPECT_EQ(bad_pixel_file_load(path.c_str(), sections, 1, &count, message, 5), ERR_CANT_OPEN_FILE);
    EXPECT_STREQ(message, "Cann");
    EXPECT_EQ(message[5], 'x');
}

struct NormaliseCase {
    const char* name;
    std::vector<Pixel> in;
    std::vector<Pixel> out;
};

class BadPixelNormalise : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(BadPixelNormalise, SortsByXThenYWithoutRepeats) {
    BadPixelList list{};
    list.count = static_cast<uint32_t>(GetParam().in.size());
    if (list.count > 0) {
        ASSERT_EQ(BadPixelList_alloc(&list), NO_ERROR);
        for (uint32_t i = 0; i < list.count; ++i) list.data[i] = {GetParam().in[i].x, GetParam().in[i].y, 0};
    }
    bad_pixel_list_normalise(&list);
    EXPECT_EQ(pixels_of(list), GetParam().out);
    EXPECT_LE(list.count, list.size);
    BadPixelList_free(&list);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, BadPixelNormalise,
    ::testing::Values(NormaliseCase{"Example", {{5, 2}, {1, 9}, {5, 2}, {1, 3}}, {{1, 3}, {1, 9}, {5, 2}}},
                      NormaliseCase{"AllTheSame", {{4, 4}, {4, 4}, {4, 4}}, {{4, 4}}},
                      NormaliseCase{"YOrdersWithinX", {{2, 9}, {2, 1}, {1, 5}, {2, 5}}, {{1, 5}, {2, 1}, {2, 5}, {2, 9}}},
                      NormaliseCase{"Single", {{0, 0}}, {{0, 0}}}, NormaliseCase{"Empty", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A slot whose configuration directory is a fresh folder; frees its table.
struct GenSlot : ::testing::Test {
    ConfigDir config;
    SystemInfo si{};
    CaptureMessages messages;

    GenSlot() {
        for (PixelXY& p : si.badPixels) p = {-1, -1};
        si.serialNumber = 1234;
        si.acq.grabMode = 3;
        si.acq.grabUnder = 2;
        si.acq.grabWidth = 1280;
        si.acq.grabHeight = 1024;
        si.acq.grabRate = 29.97;
    }
    ~GenSlot() override { bad_pixel_table_release(si.badPixelTable); }

    std::vector<Section> table() const { return sections_of(si.badPixelTable.sections, si.badPixelTable.count); }
};

TEST_F(GenSlot, LoadsTheDefaultFileAndNormalisesEverySection) {
    config.write("bpix_1234.dat", "[a] 0 1 640 480 30\n5 2\n1 9\n5 2\n1 3\n[b] 1 2 320 240 60\n");
    si.badPixelFileFlag = 1;
    ASSERT_EQ(gen_cam_ped_filename(&si), NO_ERROR) << messages.text();
    EXPECT_EQ(table(), (std::vector<Section>{{0, 1, 640, 480, 30.0f, {{1, 3}, {1, 9}, {5, 2}}},
                                             {1, 2, 320, 240, 60.0f, {}}}));
    EXPECT_EQ(messages.text(), "");
}

TEST_F(GenSlot, LoadsTheNamedFileWithWindowsSeparators) {
    ASSERT_EQ(plat::make_dir((config.path() + "/cam").c_str()), 0);
    config.write("cam/unit.dat", "[a] 0 1 8 8 30\n7 7\n");
    si.badPixelFileFlag = 1;
    si.badPixelFile.set("cam\\unit.dat");
    ASSERT_EQ(gen_cam_ped_filename(&si), NO_ERROR) << messages.text();
    EXPECT_EQ(table(), (std::vector<Section>{{0, 1, 8, 8, 30.0f, {{7, 7}}}}));
}

TEST_F(GenSlot, MissingFileLeavesNoTable) {
    config.write("bpix_1234.dat", "[a] 0 1 8 8 30\n1 1\n");
    si.badPixelFileFlag = 1;
    ASSERT_EQ(gen_cam_ped_filename(&si), NO_ERROR);
    si.serialNumber = 99;
    EXPECT_EQ(gen_cam_ped_filename(&si), ERR_CANT_OPEN_FILE);
    EXPECT_EQ(messages.text(), "Cannot open camera bad file \"" + config.file("bpix_99.dat") + "\"\r\n");
    EXPECT_EQ(si.badPixelTable.count, 0);
    EXPECT_EQ(si.badPixelTable.sections, nullptr);
}

TEST_F(GenSlot, FaultyFilePrintsTheLoadersReport) {
    config.write("bpix_1234.dat", "[a] 0 1 8 8 30\n1 1\n9 1\n");
    si.badPixelFileFlag = 1;
    EXPECT_EQ(gen_cam_ped_filename(&si), ERR_CB_FILE_INVALID);
    EXPECT_EQ(messages.text(), "Error reading bad pixel file \"" + config.file("bpix_1234.dat") +
                                   "\"\r\nNumber out of range.\nExpected 'coord x' an integer value in the range "
                                   "[0,7]\nError in line 3:\r\n  9 1\n");
    EXPECT_EQ(si.badPixelTable.count, 0);
}

TEST_F(GenSlot, WithoutConfigurationDirectoryThereIsNoTable) {
    ScopedEnv config_env("TQ_CONFIG_DIR", nullptr);
    ScopedEnv install_env("TQ_INSTALL_DIR", "");
    kelm::reset_dirs_for_test();
    si.badPixelFileFlag = 1;
    EXPECT_EQ(gen_cam_ped_filename(&si), ERR_INVALID_PARAM);
    EXPECT_EQ(messages.text(), "gen_cam_ped_filename: invalid config directory.\n");
    EXPECT_EQ(si.badPixelTable.count, 0);
}

TEST_F(GenSlot, ListBuildsOneSectionOfTheGrabModeAndSetsTheFileFlag) {
    si.badPixels[0] = {40, 7};
    si.badPixels[1] = {3, 300};
    si.badPixels[2] = {40, 7};
    ASSERT_EQ(gen_cam_ped_filename(&si), NO_ERROR);
    EXPECT_EQ(table(), (std::vector<Section>{{3, 2, 640, 512, 29.97f, {{3, 300}, {40, 7}}}}));
    EXPECT_EQ(si.badPixelFileFlag, 1);
    // The flag now sends the next call to the file named after the serial number.
    EXPECT_EQ(gen_cam_ped_filename(&si), ERR_CANT_OPEN_FILE);
}

TEST_F(GenSlot, ListBeforeAcquisitionStartsCountsNoUnderSampling) {
    si.acq.grabUnder = 0;
    si.badPixels[0] = {1, 2};
    ASSERT_EQ(gen_cam_ped_filename(&si), NO_ERROR);
    EXPECT_EQ(table(), (std::vector<Section>{{3, 1, 1280, 1024, 29.97f, {{1, 2}}}}));
}

TEST_F(GenSlot, FullListOfFortyPairs) {
    for (int i = 0; i < kCalBadPixels; ++i) si.badPixels[i] = {static_cast<int16_t>(kCalBadPixels - i), 1};
    ASSERT_EQ(gen_cam_ped_filename(&si), NO_ERROR);
    ASSERT_EQ(si.badPixelTable.count, 1);
    const std::vector<Pixel> pixels = pixels_of(si.badPixelTable.sections[0].pixels);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(kCalBadPixels));
    EXPECT_EQ(pixels.front(), (Pixel{1, 1}));
    EXPECT_EQ(pixels.back(), (Pixel{kCalBadPixels, 1}));
}

TEST_F(GenSlot, NoListAndNoFileReleasesThePreviousTable) {
    si.badPixels[0] = {1, 2};
    ASSERT_EQ(gen_cam_ped_filename(&si), NO_ERROR);
    si.badPixelFileFlag = 0;
    si.badPixels[0] = {-1, -1};
    EXPECT_EQ(gen_cam_ped_filename(&si), NO_ERROR);
    EXPECT_EQ(si.badPixelTable.count, 0);
    EXPECT_EQ(si.badPixelTable.sections, nullptr);
}

TEST_F(GenSlot, OutOfMemoryLeavesNoTable) {
    si.badPixels[0] = {1, 2};
    ASSERT_EQ(gen_cam_ped_filename(&si), NO_ERROR);
    {
        FailingAllocation failing;
        EXPECT_EQ(gen_cam_ped_filename(&si), ERR_NO_MEM);
    }
    EXPECT_EQ(si.badPixelTable.count, 0);
    EXPECT_EQ(si.badPixelTable.sections, nullptr);
}

TEST(GenCamPedFilename, NoSlot) { EXPECT_EQ(gen_cam_ped_filename(nullptr), ERR_SYS_INFO_NOT_AVAIL); }

}  // namespace

namespace {

// The example file shipped in examples/cal reads as documented.
TEST(BadPixelFileExample, ShippedExampleReads) {
    const std::string source = __FILE__;
    const std::string path = source.substr(0, source.rfind("/tests/")) + "/examples/cal/bpix_1234.dat";
    BadPixelSection sections[kBadPixelMaxSections]{};
    int32_t count = 0;
    char message[1024];
    ASSERT_EQ(bad_pixel_file_load(path.c_str(), sections, kBadPixelMaxSections, &count, message, sizeof message),
              NO_ERROR)
        << message;
    ASSERT_EQ(count, 2);
    bad_pixel_list_normalise(&sections[0].pixels);
    EXPECT_EQ(pixels_of(sections[0].pixels), (std::vector<Pixel>{{0, 0}, {17, 402}, {640, 511}, {902, 33},
                                                                   {1279, 1023}}));
    EXPECT_EQ(sections[1].sizeX, 640);
    EXPECT_EQ(sections[1].pixels.count, 3u);
    for (int32_t i = 0; i < count; ++i) BadPixelList_free(&sections[i].pixels);
}

}  // namespace
