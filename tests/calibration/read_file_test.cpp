// sb_readCal as a whole: its three modes, the default file, the header and
// cap of its messages, the ordering rules, the completeness checks, the
// derived light-level ranges and the accessory corrections.
#include <string>

#include "cal_read_support.h"
#include "calibration/cal_read_error.h"
#include "errors/err_codes.h"
#include "platform/file.h"
#include "util/dirs.h"

namespace {

using testing_support::ScopedEnv;
using testing_support::write_file;

class CalReadFile : public CalSlotTest {};

constexpr const char* kBoard1 =
    "Mintaka 08 07 12345\nVersion Pulsar 2 Wezen\nInstrComm COM1\nCamera Type XC77CE\nLight HeNe 0.6328\nPifoc 100\n";

TEST_F(CalReadFile, ExamplesReadWithoutError) {
    ASSERT_EQ(sb_readCal(kSlot, cal_example("serial_pmi.cal").c_str()), NO_ERROR) << messages();
    EXPECT_EQ(si.systemType, 5);
    EXPECT_EQ(si.buildCode, 807);
    EXPECT_EQ(si.instrBdType, 1);
    EXPECT_EQ(si.magCount, 3);
    EXPECT_EQ(si.calFilePath.view(), cal_example("serial_pmi.cal"));
    EXPECT_NE(messages().find("Reading system calibration file: \"" + cal_example("serial_pmi.cal") + "\"\n"),
              std::string::npos);
    ASSERT_EQ(sb_readCal(kSlot, cal_example("can_zoom.cal").c_str()), NO_ERROR) << messages();
    EXPECT_EQ(si.instrBdType, 8);
    EXPECT_EQ(si.zoom, 2);
    EXPECT_EQ(si.ringSpot, 1);
    EXPECT_EQ(si.llcRange[1], 65535);  // derived: the file gave no range
}

TEST_F(CalReadFile, CommentsAndCrLfReadAsPlainLines) {
    ASSERT_EQ(read_text_file("# a comment\r\n\r\n  # indented comment\r\nUnit 3 # trailing\r\n" + std::string(kBoard1)),
              NO_ERROR)
        << messages();
    EXPECT_EQ(si.unit, 3);
}

TEST_F(CalReadFile, UnrecognisedKeywordStopsTheRead) {
    const int32_t rc = read_text_file(std::string(kBoard1) + "FooBar 3\nUnit 4\n");
    EXPECT_EQ(rc, ERR_SB_CALFILE_SYNTAX);
    EXPECT_EQ(messages(), "Reading system calibration file: \"" + dir.file("t.cal") +
                              "\"\nError(s) reading system calibration file \"" + dir.file("t.cal") +
                              "\":\nUnrecognized token \"FooBar\"\n");
    EXPECT_EQ(si.unit, 0);
}

TEST_F(CalReadFile, VocabularyWordWithoutALineIsUnexpected) {
    const int32_t rc = read_text_file("af_gain 3\nUnit 4\n" + std::string(kBoard1));
    EXPECT_EQ(rc, ERR_SB_CALFILE_INVALID);
    EXPECT_NE(messages().find("Unexpected token.\nError in line 1.\n"), std::string::npos);
    EXPECT_EQ(si.unit, 4);  // the read goes on
}

TEST_F(CalReadFile, RangeFailureOnLineThreeKeepsTheOtherLines) {
    const int32_t rc = read_text_file("Unit 1\nZoom 1\nTurret 999\n" + std::string(kBoard1));
    EXPECT_EQ(rc, ERR_SB_CALFILE_INVALID);
    EXPECT_NE(messages().find("999 out of range [0,255]\nError in line 3.\n"), std::string::npos);
    EXPECT_EQ(si.zoom, 1);
    EXPECT_EQ(si.pifocInfo->id, 100);
}

TEST_F(CalReadFile, TenMessagesEndTheRead) {
    std::string text;
    for (int i = 0; i < 6; ++i) text += "Unit 9\n";
    text += "Zoom 3\n";
    EXPECT_EQ(read_text_file(text), ERR_SB_CALFILE_VALUE_RANGE);  // the tenth message came from line 5
    EXPECT_EQ(cal_msg_count, 10);
    EXPECT_NE(messages().find("Error in line 5."), std::string::npos);
    EXPECT_EQ(messages().find("Error in line 6."), std::string::npos);
    EXPECT_EQ(si.zoom, 0);
}

TEST_F(CalReadFile, EndOfFileInsideAValueGivesEofWithoutMessage) {
    EXPECT_EQ(read_text_file(std::string(kBoard1) + "MotionCtrl a"), ERR_EOF);
    EXPECT_EQ(messages().find("Error"), std::string::npos);
    EXPECT_EQ(read_text_file(std::string(kBoard1) + "Zoom"), ERR_EOF);
}

TEST_F(CalReadFile, LastLineWithoutLineEndIsRead) {
    EXPECT_EQ(read_text_file(std::string(kBoard1) + "Zoom 4"), NO_ERROR);
    EXPECT_EQ(si.zoom, 4);
}

TEST_F(CalReadFile, OrderingRuleSkipsTheLineAndFailsTheRead) {
    const int32_t rc = read_text_file("Camera Trans 0 1 1\nNomMag 1\n" + std::string(kBoard1));
    EXPECT_EQ(rc, ERR_SB_CALFILE_INVALID);
    EXPECT_NE(messages().find("A NomMag or SysMag specification must appear\nbefore a Camera Trans specification.\n"),
              std::string::npos);
    EXPECT_EQ(messages().find("Error in line"), std::string::npos);
    EXPECT_EQ(si.cameraTrans[0].dx, 0);
    EXPECT_EQ(si.magCount, 1);
}

TEST_F(CalReadFile, OrderingRulesOfTheFtpLines) {
    for (const char* line : {"FTPDisper 0 1 2", "FTPDmiCenter 0 1 2", "FTPTiltCenter 0 1 2"}) {
        capture.clear();
        EXPECT_EQ(read_text_file(std::string(line) + "\n" + kBoard1), ERR_SB_CALFILE_INVALID);
        EXPECT_NE(messages().find("must appear\nbefore an FTP"), std::string::npos) << line;
    }
}

TEST_F(CalReadFile, CustomCameraActsByTheBoardOfAnEarlierVersion) {
    ASSERT_EQ(read_text_file("Mintaka 08 07 12345\nVersion Pulsar 2 Vega\nInstrComm COM1\nCamera Type CUSTOM 1\n"
                             "Light HeNe\nPifoc 100\nLLC Target 100\n"),
              NO_ERROR)
        << messages();
    EXPECT_EQ(si.customCamera[0], 1);
    EXPECT_EQ(si.customCamera[1], 5);
    EXPECT_EQ(si.customCamera[9], 1);
    EXPECT_NE(messages().find("Setting fieldCtrl to 1\n"), std::string::npos);
    capture.clear();
    EXPECT_EQ(read_text_file("Camera Type CUSTOM\n" + std::string(kBoard1)), ERR_SB_CALFILE_INVALID);
    EXPECT_NE(messages().find("Unexpected token.\nError in line 1.\n"), std::string::npos);
}

TEST_F(CalReadFile, LightDefaultsByBoard) {
    ASSERT_EQ(read_text_file(std::string(kBoard1) + "Light White 0.55\n"), NO_ERROR);
    EXPECT_DOUBLE_EQ(si.wavelength[0], 0.55e-6);
    EXPECT_DOUBLE_EQ(si.wavelength[3], 632.8e-9);
    ASSERT_EQ(read_text_file(std::string(kBoard1) + "Light Diode [0.67,0.02] 0.78\n"), NO_ERROR);
    EXPECT_DOUBLE_EQ(si.wavelength[0], 670e-9);
    EXPECT_DOUBLE_EQ(si.bandwidth[0], 20e-9);
    EXPECT_DOUBLE_EQ(si.wavelength[1], 780e-9);
    EXPECT_EQ(si.bandwidth[1], 0.0);
    ASSERT_EQ(read_text_file("Fomalhaut 1 1 100\nVersion None 0 Antares\nLight Led 0.5\nPifoc 1\n"), NO_ERROR)
        << messages();
    EXPECT_DOUBLE_EQ(si.wavelength[0], 0.5e-6);
    EXPECT_EQ(si.wavelength[1], 0.0);
}

struct CheckCase {
    const char* file;
    const char* message;
    int32_t rc;
};

// Each completeness check in turn, each file complete but for one thing.
const CheckCase kChecks[] = {
    {"Version Pulsar 2 None\n", "Missing system type info.\n", ERR_SB_CALFILE_INCOMPLETE},
    {"Menkar 1 1 100\n", "Missing frame grabber and instrument board Version info.\n", ERR_SB_CALFILE_INCOMPLETE},
    {"Menkar 1 1 100\nVersion None 0 Vega\nLLC Target 100\n", "Missing InstrComm info.\n",
     ERR_SB_CALFILE_INCOMPLETE},
    {"Antares 1 1 100\nVersion None 0 None\n", "Missing InvertData info.\n", ERR_SB_CALFILE_INCOMPLETE},
    {"Menkar 1 1 100\nVersion None 0 CAN\n", "Missing MAC Address for CAN bus.\n", ERR_SB_CALFILE_INCOMPLETE},
    {"Rigel 1 1 100\nVersion None 0 None\n", "Calibration file missing wave monitor comm info\n",
     ERR_SB_CALFILE_INCOMPLETE},
    {"Rigel 1 1 100\nVersion None 0 None\nwmComm COM1\n", "Calibration file missing wave monitor OPD info\n",
     ERR_SB_CALFILE_INCOMPLETE},
    {"Menkar 1 1 100\nVersion None 0 None\nCamera BPixels [1,1]\nCamera Bpix 1 f.txt\n",
     "Bad Camera pixels specified twice using: camera bad or bpixels and camera bpix\n", ERR_SB_CALFILE_INVALID},
    {"VegaCan 1 1 100\nVersion None 0 None\n", "Missing LLCTarget info.\n", ERR_SB_CALFILE_INCOMPLETE},
    {"Menkar 1 1 100\nVersion Pulsar 0 None\n", "Missing Camera Type info.\n", ERR_SB_CALFILE_INCOMPLETE},
    {"Menkar 1 1 100\nVersion None 0 Antares\n", "Missing Light info.\n", ERR_SB_CALFILE_INCOMPLETE},
    {"Mintaka 1 1 100\nVersion None 0 None\n", "Missing PIFOC info.\n", ERR_SB_CALFILE_INCOMPLETE},
    // Notices: the read goes on.
    {"FTP 1 1 100\nVersion None 0 None\nInvertData 0\nPifoc 1\n", "Missing MotionCtrl info.\n", NO_ERROR},
    {"Lyra 1 1 100\nVersion None 0 None\n", "Calibration file missing system gain.\n", NO_ERROR},
    // Either bad-pixel form alone is accepted; InstrComm alone satisfies the CAN check.
    {"Menkar 1 1 100\nVersion None 0 None\nCamera Bpix 1 f.txt\n", "", NO_ERROR},
    {"Menkar 1 1 100\nVersion None 0 CAN\nInstrComm x\n", "", NO_ERROR},
};

TEST_F(CalReadFile, CompletenessChecks) {
    for (const CheckCase& c : kChecks) {
        SCOPED_TRACE(c.file);
        capture.clear();
        EXPECT_EQ(read_text_file(c.file), c.rc) << messages();
        EXPECT_NE(messages().find(c.message), std::string::npos) << messages();
    }
}

struct RangeCase {
    const char* file;
    uint16_t range[2];
    uint16_t range2[2];
};

const RangeCase kRanges[] = {
    {"Menkar 1 1 100\nVersion None 0 Vega\nInstrComm c\nLLC Target 99\n", {10, 159}, {0, 0}},
    {"Menkar 1 1 100\nVersion None 0 Vega\nInstrComm c\nLLC Target 99\nLLC Range 5 6\n", {5, 6}, {0, 0}},
    {"Fomalhaut 1 1 100\nVersion None 0 Antares\nLight HeNe 1\nCamera Type dgfly1024\nLLC Range 5 6\n", {2, 800}, {0, 0}},
    {"Fomalhaut 1 1 100\nVersion None 0 NotNeeded\n", {2, 532}, {0, 0}},
    {"Menkar 1 1 100\nVersion None 0 NotNeeded\nLLC Range 5 6\n", {10, 159}, {0, 0}},
    {"Menkar 1 1 100\nVersion None 0 Antares\nLight HeNe 1\n", {0, 4095}, {0, 0}},
    {"Menkar 1 1 100\nVersion None 0 FTP\nInstrComm c\n", {0, 3685}, {0, 0}},
    {"Menkar 1 1 100\nVersion None 0 Wezen\nInstrComm c\nLight HeNe 1\nLLC Range 1 2\n", {1, 2}, {0, 100}},
    {"Menkar 1 1 100\nVersion None 0 CAN\nInstrComm c\n", {0, 65535}, {0, 65535}},
    {"Menkar 1 1 100\nVersion None 0 CAN\nInstrComm c\nLLC Range 1 2 3 4\n", {1, 2}, {3, 4}},
};

TEST_F(CalReadFile, DerivedLightLevelRanges) {
    for (const RangeCase& c : kRanges) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(read_text_file(c.file), NO_ERROR) << messages();
        EXPECT_EQ(si.llcRange[0], c.range[0]);
        EXPECT_EQ(si.llcRange[1], c.range[1]);
        EXPECT_EQ(si.llcRange2[0], c.range2[0]);
        EXPECT_EQ(si.llcRange2[1], c.range2[1]);
    }
}

