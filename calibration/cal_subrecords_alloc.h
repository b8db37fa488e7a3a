// Creation and release of the sub-records a SystemInfo slot owns. Each
// `sb_need_...` returns the existing record, or creates it (zero-filled,
// then given its initial values) when absent; null means memory ran out.
// Each `sb_discard_...` releases the record with everything it owns and
// leaves the pointer null.
#pragma once

#include <cstdint>

#include "calibration/system_info.h"

PifocInfo* sb_need_pifoc_info(SystemInfo& si);
PidVals* sb_need_pid_vals(SystemInfo& si, int32_t axis);  // axis 0..7: A B P R T X Y Z
EncZoomInfo* sb_need_enc_zoom(SystemInfo& si);
DynWaveGenInfo* sb_need_dyn_wave_gen(SystemInfo& si);
FtpInfo* sb_need_ftp_info(SystemInfo& si);
CanInfo* sb_need_can_info(SystemInfo& si);

void sb_discard_pifoc_info(SystemInfo& si);
void sb_discard_pid_vals(SystemInfo& si);  // all eight axes
void sb_discard_enc_zoom(SystemInfo& si);
void sb_discard_dyn_wave_gen(SystemInfo& si);
void sb_discard_ftp_info(SystemInfo& si);
void sb_discard_can_info(SystemInfo& si);

// The FTP record's initial values beyond zero.
inline constexpr const char* kFtpDefaultMaterialsFile = "FtpMaterials.txt";
inline constexpr const char* kFtpDefaultLogFile = "FtpLog.txt";
inline constexpr double kFtpDefaultDmiScale = 2.0;
inline constexpr int64_t kFtpDefaultPeriod = 1800;
inline constexpr double kFtpDefaultTemperatureValue = 1.0;
inline constexpr int32_t kFtpDefaultLogParam[2] = {1000000, 500000};
inline constexpr double kFtpAllowedMags[4] = {0.8, 1.0, 1.7, 4.0};
