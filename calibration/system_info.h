// SystemInfo: the description of one instrument installation. The library
// keeps four slots of it; the calibration reader fills a slot, the writer
// saves it, sb_resetCal gives it its defaults, and the hardware subsystems
// take their configuration from it and keep their run-time state in their
// own sub-record at its end.
//
// A slot is all zero at start-up. Text fields are bounded arrays; pointer
// fields own their sub-records, which are allocated through the allocator
// hooks zero-filled on first use.
#pragma once

#include <cstdint>
#include <type_traits>

#include "calibration/bad_pixel_table.h"
#include "calibration/bounded_text.h"
#include "calibration/cal_subrecords.h"
#include "calibration/can_info.h"
#include "calibration/system_info_runtime.h"

struct McInfo;  // the motion controller's run-time record (motion control)

// A camera translation per magnification and a bad-pixel coordinate pair.
struct CameraTrans {
    int16_t dx;
    int16_t dy;
};
struct PixelXY {
    int16_t x;
    int16_t y;
};

inline constexpr int32_t kSysInfoSlots = 4;
inline constexpr int32_t kCalMaxMags = 15;
inline constexpr int32_t kCalLightEntries = 4;
inline constexpr int32_t kCalCameraFiles = 6;
inline constexpr int32_t kCalBadPixels = 40;
inline constexpr int32_t kCalAxes = 8;  // A, B, P, R, T, X, Y, Z
inline constexpr char kCalAxisLetters[kCalAxes + 1] = "ABPRTXYZ";
inline constexpr const char* kCalDefaultRampConfigFile = "rampcfg.txt";

struct SystemInfo {
    // --- calibration ---
    CalPath calFilePath;        // file last read; empty until the first open
    int32_t calFd;              // descriptor other parts may leave here; closed when positive
    CalText instrName;
    int32_t unusedWord;
    int32_t frameGrabberType;
    uint8_t acqByte;            // owned by the acquisition manager
    int8_t calFileDigit;        // digit of the default calibration file name
    uint8_t startupByte;        // cleared by the acquisition start-up
    uint8_t grabberVersion;
    uint8_t unit;
    int16_t buildCode;
    int32_t serialNumber;
    uint8_t rFlag;
    int32_t instrBdType;
    uint8_t instrBdVersion;     // filled by the instrument switch-on
    int32_t systemType;
    int32_t cameraType;
    int32_t lightType;
    double wavelength[kCalLightEntries];  // metres
    double bandwidth[kCalLightEntries];   // metres
    double nomMag[kCalMaxMags];
    double sysMag[kCalMaxMags];
    int32_t magCount;
    double scanCal[2];
    uint16_t llcRange[2];
    int16_t llcTarget;
    uint16_t llcRange2[2];
    LlcChannel llcChannel[2];
    int32_t llcOptions;
    int32_t pztPwr;
    PifocInfo* pifocInfo;
    int32_t pifocPolarity;
    CalText rampConfigFile;
    CalText instrComm;
    int16_t cameraDark;
    int16_t adcClock;
    CalText cameraFiles[kCalCameraFiles];
    int32_t cameraSplitType;
    int32_t cameraSplitLoc;
    int32_t cameraSplitArg;
    CameraTrans cameraTrans[kCalMaxMags];
    uint8_t cameraAlign;
    int32_t cameraPll;
    PixelXY badPixels[kCalBadPixels];  // an entry with negative x ends the list
    uint8_t badPixelFileFlag;
    CalText badPixelFile;
    int32_t cameraOptions;
    uint8_t customCamera[10];   // [0] interlaceFlag, [9] fieldCtrl
    CalText motionCtrl[2];      // configuration file, device word
    McInfo* motionCtrlInfo;     // owned by motion control
    float zAxisCal;
    double zAxisBacklash;
    uint8_t zEncoder;
    uint8_t zExternalClosedLoop;
    double xAxisBacklash;
    double yAxisBacklash;
    int32_t posInstrType;
    CalText posInstrArg[2];
    PosInstrState posInstr;     // run-time state of the position instrument
    int32_t tempSensorType;
    CalText tempSensorArg;
    int32_t llcInstr;
    CalText llcInstrComm;
    int32_t turret;
    int32_t turret2;
    int32_t zoom;               // 2: motorized zoom
    uint8_t invertData;
    FtpInfo* ftpInfo;
    uint8_t touchScreen;
    SdcCalEntry sdcCal[kCalMaxMags];
    float radCrvFocCal;
    float radCrvPwrCal;
    uint8_t noIntensAvg;
    uint8_t pzt;
    uint8_t laps;
    uint8_t wand;
    uint8_t zoomUsed;
    uint8_t ringSpot;
    uint8_t dualBrushMotor;
    uint8_t focusNdw;
    CanInfo* canInfo;
    CalText pendentMenu;
    CalText axisComp[kCalAxes];
    PidVals* pidVals[kCalAxes];
    CalText wmComm;
    float wmSysGain;
    double wmMonOPD;
    double wmTuneRange[2];      // file's second value × 1e9, then its first (+inf: not set)
    double wmTuneRate[2];
    int32_t wmMaxBuckets;
    int32_t wmMaxBytes;
    uint8_t ftpsiInvertData;
    int32_t absWaveMeterFlag;
    CalText absWaveMeterArg;
    DynWaveGenInfo* dynWaveGen;
    uint16_t sleepTimeout;      // seconds
    float diffDiskRate;
    float diffDiskFraction;
    EncZoomInfo* encZoom;
    RadiusScale encodedRadiusScale;
    RadiusScale intfRadiusScale;

    // --- run-time state, one sub-record per subsystem ---
    RampState ramps;            // ramps
    SerialLinkState link;       // instrument serial links
    CanRunState can;            // CAN instrument network
    MotionState motion;         // motion control
    AcqState acq;               // image acquisition
    LightState light;           // light level
    WaveMonitorState wm;        // wave monitor status
    InstrumentState instr;      // instrument start-up and shut-down
    BadPixelTable badPixelTable;  // camera bad-pixel table
};

// Zero-filled memory is the start-up state of a slot.
static_assert(std::is_trivially_copyable_v<SystemInfo>);
static_assert(std::is_standard_layout_v<SystemInfo>);

// The four library-wide slots, all zero at start-up.
extern SystemInfo gl_sys_info[kSysInfoSlots];

// The slot of an index, or null for an index outside 0..3.
SystemInfo* sb_slot(int32_t index);

// The Remote text: one for the whole library, replaced by each Remote line.
extern CalText gl_cal_remote;
