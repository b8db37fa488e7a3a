#include "calibration/cal_subrecords_alloc.h"

#include <limits>

#include "util/memhooks.h"

namespace {

constexpr double kNotSet = std::numeric_limits<double>::infinity();

// Creates a zero-filled T in `slot` when it is empty.
template <typename T>
T* need_zeroed(T*& slot) {
    if (slot == nullptr) slot = static_cast<T*>(gl_mem_calloc(1, sizeof(T)));
    return slot;
}

// Host allocators need not accept a null pointer.
void release(void* p) {
    if (p != nullptr) gl_mem_free(p);
}

template <typename T>
void discard(T*& slot) {
    release(slot);
    slot = nullptr;
}

void init_ftp_info(FtpInfo& ftp) {
    ftp.materialsFile.set(kFtpDefaultMaterialsFile);
    for (int i = 0; i < 4; ++i) ftp.materials.allowedMag[i] = kFtpAllowedMags[i];
    ftp.dmiScale = kFtpDefaultDmiScale;
    for (double& v : ftp.sys) v = kNotSet;
    for (double& v : ftp.zeroPtPos) v = kNotSet;
    for (auto& row : ftp.disper) {
        for (double& v : row) v = kNotSet;
    }
    for (auto& row : ftp.avgK0) {
        for (double& v : row) v = kNotSet;
    }
    ftp.zeroGagePeriod = kFtpDefaultPeriod;
    ftp.temperaturePeriod = kFtpDefaultPeriod;
    ftp.temperatureValue = kFtpDefaultTemperatureValue;
    ftp.logFile.set(kFtpDefaultLogFile);
    ftp.logParam[0] = kFtpDefaultLogParam[0];
    ftp.logParam[1] = kFtpDefaultLogParam[1];
}

}  // namespace

void can_info_init(CanInfo& info) {
    info.ipAddress[0] = 255;
    info.macAddress[0] = 0xFF;
    for (int32_t& code : info.zoomCodes) code = -2;
    info.ledProductId = -1;
    info.brushMotorProductId = -1;
}

PifocInfo* sb_need_pifoc_info(SystemInfo& si) { return need_zeroed(si.pifocInfo); }

PidVals* sb_need_pid_vals(SystemInfo& si, int32_t axis) {
    if (axis < 0 || axis >= kCalAxes) return nullptr;
    PidVals*& slot = si.pidVals[axis];
    if (slot == nullptr && need_zeroed(slot) != nullptr) {
        slot->fast = kCalDefaultPidSet;
        slot->slow = kCalDefaultPidSet;
    }
    return slot;
}

EncZoomInfo* sb_need_enc_zoom(SystemInfo& si) { return need_zeroed(si.encZoom); }

DynWaveGenInfo* sb_need_dyn_wave_gen(SystemInfo& si) {
    if (si.dynWaveGen == nullptr && need_zeroed(si.dynWaveGen) != nullptr) {
        si.dynWaveGen->first = -1;
        si.dynWaveGen->second = -1;
        si.dynWaveGen->third = -1;
        si.dynWaveGen->fourth = -1;
    }
    return si.dynWaveGen;
}

FtpInfo* sb_need_ftp_info(SystemInfo& si) {
    if (si.ftpInfo == nullptr && need_zeroed(si.ftpInfo) != nullptr) init_ftp_info(*si.ftpInfo);
    return si.ftpInfo;
}

CanInfo* sb_need_can_info(SystemInfo& si) {
    if (si.canInfo == nullptr && need_zeroed(si.canInfo) != nullptr) can_info_init(*si.canInfo);
    return si.canInfo;
}

void sb_discard_pifoc_info(SystemInfo& si) { discard(si.pifocInfo); }

void sb_discard_pid_vals(SystemInfo& si) {
    for (PidVals*& axis : si.pidVals) discard(axis);
}

void sb_discard_enc_zoom(SystemInfo& si) {
    if (si.encZoom != nullptr) release(si.encZoom->run.table);
    discard(si.encZoom);
}

void sb_discard_dyn_wave_gen(SystemInfo& si) {
    if (si.dynWaveGen != nullptr) {
        for (void* buffer : si.dynWaveGen->buffers) release(buffer);
    }
    discard(si.dynWaveGen);
}

void sb_discard_ftp_info(SystemInfo& si) {
    if (si.ftpInfo != nullptr) release(si.ftpInfo->materials.list);
    discard(si.ftpInfo);
}

void sb_discard_can_info(SystemInfo& si) { discard(si.canInfo); }
