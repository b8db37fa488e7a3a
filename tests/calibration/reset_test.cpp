#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "calibration/cal_subrecords_alloc.h"
#include "calibration/sb_reset.h"
#include "util/memhooks.h"

namespace {

// A slot that starts all zero, as at start-up, and frees what it owns.
struct Slot : ::testing::Test {
    SystemInfo si{};
    void TearDown() override {
        sb_resetCal(&si);
        sb_discard_pifoc_info(si);
        sb_discard_dyn_wave_gen(si);
    }
};

TEST_F(Slot, EmptiesTextsAndRestoresTheRampConfigurationName) {
    si.instrName.set("lab");
    si.instrComm.set("COM1");
    for (CalText& f : si.cameraFiles) f.set("cam");
    si.badPixelFile.set("bp.dat");
    si.motionCtrl[1].set("dev");
    si.posInstrArg[0].set("p");
    si.tempSensorArg.set("t");
    si.llcInstrComm.set("l");
    si.pendentMenu.set("m");
    si.axisComp[7].set("z.cmp");
    si.absWaveMeterArg.set("a");
    si.rampConfigFile.set("other.txt");
    sb_resetCal(&si);
    for (const CalText* t : {&si.instrName, &si.instrComm, &si.cameraFiles[5], &si.badPixelFile,
                             &si.motionCtrl[1], &si.posInstrArg[0], &si.tempSensorArg, &si.llcInstrComm,
                             &si.pendentMenu, &si.axisComp[7], &si.absWaveMeterArg}) {
        EXPECT_TRUE(t->empty());
    }
    EXPECT_EQ(si.rampConfigFile.view(), "rampcfg.txt");
}

TEST_F(Slot, GivesTheNumbersTheirDefaults) {
    std::memset(static_cast<void*>(&si), 0x5A, offsetof(SystemInfo, ramps));  // garbage in the calibration part
    si.calFilePath.clear();
    si.pifocInfo = nullptr;
    si.motionCtrlInfo = nullptr;
    si.ftpInfo = nullptr;
    si.canInfo = nullptr;
    for (PidVals*& p : si.pidVals) p = nullptr;
    si.dynWaveGen = nullptr;
    si.encZoom = nullptr;
    sb_resetCal(&si);

    EXPECT_EQ(si.lightType, 1);
    EXPECT_DOUBLE_EQ(si.wavelength[0], 632.8e-9);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(si.bandwidth[i], 0.0);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(si.wavelength[i], 0.0);
    EXPECT_EQ(si.llcTarget, 150);
    EXPECT_EQ(si.turret2, 5);
    EXPECT_EQ(si.sleepTimeout, 14400);
    EXPECT_EQ(si.diffDiskFraction, 0.85f);
    EXPECT_EQ(si.diffDiskRate, -1.0f);
    EXPECT_EQ(si.pztPwr, -1);
    for (const PixelXY& p : si.badPixels) {
        EXPECT_EQ(p.x, -1);
        EXPECT_EQ(p.y, -1);
    }
    EXPECT_EQ(si.llcChannel[0].config, 1);
    EXPECT_EQ(si.llcChannel[1].config, 0);
    EXPECT_EQ(si.llcChannel[1].freq, 35000);
    EXPECT_EQ(si.llcChannel[1].alignModePct, 100.0f);
    EXPECT_EQ(si.pzt + si.laps + si.wand + si.zoomUsed + si.dualBrushMotor + si.focusNdw, 6);
    EXPECT_EQ(si.ringSpot, 0);
    EXPECT_EQ(si.cameraPll, 1);
    EXPECT_EQ(si.scanCal[1], 1.0);
    EXPECT_EQ(si.zAxisBacklash, 5.0);
    EXPECT_EQ(si.wmTuneRange[0], 0.0);
    EXPECT_TRUE(std::isinf(si.wmTuneRange[1]));
    EXPECT_TRUE(std::isinf(si.wmTuneRate[1]));
    EXPECT_EQ(si.wmMaxBuckets, 1900);
    EXPECT_EQ(si.wmMaxBytes, 2147483647);
    for (const SdcCalEntry& e : si.sdcCal) {
        EXPECT_EQ(e.c1, std::numeric_limits<float>::max());
        EXPECT_EQ(e.c6, std::numeric_limits<float>::max());
        EXPECT_EQ(e.c8, 0.0);
    }
    EXPECT_EQ(si.encodedRadiusScale.given, 0);
    EXPECT_EQ(si.intfRadiusScale.c, 0.0);
    EXPECT_EQ(si.cameraTrans[14].dy, 0);
    EXPECT_EQ(si.magCount, 0);
    EXPECT_EQ(si.nomMag[14], 0.0);
}

TEST_F(Slot, DiscardsTheFileSubRecordsButKeepsPifocAndWaveGenerator) {
    ASSERT_NE(sb_need_can_info(si), nullptr);
    ASSERT_NE(sb_need_pid_vals(si, 0), nullptr);
    ASSERT_NE(sb_need_pid_vals(si, 7), nullptr);
    ASSERT_NE(sb_need_ftp_info(si), nullptr);
    si.ftpInfo->materials.list = static_cast<MaterialSpec*>(gl_mem_calloc(5, sizeof(MaterialSpec)));
    ASSERT_NE(sb_need_enc_zoom(si), nullptr);
    si.encZoom->run.table = static_cast<ZoomCalPoint*>(gl_mem_calloc(2, sizeof(ZoomCalPoint)));
    ASSERT_NE(sb_need_pifoc_info(si), nullptr);
    si.pifocInfo->id = 77;
    ASSERT_NE(sb_need_dyn_wave_gen(si), nullptr);
    si.dynWaveGen->buffers[2] = gl_mem_alloc(16);

    sb_resetCal(&si);
    EXPECT_EQ(si.canInfo, nullptr);
    for (PidVals* p : si.pidVals) EXPECT_EQ(p, nullptr);
    EXPECT_EQ(si.ftpInfo, nullptr);
    EXPECT_EQ(si.encZoom, nullptr);
    ASSERT_NE(si.pifocInfo, nullptr);
    EXPECT_EQ(si.pifocInfo->id, 77);
    ASSERT_NE(si.dynWaveGen, nullptr);
    EXPECT_NE(si.dynWaveGen->buffers[2], nullptr);
}

TEST_F(Slot, KeepsTheFieldsAFileMayLeaveFromAnEarlierRead) {
    sb_resetCal(&si);
    si.rFlag = 1;
    si.instrBdVersion = 12;
    si.llcChannel[0].avgCurLimit[1] = 500;
    si.llcChannel[1].fwdVoltage[0] = 9000;
    si.customCamera[9] = 1;
    si.cameraSplitArg = 4;
    si.wmComm.set("COM3");
    si.wmSysGain = 2.5f;
    si.calFilePath.set("/cfg/LAB.0");
    si.calFileDigit = 3;
    sb_resetCal(&si);
    EXPECT_EQ(si.rFlag, 1);
    EXPECT_EQ(si.instrBdVersion, 12);
    EXPECT_EQ(si.llcChannel[0].avgCurLimit[1], 500);
    EXPECT_EQ(si.llcChannel[1].fwdVoltage[0], 9000);
    EXPECT_EQ(si.customCamera[9], 1);
    EXPECT_EQ(si.cameraSplitArg, 4);
    EXPECT_EQ(si.wmComm.view(), "COM3");
    EXPECT_EQ(si.wmSysGain, 2.5f);
    EXPECT_EQ(si.calFilePath.view(), "/cfg/LAB.0");
    EXPECT_EQ(si.calFileDigit, 3);
}

int g_released = 0;
void release_ramps(RampState& ramps) {
    ++g_released;
    gl_mem_free(ramps.set);
}

TEST_F(Slot, ResetsTheRunTimeStateThatDependsOnTheConfiguration) {
    si.ramps.set = static_cast<rr_ramp_t*>(gl_mem_alloc(32));
    si.ramps.count = 3;
    si.ramps.releaseSet = release_ramps;
    si.ramps.magRamp[4] = 2;
    si.wm.wmCalKind = 0x10000000;
    si.wm.wmCalibrated = 1;
    si.badPixelTable.sections = static_cast<BadPixelSection*>(gl_mem_calloc(2, sizeof(BadPixelSection)));
    si.badPixelTable.count = 2;
    si.badPixelTable.sections[1].pixels.data = static_cast<BadPixel*>(gl_mem_calloc(4, sizeof(BadPixel)));
    si.posInstr.piReady = 1;
    si.posInstr.piPosition = 3.5;
    si.instr.instrOn = 1;
    si.acq.acqOpen = 1;

    g_released = 0;
    sb_resetCal(&si);
    EXPECT_EQ(g_released, 1);
    EXPECT_EQ(si.ramps.set, nullptr);
    EXPECT_EQ(si.ramps.count, 0);
    for (int32_t index : si.ramps.magRamp) EXPECT_EQ(index, -2);
    EXPECT_EQ(si.wm.wmCalKind, 0);
    EXPECT_EQ(si.wm.wmCalibrated, 0);
    EXPECT_EQ(si.badPixelTable.sections, nullptr);
    EXPECT_EQ(si.badPixelTable.count, 0);
    EXPECT_EQ(si.posInstr.piWaveCode, 24);
    EXPECT_EQ(si.posInstr.piIndex, 1.0002714);
    EXPECT_EQ(si.posInstr.piCheckJump, 1);
    EXPECT_EQ(si.posInstr.piValid, 1);
    EXPECT_EQ(si.posInstr.piReady, 0);
    EXPECT_EQ(si.posInstr.piPosition, 0.0);
    // Switch-on state and acquisition bookkeeping belong to their owners.
    EXPECT_EQ(si.instr.instrOn, 1);
    EXPECT_EQ(si.acq.acqOpen, 1);
}

TEST_F(Slot, PositionInstrumentHandleIsClosedOnceAndAnOpenOneSurvives) {
    sb_resetCal(&si);
    EXPECT_EQ(si.posInstr.piHandle, kSysInfoClosedHandle);
    si.posInstr.piHandle = 42;
    sb_resetCal(&si);
    EXPECT_EQ(si.posInstr.piHandle, 42);
}

TEST(SbResetCal, NullStaysNull) { EXPECT_EQ(sb_resetCal(nullptr), nullptr); }

TEST(SbSlots, FourSlotsZeroAtStartUp) {
    for (int32_t i = 0; i < kSysInfoSlots; ++i) {
        ASSERT_EQ(sb_slot(i), &gl_sys_info[i]);
        EXPECT_TRUE(sb_slot(i)->calFilePath.empty());
        EXPECT_EQ(sb_slot(i)->lightType, 0);
    }
    EXPECT_EQ(sb_slot(-1), nullptr);
    EXPECT_EQ(sb_slot(4), nullptr);
}

TEST(SbSubRecords, NewRecordsCarryTheirInitialValues) {
    SystemInfo si{};
    CanInfo* can = sb_need_can_info(si);
    ASSERT_NE(can, nullptr);
    EXPECT_EQ(can->ipAddress[0], 255);
    EXPECT_EQ(can->macAddress[0], 0xFF);
    EXPECT_EQ(can->zoomCodes[6], -2);
    EXPECT_EQ(can->ledProductId, -1);
    EXPECT_EQ(sb_need_can_info(si), can);  // an existing record is kept

    PidVals* pid = sb_need_pid_vals(si, 3);
    ASSERT_NE(pid, nullptr);
    EXPECT_EQ(pid->fast.propGain, 700);
    EXPECT_EQ(pid->slow.velFfGain, 15050);
    EXPECT_EQ(sb_need_pid_vals(si, 8), nullptr);
    EXPECT_EQ(sb_need_pid_vals(si, -1), nullptr);

    DynWaveGenInfo* gen = sb_need_dyn_wave_gen(si);
    ASSERT_NE(gen, nullptr);
    EXPECT_EQ(gen->first, -1);
    EXPECT_EQ(gen->fourth, -1);

    FtpInfo* ftp = sb_need_ftp_info(si);
    ASSERT_NE(ftp, nullptr);
    EXPECT_EQ(ftp->materialsFile.view(), "FtpMaterials.txt");
    EXPECT_EQ(ftp->logFile.view(), "FtpLog.txt");
    EXPECT_EQ(ftp->dmiScale, 2.0);
    EXPECT_TRUE(std::isinf(ftp->sys[3]));
    EXPECT_TRUE(std::isinf(ftp->disper[14][9]));
    EXPECT_TRUE(std::isinf(ftp->avgK0[0][0]));
    EXPECT_EQ(ftp->dmiCenter[0].x, 0.0f);
    EXPECT_EQ(ftp->zeroGagePeriod, 1800);
    EXPECT_EQ(ftp->temperaturePeriod, 1800);
    EXPECT_EQ(ftp->temperatureValue, 1.0);
    EXPECT_EQ(ftp->logParam[0], 1000000);
    EXPECT_EQ(ftp->logParam[1], 500000);
    EXPECT_EQ(ftp->materials.allowedMag[2], 1.7);

    sb_resetCal(&si);
    sb_discard_dyn_wave_gen(si);
    EXPECT_EQ(si.dynWaveGen, nullptr);
}

}  // namespace
