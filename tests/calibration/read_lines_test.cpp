// Each setting line read from a small calibration file: accepted
// values land in their fields, each failure prints its text and the line's
// number, optional values, aliases and values continued on the next line.
#include <cctype>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "cal_read_support.h"
#include "errors/err_codes.h"

namespace {

using Check = std::function<void(const SystemInfo&)>;

struct LineCase {
    const char* name;
    const char* lines;     // placed from line 3 of a complete board-1 file
    const char* message;   // printed failure text; null for an accepted line
    int error_line = 3;    // the line "Error in line %d." names
    Check check = nullptr;
};

// A complete file of a board-1 instrument around the lines under test.
std::string complete_file(const char* lines) {
    return std::string("Mintaka 08 07 12345\nVersion Pulsar 2 Wezen\n") + lines +
           "\nInstrComm COM1\nCamera Type XC77CE\nLight HeNe 0.6328\nPifoc 100\n";
}

constexpr double kNm = 1e-9;
bool near(double a, double b) { return std::fabs(a - b) <= 1e-12 * std::fmax(1.0, std::fabs(b)); }

const LineCase kCases[] = {
    // Identity and hardware.
    {"quoted name keeps blanks", "InstrName \"My bench 7\"", nullptr, 0,
     [](const SystemInfo& s) { EXPECT_EQ(s.instrName.view(), "My bench 7"); }},
    {"unquoted name keeps one word", "InstrName My bench", nullptr, 0,
     [](const SystemInfo& s) { EXPECT_EQ(s.instrName.view(), "My"); }},
    {"unit", "Unit 7", nullptr, 0, [](const SystemInfo& s) { EXPECT_EQ(s.unit, 7); }},
    {"unit out of range", "Unit 8", "8 out of range [0,7]"},
    {"unit beyond 32 bits", "Unit 99999999999", "99999999999 out of range [0,7]"},
    {"unit missing is read from the next line", "Unit\n5", nullptr, 0,
     [](const SystemInfo& s) { EXPECT_EQ(s.unit, 5); }},
    {"system line with R", "Antares 1 2 100 R\nInvertData 1", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.systemType, 14);
         EXPECT_EQ(s.buildCode, 102);
         EXPECT_EQ(s.rFlag, 1);
     }},
    {"system alias", "ankaa 1 2 100\nInvertData 1", nullptr, 0, [](const SystemInfo& s) { EXPECT_EQ(s.systemType, 14); }},
    {"system line with lower-case r", "Mintaka 1 2 100 r", "Unrecognized string."},
    {"system line with a number after serial", "Mintaka 1 2 100 7", "Expected non-numeric string."},
    {"system build code b out of range", "Mintaka 1 53 100", "53 out of range [1,52]"},
    {"version keeps n modulo 256", "Version Matrox 300 Vega\nLLC Target 100", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.frameGrabberType, 2);
         EXPECT_EQ(s.grabberVersion, 44);
         EXPECT_EQ(s.instrBdType, 3);
     }},
    {"version with a wrong board word", "Version Matrox 1 xc77", "Unexpected token."},
    {"version ends early", "Version Matrox 1", "Unexpected end-of-line."},
    {"mac address", "MacAddress 00 1a 2B 3c 4d FF", nullptr, 0,
     [](const SystemInfo& s) {
         ASSERT_NE(s.canInfo, nullptr);
         EXPECT_EQ(s.canInfo->macAddress[1], 0x1A);
         EXPECT_EQ(s.canInfo->macAddress[5], 0xFF);
     }},
    {"mac address with a non-hex word", "MacAddress 00 1a zz 3c 4d 5e", "Expected number."},
    {"mac address byte too large", "MacAddress 00 1a 100 3c 4d 5e", "256 out of range [0,255]"},

    // Camera.
    {"camera word in capitals", "CAMERA TYPE XC77", nullptr, 0,
     [](const SystemInfo& s) { EXPECT_EQ(s.cameraType, 1); }},
    {"camera type missing", "Camera Type", "Unexpected token."},
    {"camera second keyword missing", "Camera", "Unexpected end-of-line."},
    {"camera wrong second keyword", "Camera Zoom 3", "Unexpected token."},
    {"custom camera on board 1", "Camera Type CUSTOM 1", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.cameraType, 1);  // the later Camera Type line wins
         EXPECT_EQ(s.customCamera[0], 1);
         EXPECT_EQ(s.customCamera[9], 1);
     }},
    {"custom camera value not a number", "Camera Type CUSTOM x", ""},
    {"camera files with NULL", "Camera File a.dcf NULL c.dcf", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.cameraFiles[0].view(), "a.dcf");
         EXPECT_TRUE(s.cameraFiles[1].empty());
         EXPECT_EQ(s.cameraFiles[2].view(), "c.dcf");
     }},
    {"camera file starting with a digit", "Camera File a.dcf 2.dcf", "Expected non-numeric string."},
    {"seven camera files", "Camera File a b c d e f g", "Too many camera file names."},
    {"camera config form A", "Camera Config 1 0 3 0 1 0 1 0", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.customCamera[2], 1);
         EXPECT_EQ(s.customCamera[4], 3);
         EXPECT_EQ(s.customCamera[7], 1);  // the seventh value goes to [7]
         EXPECT_EQ(s.customCamera[8], 0);
     }},
    {"camera configuration alias", "Camera Configuration 0 1 0 0 0 1 0 1", nullptr, 0,
     [](const SystemInfo& s) { EXPECT_EQ(s.customCamera[8], 1); }},
    {"camera config value out of range", "Camera Config 1 0 4 0 1 0 1 0", "4 out of range [0,3]"},
    {"camera dark", "Camera Dark 32767", nullptr, 0, [](const SystemInfo& s) { EXPECT_EQ(s.cameraDark, 32767); }},
    {"camera align", "Camera Align TopLeft", nullptr, 0, [](const SystemInfo& s) { EXPECT_EQ(s.cameraAlign, 2); }},
    {"bad pixels accumulate across lines and aliases", "Camera BPixels [1,2] [ 3 , 4 ]\nCamera Bad [5,6]", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.badPixels[1].x, 3);
         EXPECT_EQ(s.badPixels[2].y, 6);
         EXPECT_EQ(s.badPixels[3].x, -1);
     }},
    {"bad pixel malformed", "Camera BPixels [1;2]", "Syntax error."},
    {"bad pixel out of range", "Camera BPixels [701,2]", "701 out of range [0,700]"},
    {"bad pixel file", "Camera Bpix 1 pix.txt", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.badPixelFileFlag, 1);
         EXPECT_EQ(s.badPixelFile.view(), "pix.txt");
     }},
    {"bad pixel file starting with a digit", "Camera Bpix 1 9pix.txt", "Expected non-numeric string."},
    {"camera options, pll, period", "Camera Options 268435455\nCamera Pll 0\nCamera Period anything at all", nullptr,
     0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.cameraOptions, 268435455);
         EXPECT_EQ(s.cameraPll, 0);
     }},
    {"camera split", "Camera SplitY 2047 10", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.cameraSplitType, 2);
         EXPECT_EQ(s.cameraSplitLoc, 2047);
         EXPECT_EQ(s.cameraSplitArg, 10);
     }},
    {"camera trans after NomMag", "NomMag 1 2\nCamera Trans 1 -2047 5", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.cameraTrans[1].dx, -2047);
         EXPECT_EQ(s.cameraTrans[1].dy, 5);
     }},
    {"camera trans index out of range", "NomMag 1\nCamera Trans 15 0 0", "15 out of range [0,14]", 4},
    {"adc clock and ramp config", "ADC Clock 511\nRamp Config my.cfg", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.adcClock, 511);
         EXPECT_EQ(s.rampConfigFile.view(), "my.cfg");
     }},

    // Light and light-level controller.
    {"white light with one value", "Light White 0.55", nullptr, 0,
     [](const SystemInfo& s) {
         // The file's later "Light HeNe" line resets the defaults again.
         EXPECT_EQ(s.lightType, 1);
         EXPECT_TRUE(near(s.wavelength[0], 632.8 * kNm));
     }},
    {"light without a value", "Light White", "At least one wavelength value required."},
    {"light with a word value", "Light White x", "Syntax error."},
    {"light with a malformed pair", "Light Diode [0.67;0.02]", "Syntax error."},
    {"light wavelength out of range", "Light Diode 16", "16 out of range [0.1,15]"},
    {"llc instr dd100mc", "LLC Instr DD100MC COM2", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.llcInstr, 1);
         EXPECT_EQ(s.llcInstrComm.view(), "COM2");
     }},
    {"llc instr antares", "LLC Instr antares", nullptr, 0, [](const SystemInfo& s) { EXPECT_EQ(s.llcInstr, 3); }},
    {"llc instr wrong word fails quietly", "LLC Instr vega", ""},
    {"llc range two pairs", "LLC Range 1 2000 3 90", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.llcRange[1], 2000);
         EXPECT_EQ(s.llcRange2[0], 3);
         EXPECT_EQ(s.llcRange2[1], 90);
     }},
    {"llc range second pair not a number", "LLC Range 1 2000 x", "Expected number."},
    {"llc range second pair too high", "LLC Range 1 2000 0 4097", "4097 out of range [0,4096]"},
    {"llc config sets bit 0", "LLC Config 2 4", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.llcChannel[0].config, 3);
         EXPECT_EQ(s.llcChannel[1].config, 5);
     }},
    {"llc freq, target, options, align", "LLC Freq 1000000\nLLC Target 64\nLLC Options 9\nLLC AlignModePct 42.5",
     nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.llcChannel[1].freq, 1000000);
         EXPECT_EQ(s.llcTarget, 64);
         EXPECT_EQ(s.llcOptions, 9);
         EXPECT_EQ(s.llcChannel[0].alignModePct, 42.5f);
         EXPECT_EQ(s.llcChannel[1].alignModePct, 42.5f);
     }},
    {"llc target too low", "LLC Target 63", "63 out of range [64,255]"},
    {"llc current limits, both channels", "LLC AvgCurLimit 1 2 3 4\nLLC FwdVoltage 10000 5", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.llcChannel[1].avgCurLimit[1], 4);
         EXPECT_EQ(s.llcChannel[0].fwdVoltage[0], 10000);
     }},
    {"llc current limit third not a number", "LLC AvgCurLimit 1 2 x", "Expected number."},

    // Magnification, scanning and piezo.
    {"nommag then sysmag", "NomMag 1 2 3\nSysMag 1.5 2.5 3.5", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.magCount, 3);
         EXPECT_EQ(s.sysMag[2], 3.5);
         EXPECT_EQ(s.sysMag[3], 0.0);
     }},
    {"mag counts mismatched", "NomMag 1 2 3\nSysMag 1 2",
     "The number of NomMag values and\nthe number of SysMag values are mismatched.", 4},
    {"sixteen mags", "NomMag 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16", "Too many NomMag or SysMag values."},
    {"mag list starting with a word", "NomMag x", "Expected number."},
    {"scan cal", "ScanCal 0.85 1.15", nullptr, 0, [](const SystemInfo& s) { EXPECT_EQ(s.scanCal[1], 1.15); }},
    {"scan cal second not a number", "ScanCal 1 x", "Expected number."},
    {"sdc cal partial", "SdcCal 3 -1e30 2", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.sdcCal[3].c1, -1e30f);
         EXPECT_EQ(s.sdcCal[3].c2, 2.0f);
         EXPECT_EQ(s.sdcCal[3].c3, std::numeric_limits<float>::max());
     }},
    {"pifoc with scale and beta", "Pifoc 12 1.5 0", nullptr, 0,
     [](const SystemInfo& s) {
         // The file's later "Pifoc 100" resets scale and beta.
         EXPECT_EQ(s.pifocInfo->id, 100);
         EXPECT_EQ(s.pifocInfo->scale, 0.928655);
     }},
    {"pifoc beta below its floor", "Pifoc 1 1.0 0.003", "Beta = 0.003 is non-zero and is not in range [0.005,0.1]"},
    {"pifoc scale not a number", "Pifoc 1 x", "Expected number."},
    {"pifoc polarity, type, pzt power", "PifocPolarity -1\nPifocType 2\nPztPwr 1000", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.pifocPolarity, -1);
         EXPECT_EQ(s.pifocInfo->type, 2);
         EXPECT_EQ(s.pztPwr, 1000);
     }},

    // Accessories, axes and motion.
    {"turret both values", "Turret 3 4", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.turret, 3);
         EXPECT_EQ(s.turret2, 4);
     }},
    {"turret second not a number fails quietly", "Turret 3 x", ""},
    {"zoom ignores trailing words", "Zoom 3 and more", nullptr, 0, [](const SystemInfo& s) { EXPECT_EQ(s.zoom, 3); }},
    {"zoom out of range", "Zoom 300", "300 out of range [0,255]"},
    {"ignore flags", "IgnoreDualBrushMotor\nIgnoreFocusNDW\nIgnoreLAPS\nIgnorePZT\nIgnoreWand\nIgnoreZoom", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.dualBrushMotor + s.focusNdw + s.laps + s.pzt + s.wand + s.zoomUsed, 0);
     }},
    {"ring spot does nothing on board 1", "RingSpot", nullptr, 0, [](const SystemInfo& s) { EXPECT_EQ(s.ringSpot, 0); }},
    {"backlash is kept in single precision", "XAxisBacklash 0.1\nZAxisBacklash 100", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.xAxisBacklash, static_cast<double>(0.1f));
         EXPECT_EQ(s.zAxisBacklash, 100.0);
     }},
    {"backlash NaN refused", "XAxisBacklash nan", "nan out of range [0,1000]"},
    {"z axis flags", "ZAxisCal 1.15\nZEncoder 1\nZCanClosedLoop 1", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.zAxisCal, 1.15f);
         EXPECT_EQ(s.zEncoder, 1);
         EXPECT_EQ(s.zExternalClosedLoop, 1);
     }},
    {"motion controller words", "MotionCtrl m.cfg serial", nullptr, 0,
     [](const SystemInfo& s) { EXPECT_EQ(s.motionCtrl[1].view(), "serial"); }},
    {"motion controller word missing", "MotionCtrl m.cfg", ""},
    {"position instrument with two words", "PosInstr lcdmi a 9600", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.posInstrType, 4);
         EXPECT_EQ(s.posInstrArg[1].view(), "9600");
     }},
    {"temperature sensor", "TempSensor euro2216e COM7", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.tempSensorType, 1);
         EXPECT_EQ(s.tempSensorArg.view(), "COM7");
     }},
    {"temperature sensor wrong word fails quietly", "TempSensor corvel COM7", ""},
    {"pendent menu and axis compensation", "PendentMenu p.txt\nAxisComp_T t.txt", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.pendentMenu.view(), "p.txt");
         EXPECT_EQ(s.axisComp[4].view(), "t.txt");
     }},
    {"pid values slow half", "PidVals_Y slow 1 -2 3 4 1 6 0.5 -0.5 2 -2", nullptr, 0,
     [](const SystemInfo& s) {
         ASSERT_NE(s.pidVals[6], nullptr);
         EXPECT_EQ(s.pidVals[6]->slow.derGain, -2);
         EXPECT_EQ(s.pidVals[6]->slow.d2, -2.0f);
         EXPECT_EQ(s.pidVals[6]->fast.propGain, 700);
     }},
    {"pid values both halves, continued", "PidVals_A 1 2 3 4 0\n6 0 0 0 0", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.pidVals[0]->fast.accelFfGain, 6);
         EXPECT_EQ(s.pidVals[0]->slow.accelFfGain, 6);
     }},
    {"pid values with another word", "PidVals_A center 1 2 3 4 0 6 0 0 0 0", "Unrecognized string."},
    {"encoded zoom lines", "VegaEncZoomConfig 255\nVegaEncZoomBacklash -1000\nVegaEncZoomProgLim 1 60000\n"
                           "VegaEncZoomWandLim 2 3\nVegaEncZoomStdMags 1 2.5\nVegaEncZoomCalFile z.txt",
     nullptr, 0,
     [](const SystemInfo& s) {
         ASSERT_NE(s.encZoom, nullptr);
         EXPECT_EQ(s.encZoom->backlash, -1000);
         EXPECT_EQ(s.encZoom->stdMagCount, 2);
         EXPECT_EQ(s.encZoom->stdMags[1], 2.5);
         EXPECT_EQ(s.encZoom->calFile.view(), "z.txt");
     }},
    {"sixteen std mags", "VegaEncZoomStdMags 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16", "Too many VegaEncZoomStdMag values."},
    {"disk fraction 2 accepted", "DiffDiskFraction 2\nDiffDiskRate 10", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.diffDiskFraction, 2.0f);
         EXPECT_EQ(s.diffDiskRate, 10.0f);
     }},
    {"disk fraction 0 refused", "DiffDiskFraction 0", "0 out of range (0,2]"},
    {"sleep timeout at its limit", "SleepTimeout 5:47:44", nullptr, 0,
     [](const SystemInfo& s) { EXPECT_EQ(s.sleepTimeout, 20864); }},
    {"sleep timeout beyond its limit", "SleepTimeout 5:47:45", "Value out-of-range."},
    {"sleep timeout with a comma", "SleepTimeout 5,47", "Syntax error."},
    {"invert data, flags, radius curves", "InvertData 255\nNoIntensAvg\nTouchScreen\nRadCrvFocCal -100\nRadCrvPwrCal 2",
     nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.invertData, 255);
         EXPECT_EQ(s.noIntensAvg + s.touchScreen, 2);
         EXPECT_EQ(s.radCrvFocCal, -100.0f);
     }},
    {"radius scales", "EncodedRadiusScale 1 0.5 0.25 20\nIntfRadiusScale 0 0 1 3 0.75", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.encodedRadiusScale.given, 1);
         EXPECT_EQ(s.encodedRadiusScale.n, 20);
         EXPECT_EQ(s.encodedRadiusScale.c, 0.0);
         EXPECT_EQ(s.intfRadiusScale.c, 0.75);
     }},
    {"encoded radius scale c not a number", "EncodedRadiusScale 1 0.5 0.25 20 x", "Expected number."},

    // Wave monitor, wavemeter and wave generator.
    {"wave monitor lines", "wmComm COM9\nwmSysGain 2.5\nwmMonOPD 12.25\nwmTuneRange 1.5 2\nwmTuneRate 3 4", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.wmComm.view(), "COM9");
         EXPECT_EQ(s.wmSysGain, 2.5f);
         EXPECT_EQ(s.wmTuneRange[1], 1.5e9);
         EXPECT_EQ(s.wmTuneRange[0], 2e9);
         EXPECT_EQ(s.wmTuneRate[1], 3e9);
     }},
    {"tune range second missing", "wmTuneRange 1.5", "Expected number."},
    {"max buckets saturates the byte count", "wmMaxBuckets 10 4096", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.wmMaxBuckets, 10);
         EXPECT_EQ(s.wmMaxBytes, 2147483647);
     }},
    {"abs wavemeter and ftpsi invert", "AbsWaveMeter 1 COM2\nFtpsiInvertData 3", nullptr, 0,
     [](const SystemInfo& s) {
         EXPECT_EQ(s.absWaveMeterArg.view(), "COM2");
         EXPECT_EQ(s.ftpsiInvertData, 3);
     }},
    {"dyn wave gen", "DynWaveGen -5 30 0", nullptr, 0,
     [](const SystemInfo& s) {
         ASSERT_NE(s.dynWaveGen, nullptr);
         EXPECT_EQ(s.dynWaveGen->first, -5);
         EXPECT_EQ(s.dynWaveGen->third, 0);
     }},
    {"dyn wave gen third out of range", "DynWaveGen 1 2 95", "95 out of range [96,126] and 0", 3,
     [](const SystemInfo& s) { EXPECT_EQ(s.dynWaveGen, nullptr); }},
    {"dyn wave gen word not a number", "DynWaveGen x 2 100", "Expected number."},

    // FTP instrument.
    {"ftp lines", "NomMag 1 2\nFTPMaterials m.txt\nFTPSys 0.5 1 -1 10\nFTPDmiScale 2.5\nFTPImageRot 0.5\n"
                  "FTPZeroPtPos -10\nFTPDisper 1 0.5 -6.28\nftpavgk0 1 1 2 3\nFTPAvg_K0 0 4 5\n"
                  "FTPDmiCenter 1 -100 5.5\nFTPTiltCenter 0 1 2\nFTPSysInitPer 1:1:1:1\n"
                  "FTPTemperature 0:0:30:0 2.5\nFTPLog l.txt 5 6",
     nullptr, 0,
     [](const SystemInfo& s) {
         const FtpInfo* f = s.ftpInfo;
         ASSERT_NE(f, nullptr);
         EXPECT_EQ(f->materialsFile.view(), "m.txt");
         EXPECT_EQ(f->sys[3], 10.0);
         EXPECT_EQ(f->zeroPtPos[0], -10.0);
         EXPECT_TRUE(std::isinf(f->zeroPtPos[1]));
         EXPECT_EQ(f->disper[1][1], -6.28);
         EXPECT_TRUE(std::isinf(f->disper[1][2]));
         EXPECT_EQ(f->avgK0[1][2], 3.0);
         EXPECT_EQ(f->avgK0[0][0], 4.0);
         EXPECT_EQ(f->dmiCenter[1].y, 5.5f);
         EXPECT_EQ(f->zeroGagePeriod, 90061);
         EXPECT_EQ(f->temperaturePeriod, 1800);
         EXPECT_EQ(f->temperatureValue, 2.5);
         EXPECT_EQ(f->logParam[1], 6);
     }},
    {"ftp disper with one value", "NomMag 1\nFTPDisper 0 1", "Not enough FTPDisper or FTPAvg_K0 values.", 4},
    {"ftp disper with eleven values", "NomMag 1\nFTPDisper 0 1 1 1 1 1 1 1 1 1 1 1",
     "Too many FTPDisper or FTPAvg_K0 values.", 4},
    {"ftp sys value out of range", "FTPSys 0.5 1 -1 11", "11 out of range [0,10]"},
    {"ftp period too long", "FTPZeroGagePer 100:0:0:1", "Value out-of-range."},
    {"ftp log parameter not a number", "FTPLog l.txt x", "Expected number."},
};

class CalReadLines : public CalSlotTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(CalReadLines, ReadsOrFailsWithItsLineNumber) {
    const LineCase& c = GetParam();
    const int32_t rc = read_text_file(complete_file(c.lines));
    if (c.message == nullptr) {
        ASSERT_EQ(rc, NO_ERROR) << messages();
        if (c.check) c.check(si);
        return;
    }
    EXPECT_EQ(rc, ERR_SB_CALFILE_INVALID) << messages();
    EXPECT_NE(messages().find(std::string(c.message) + "\n"), std::string::npos) << messages();
    EXPECT_NE(messages().find("Error in line " + std::to_string(c.error_line) + ".\n"), std::string::npos)
        << messages();
    if (c.check) c.check(si);
}

std::string case_name(const ::testing::TestParamInfo<LineCase>& info) {
    std::string name;
    for (const char* p = info.param.name; *p != '\0'; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Lines, CalReadLines, ::testing::ValuesIn(kCases), case_name);

}  // namespace
