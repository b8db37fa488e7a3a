// The calibration sub-records of SystemInfo. The inline ones (light-level
// channels, SDC entries, radius scales) live in the record; the others are
// allocated on first use, owned by the slot and released by sb_resetCal (or,
// for pifocInfo and dynWaveGen, kept for the life of the process).
#pragma once

#include <cstdint>
#include <type_traits>

#include "calibration/bounded_text.h"
#include "calibration/system_info_runtime.h"

// One light-level-controller channel: its configuration byte, frequency,
// two average-current limits and two forward voltages (LLC AvgCurLimit and
// LLC FwdVoltage give a pair per channel) and the alignment-mode percentage.
struct LlcChannel {
    uint8_t config;
    int32_t freq;
    int16_t avgCurLimit[2];
    int16_t fwdVoltage[2];
    float alignModePct;
};

// The piezo focus drive: identity and ageing-model parameters from the
// file, with the drive's run-time state between them.
struct PifocInfo {
    int32_t id;
    int32_t type;
    PifocRunState run;
    double beta;
    double scale;
};

// One PID parameter set of a motion axis.
struct PidSet {
    int32_t propGain;
    int32_t derGain;
    int32_t velFfGain;
    int32_t intGain;
    uint8_t intMode;
    int32_t accelFfGain;
    float n1;
    float n2;
    float d1;
    float d2;
};

// The PID sets of one axis: fast, then slow.
struct PidVals {
    PidSet fast;
    PidSet slow;
};

// The set a new PidVals record holds in both halves.
inline constexpr PidSet kCalDefaultPidSet{700, 0, 15050, 0, 0, 0, 0.0f, 0.0f, 0.0f, 0.0f};

// The encoded zoom changer: limits and magnifications from the file, then
// the loaded zoom calibration table.
struct EncZoomInfo {
    int32_t config;
    int32_t progLim[2];
    int32_t wandLim[2];
    int32_t backlash;
    double stdMags[15];
    int32_t stdMagCount;
    CalText calFile;
    EncZoomRunState run;
};

// The dynamic wave generator: three settings from the file, a fourth value
// and four owned buffers of the generator.
struct DynWaveGenInfo {
    int32_t first;
    int32_t second;
    int32_t third;
    int32_t fourth;
    void* buffers[4];  // obtained through gl_mem_alloc; released with the record
};

// A radius-scale block (EncodedRadiusScale, IntfRadiusScale); all zero by
// default.
struct RadiusScale {
    uint8_t given;
    uint8_t flag;
    double a;
    double b;
    int32_t n;
    double c;
};

// One SdcCal entry. An unset entry holds the largest single-precision value
// in its singles and 0 in its doubles.
struct SdcCalEntry {
    double c8;
    double c7;
    float c5;
    float c6;
    float c1;
    float c2;
    float c3;
    float c4;
};

// One material of the FTP materials file.
struct MaterialSpec {
    int16_t index;  // −1 for a comment record
    BoundedText<20> name;
    double n;
    double k;
    double pcor;
    double disper[4];
    BoundedText<100> comment;
};

// The materials list and the magnifications it describes.
struct FtpMaterials {
    double allowedMag[4];
    MaterialSpec* list;  // owned; grows through the allocator hooks
    int32_t listCount;
    int32_t listCapacity;
};

// A pair of single-precision coordinates (centres of the FTP optics).
struct FloatPair {
    float x;
    float y;
};

// The FTP instrument's calibration.
struct FtpInfo {
    CalText materialsFile;
    FtpMaterials materials;
    int32_t magIndex[15];
    double dmiScale;
    double imageRot;
    double sys[4];
    double zeroPtPos[2];
    double disper[15][10];
    double avgK0[15][10];
    FloatPair dmiCenter[15];
    FloatPair tiltCenter[15];
    int64_t zeroGagePeriod;
    int64_t temperaturePeriod;
    double temperatureValue;
    CalText logFile;
    int32_t logParam[2];
};

// Plain records: zero-filled memory is a valid empty record.
static_assert(std::is_trivially_copyable_v<PifocInfo> && std::is_standard_layout_v<PifocInfo>);
static_assert(std::is_trivially_copyable_v<PidVals> && std::is_standard_layout_v<PidVals>);
static_assert(std::is_trivially_copyable_v<EncZoomInfo> && std::is_standard_layout_v<EncZoomInfo>);
static_assert(std::is_trivially_copyable_v<DynWaveGenInfo>);
static_assert(std::is_trivially_copyable_v<FtpInfo> && std::is_standard_layout_v<FtpInfo>);
