#include "calibration/system_info.h"

SystemInfo gl_sys_info[kSysInfoSlots];
CalText gl_cal_remote;

SystemInfo* sb_slot(int32_t index) {
    if (index < 0 || index >= kSysInfoSlots) return nullptr;
    return &gl_sys_info[index];
}
