// Run-time state that the hardware subsystems keep in a SystemInfo slot,
// one sub-record per subsystem. Each subsystem changes its own sub-record
// only; the calibration reader never touches them, and sb_resetCal resets
// just the few fields listed with it.
#pragma once

#include <cstdint>

#include "calibration/bounded_text.h"

struct rr_ramp_t;   // one ramp of the loaded set (ramps)
struct LcdmiConfig; // configuration of the LCDMI interferometer board (position instruments)

// A port or device handle that is not open. A slot that has never opened a
// device holds 0.
inline constexpr int64_t kSysInfoClosedHandle = -1;

// Piezo focus drive ageing model (instrument serial links), kept inside
// PifocInfo between its identity and its ageing parameters.
struct PifocRunState {
    int32_t levelKind;   // 1: rest level from a "b" ramp, 2: from a "u" ramp
    int32_t level;       // current drive offset
    int32_t bOffset;
    int32_t uOffset;
    double levelTime;    // clock seconds of the last level change
    int32_t state;       // 1 while the drive counts as on, −1 otherwise
    int64_t effTime;     // effective time on, seconds
    int64_t updateTime;  // calendar seconds of the last effTime update
    int32_t leakage;     // ADC counts
    uint8_t ageingOff;
    uint8_t cooked;
};

// One point of the encoded-zoom calibration table.
struct ZoomCalPoint {
    double position;
    float magnification;
};

// Encoded zoom changer (CAN network), kept inside EncZoomInfo: the loaded
// zoom calibration table and the file it came from.
struct EncZoomRunState {
    ZoomCalPoint* table;  // owned; obtained through the allocator hooks
    int32_t count;
    CalPath loadedFile;
    int64_t fileSize;
    int64_t fileTime;
};

// Ramps: the loaded ramp set and the instrument's ramp slots.
struct RampState {
    rr_ramp_t* set;            // owned by the ramps subsystem
    int32_t count;
    int32_t pmiCount;
    uint8_t fromConfigFile;    // the set came from the ramp configuration file
    uint8_t slotTable[256];    // rampID per instrument slot, 0xFF empty
    uint16_t slotCount;        // instrument ramp slots of the board
    int32_t inUse;             // index of the ramp in use, negative for none
    uint8_t largeApSelected;   // the large-aperture drive is selected
    int32_t magRamp[15];       // ramp chosen per magnification, −2 none yet
    uint8_t magRampChosen;
    // Releases `set` with its point arrays; installed by whoever builds the
    // set, called by sb_resetCal. Null while there is nothing to release.
    void (*releaseSet)(RampState& ramps);
};

// Instrument serial links: the ports of the instrument board, the wave
// monitor and the temperature controller, and board facts read at switch-on.
struct SerialLinkState {
    int64_t boardPort;
    int64_t wmPort;
    int64_t tempSensorPort;
    uint8_t boardHasPifocComp;  // the board compensates PIFOC ageing
    uint8_t pifocPowered;
};

// CAN network: which nodes were found at start-up, and the PZT node the
// PZT-ramp operations address (0 triple PZT, 1 large aperture).
struct CanRunState {
    uint8_t hasTriplePzt;
    uint8_t hasLargeAp;
    uint8_t hasWand;
    uint8_t hasWand2;
    uint8_t hasZoomDiffuser;
    uint8_t hasRingSpotDiffuser;
    uint8_t hasFocusNdw;
    uint8_t hasAuxMotor;
    uint8_t hasDualBrushMotor;
    int32_t rampMux;
};

// Motion control: what the controller reported at set-up.
struct MotionState {
    uint8_t zSupportsExternalClosedLoop;
};

// Image acquisition: device, camera and mode bookkeeping and the geometry of
// the live and grab modes.
struct AcqState {
    int32_t lastRateSelect;
    double modeRate[6];
    int16_t modeWidth[6];
    int16_t modeHeight[6];
    int32_t modeIntegration[6];
    int32_t modeBytes[6];
    int32_t modeBits[6];
    int16_t aoiX;
    int16_t aoiY;
    int16_t displayOffsetX;
    int16_t displayOffsetY;
    uint8_t grabbing;
    uint8_t lastModeIndex;
    uint8_t liveMode;
    uint8_t grabMode;
    int16_t liveWidth;
    int16_t liveHeight;
    uint8_t liveUnder;
    int16_t grabWidth;
    int16_t grabHeight;
    uint8_t grabUnder;
    uint8_t grabSkip;
    int16_t displayWidth;
    int16_t displayHeight;
    double pixelSize;
    double pixelClock;
    int32_t horzPeriod;
    int32_t vertPeriod;
    uint8_t interlaced;
    double grabRate;
    double grabIntegration;
    uint8_t cameraFlag;
    int32_t rateCode;
    int32_t acqDevCount;
    int32_t cameraCount;
    int32_t primaryModeCount;
    int32_t secondaryModeCount;
    int32_t grabBuffers;
    int32_t curAcqDevId;
    int32_t openCameraId;
    int32_t openModeId;
    int32_t primaryCameraId;
    int32_t secondaryCameraId;
    int32_t primaryModeIds[7];
    int32_t secondaryModeId;
    uint8_t livePrimary;
    uint8_t acqOpen;
    int32_t acqDevIds[3];
    int32_t displayType;
};

// Position instrument: the open device and the accumulated reading.
struct PosInstrState {
    int64_t piHandle;
    uint8_t piWaveCode;
    double piIndex;
    uint8_t piCheckJump;
    uint8_t piValid;
    uint8_t piReady;
    int32_t piLastCount;
    double piPosition;
    double piZeroOffset;
    LcdmiConfig* lcdmiConfig;  // owned by the LCDMI driver while the board is open
};

// Light-level control: per channel the mode and the levels; the target of
// channel 0 is the calibration value llcTarget.
struct LightChannelState {
    int32_t llcMode;
    uint16_t llcLevel;
    uint16_t llcPrevLevel;
};
struct LightState {
    LightChannelState channel[2];
    int16_t llcTarget1;  // target of channel 1
    uint8_t llcCurChannel;
};

// Wave monitor: status and calibration read at switch-on.
struct WaveMonitorState {
    uint8_t wmCalibrated;
    int64_t wmCalTime;
    int32_t wmCalKind;
    float wmAdcGain[4];
    uint16_t wmAdcOffset[4];
    double wmPhaseOffset[3];
    double wmMonRange[2];
    double wmMonRate[2];
};

// Instrument start-up and shut-down.
struct InstrumentState {
    uint8_t instrOn;
    int32_t pifocMode;         // 0 none, 1 PIFOC with ageing model, 2 other focus drive
    uint8_t largeApAvailable;
    uint8_t expansionBd;
    uint8_t turretPos;
    int64_t llcInstrPort;      // port of the external light-level controller
};