TEST_F(CalReadFile, AccessoryCorrections) {
    ASSERT_EQ(read_text_file(std::string(kBoard1) + "Zoom 2\n"), NO_ERROR);
    EXPECT_NE(messages().find("This instrument cannot have a motorized zoom.\n"), std::string::npos);
    EXPECT_EQ(si.zoom, 0);
    capture.clear();
    ASSERT_EQ(read_text_file("Castor 1 1 100\nVersion None 0 CAN\nInstrComm c\nPifoc 1\nIgnoreDualBrushMotor\n"
                             "Turret 2\nZoom 2\n"),
              NO_ERROR);
    EXPECT_NE(messages().find("motorized turret, no dual brush motor board.\n"), std::string::npos);
    EXPECT_NE(messages().find("motorized zoom, no dual brush motor board.\n"), std::string::npos);
    EXPECT_EQ(si.turret, 0);
    EXPECT_EQ(si.turret2, 1);
    EXPECT_EQ(si.zoom, 0);
}

TEST_F(CalReadFile, TextMode) {
    ASSERT_EQ(read_text_file(std::string(kBoard1) + "Camera BPixels [1,1] [2,2]\n"), NO_ERROR);
    capture.clear();
    EXPECT_EQ(sb_readCal(kSlot, "+Zoom 1"), NO_ERROR);
    EXPECT_EQ(si.zoom, 1);
    EXPECT_EQ(si.systemType, 5);
    EXPECT_EQ(sb_readCal(kSlot, "+Zoom"), ERR_EOF);
    EXPECT_EQ(sb_readCal(kSlot, "+Camera BPixels [3,3]"), NO_ERROR);
    EXPECT_EQ(si.badPixels[2].x, 3);
    EXPECT_EQ(sb_readCal(kSlot, "+Zoom 999"), ERR_SB_CALFILE_VALUE_RANGE);
    EXPECT_EQ(messages(), "Error(s) reading system calibration info\n\"+Zoom 999\":\n999 out of range [0,255]\n");
    EXPECT_EQ(sb_readCal(kSlot, "+Nonsense"), ERR_SB_CALFILE_SYNTAX);
    EXPECT_EQ(sb_readCal(kSlot, "+DEFAULTS"), NO_ERROR);
    EXPECT_EQ(si.systemType, 0);
    EXPECT_EQ(si.badPixels[0].x, -1);
}

