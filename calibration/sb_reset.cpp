#include "calibration/sb_reset.h"

#include <limits>

#include "calibration/cal_subrecords_alloc.h"

namespace {

void reset_texts(SystemInfo& si) {
    si.instrName.clear();
    si.instrComm.clear();
    for (CalText& name : si.cameraFiles) name.clear();
    si.badPixelFile.clear();
    for (CalText& word : si.motionCtrl) word.clear();
    for (CalText& arg : si.posInstrArg) arg.clear();
    si.tempSensorArg.clear();
    si.llcInstrComm.clear();
    si.pendentMenu.clear();
    for (CalText& file : si.axisComp) file.clear();
    si.absWaveMeterArg.clear();
    si.rampConfigFile.set(kCalDefaultRampConfigFile);
}

void reset_channel(LlcChannel& channel, uint8_t config) {
    channel.config = config;
    channel.freq = kCalDefaultLlcFreq;
    channel.alignModePct = kCalDefaultAlignModePct;
}

void reset_numbers(SystemInfo& si) {
    constexpr float kUnsetSingle = std::numeric_limits<float>::max();
    constexpr double kNotSet = std::numeric_limits<double>::infinity();

    si.frameGrabberType = 0;
    si.grabberVersion = 0;
    si.unit = 0;
    si.buildCode = 0;
    si.serialNumber = 0;
    si.instrBdType = 0;
    si.systemType = 0;
    si.cameraType = 0;
    si.lightType = 1;
    for (int i = 0; i < kCalLightEntries; ++i) {
        si.wavelength[i] = i == 0 ? kCalDefaultWavelength : 0.0;
        si.bandwidth[i] = 0.0;
    }
    si.llcRange[0] = si.llcRange[1] = 0;
    si.llcTarget = kCalDefaultLlcTarget;
    reset_channel(si.llcChannel[0], 1);
    si.llcRange2[0] = si.llcRange2[1] = 0;
    reset_channel(si.llcChannel[1], 0);
    si.llcOptions = 0;
    si.magCount = 0;
    for (int i = 0; i < kCalMaxMags; ++i) si.nomMag[i] = si.sysMag[i] = 0.0;
    si.scanCal[0] = si.scanCal[1] = 1.0;
    si.turret = 0;
    si.turret2 = kCalDefaultTurret2;
    si.zoom = 0;
    si.pzt = si.laps = si.wand = si.zoomUsed = si.dualBrushMotor = si.focusNdw = 1;
    si.ringSpot = 0;
    si.diffDiskRate = kCalDefaultDiffDiskRate;
    si.diffDiskFraction = kCalDefaultDiffDiskFraction;
    si.invertData = 0;
    si.noIntensAvg = 0;
    si.xAxisBacklash = si.yAxisBacklash = 0.0;
    si.zAxisCal = 1.0f;
    si.zAxisBacklash = kCalDefaultZAxisBacklash;
    si.zEncoder = si.zExternalClosedLoop = 0;
    si.pifocPolarity = 0;
    si.cameraDark = 0;
    si.pztPwr = kCalDefaultPztPwr;
    si.adcClock = 0;
    si.cameraAlign = 0;
    si.cameraPll = 1;
    si.badPixelFileFlag = 0;
    for (PixelXY& pixel : si.badPixels) pixel = PixelXY{-1, -1};
    si.touchScreen = 0;
    si.cameraOptions = 0;
    si.cameraSplitType = si.cameraSplitLoc = 0;
    for (CameraTrans& trans : si.cameraTrans) trans = CameraTrans{0, 0};
    si.posInstrType = si.tempSensorType = si.llcInstr = 0;
    for (SdcCalEntry& entry : si.sdcCal) {
        entry = SdcCalEntry{0.0, 0.0, kUnsetSingle, kUnsetSingle, kUnsetSingle,
                            kUnsetSingle, kUnsetSingle, kUnsetSingle};
    }
    si.radCrvFocCal = si.radCrvPwrCal = 1.0f;
    si.wmMonOPD = 0.0;
    si.wmTuneRange[0] = si.wmTuneRate[0] = 0.0;
    si.wmTuneRange[1] = si.wmTuneRate[1] = kNotSet;
    si.wmMaxBuckets = kCalDefaultWmMaxBuckets;
    si.wmMaxBytes = kCalDefaultWmMaxBytes;
    si.ftpsiInvertData = 0;
    si.absWaveMeterFlag = 0;
    si.sleepTimeout = kCalDefaultSleepTimeout;
    si.encodedRadiusScale = RadiusScale{};
    si.intfRadiusScale = RadiusScale{};
}

void discard_sub_records(SystemInfo& si) {
    sb_discard_can_info(si);
    sb_discard_pid_vals(si);
    sb_discard_ftp_info(si);
    sb_discard_enc_zoom(si);
}

// State of other subsystems that a new configuration makes stale.
void reset_run_time(SystemInfo& si) {
    RampState& ramps = si.ramps;
    for (int32_t& index : ramps.magRamp) index = -2;
    ramps.magRampChosen = 0;
    ramps.largeApSelected = 0;
    ramps.slotCount = 0;
    si.wm.wmCalibrated = 0;
    si.wm.wmCalKind = 0;
    bad_pixel_table_release(si.badPixelTable);

    PosInstrState& pi = si.posInstr;
    // An open device stays open for the life of the record; a slot that has
    // never opened one gets the closed mark, so the first initialisation opens.
    if (pi.piHandle == 0) pi.piHandle = kSysInfoClosedHandle;
    pi.piWaveCode = kPiDefaultWaveCode;
    pi.piIndex = kPiDefaultIndex;
    pi.piCheckJump = 1;
    pi.piValid = 1;
    pi.piReady = 0;
    pi.piLastCount = 0;
    pi.piPosition = 0.0;
    pi.piZeroOffset = 0.0;

    if (ramps.releaseSet != nullptr) ramps.releaseSet(ramps);
    ramps.set = nullptr;
    ramps.releaseSet = nullptr;
    ramps.count = 0;
    ramps.pmiCount = 0;
    ramps.fromConfigFile = 0;
}

}  // namespace

SystemInfo* sb_resetCal(SystemInfo* si) {
    if (si == nullptr) return nullptr;
    reset_texts(*si);
    reset_numbers(*si);
    discard_sub_records(*si);
    reset_run_time(*si);
    return si;
}
