// sb_resetCal: gives a slot the defaults a calibration file read starts from.
#pragma once

#include "calibration/system_info.h"

// Resets `si` in four groups: texts emptied (the ramp configuration file back
// to "rampcfg.txt"), numbers to their defaults, the sub-records canInfo,
// pidVals, ftpInfo and encZoom discarded, and the run-time fields of other
// subsystems that depend on the configuration reset. It keeps rFlag,
// instrBdVersion, both channels' avgCurLimit and fwdVoltage, customCamera,
// cameraSplitArg, wmComm, wmSysGain, pifocInfo and dynWaveGen, and the slot's
// file path, descriptor and file-name digit. Returns `si`; null stays null.
SystemInfo* sb_resetCal(SystemInfo* si);

// The defaults the reset gives, for the reader's and writer's comparisons.
inline constexpr double kCalDefaultWavelength = 632.8e-9;  // metres
inline constexpr int16_t kCalDefaultLlcTarget = 150;
inline constexpr int32_t kCalDefaultLlcFreq = 35000;
inline constexpr float kCalDefaultAlignModePct = 100.0f;
inline constexpr int32_t kCalDefaultTurret2 = 5;
inline constexpr float kCalDefaultDiffDiskRate = -1.0f;
inline constexpr float kCalDefaultDiffDiskFraction = 0.85f;
inline constexpr double kCalDefaultZAxisBacklash = 5.0;
inline constexpr int32_t kCalDefaultPztPwr = -1;
inline constexpr int32_t kCalDefaultWmMaxBuckets = 1900;
inline constexpr int32_t kCalDefaultWmMaxBytes = 2147483647;
inline constexpr uint16_t kCalDefaultSleepTimeout = 14400;
// Position-instrument defaults: wavelength unit code and air refractive index.
inline constexpr uint8_t kPiDefaultWaveCode = 24;
inline constexpr double kPiDefaultIndex = 1.0002714;