TEST_F(CalReadFile, SlotOutOfRange) {
    EXPECT_EQ(sb_readCal(4, "+Zoom 1"), ERR_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(sb_readCal(-1, nullptr), ERR_PARAM_OUT_OF_RANGE);
    EXPECT_EQ(messages(), "");
}

TEST_F(CalReadFile, MissingFileLeavesTheSlot) {
    si.zoom = 7;
    EXPECT_EQ(sb_readCal(kSlot, dir.file("absent.cal").c_str()), ERR_CANT_READ_FILE);
    EXPECT_NE(messages().find("Cannot access file.\n"), std::string::npos);
    EXPECT_EQ(si.zoom, 7);
}

TEST_F(CalReadFile, DefaultFileFromTheConfigurationDirectory) {
    ScopedEnv config("TQ_CONFIG_DIR", dir.path().c_str());
    kelm::reset_dirs_for_test();
    si.calFileDigit = 3;
    const std::string name = u_host_file_name(3);
    write_file(dir.file(name), std::string(kBoard1) + "Unit 6\n");
    EXPECT_EQ(sb_readCal(kSlot, nullptr), NO_ERROR) << messages();
    EXPECT_EQ(si.unit, 6);
    EXPECT_EQ(si.calFilePath.view(), dir.file(name));
    kelm::reset_dirs_for_test();
}

TEST_F(CalReadFile, LongPathIsUsedWhole) {
    std::string folder = dir.path();
    for (int i = 0; i < 5; ++i) {
        folder += "/" + std::string(60, static_cast<char>('a' + i));
        ASSERT_EQ(plat::make_dir(folder.c_str()), 0);
    }
    const std::string path = folder + "/instrument.cal";
    ASSERT_GT(path.size(), 260u);
    write_file(path, std::string(kBoard1) + "Unit 2\n");
    ASSERT_EQ(sb_readCal(kSlot, path.c_str()), NO_ERROR) << messages();
    EXPECT_EQ(si.calFilePath.view(), path);
    EXPECT_EQ(si.unit, 2);
}

}  // namespace
