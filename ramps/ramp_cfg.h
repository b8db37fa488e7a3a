// The ramp configuration file: which ramps make up an instrument's set.
#pragma once

#include <cstdint>

#include "ramps/ramp_set.h"

// Longest ramp data file name in a configuration entry.
inline constexpr int RR_CFG_FILE_NAME_MAX = 80;

// One accepted ramp line.
struct rr_ramp_cfg_t {
    int32_t rampType;       // 0 SWLI, 1 PMI, 17 BTW
    int32_t wavelenSelect;  // BTW wavelength index 1..4, else 0
    char fileName[RR_CFG_FILE_NAME_MAX + 1];
    float scanLen;
    float cameraRate;
    int32_t cameraInterlace;
    int32_t grabSkip;
    float fringesPerFrame;
    float rampSlope;
    float objMag;
    float scanCal;
    int32_t hide;
};

// The comment block written after the header line and shown, with the
// sample line, when a file holds no acceptable ramp line.
extern const char* const rr_ramp_cfg_format_text;
extern const char* const rr_ramp_cfg_sample_line;

// Reads a configuration file. `*entries` must be null on entry. On success
// *entries receives an array (free it with gl_mem_free) of *count entries;
// on failure nothing is handed over and *count is 0.
int32_t rr_read_ramp_cfg_file(const char* path, rr_ramp_cfg_t** entries, int32_t* count);

// Writes a whole configuration file.
int32_t rr_write_ramp_cfg_file(const char* path, const rr_ramp_cfg_t* entries, int32_t count);

// 0 when a configuration entry agrees with the ramp data loaded for it,
// else ERR_INVALID_PARAM after one message.
int32_t rr_check_cfg_vs_ramp(const rr_ramp_cfg_t* entry, const rr_ramp_t* ramp);
