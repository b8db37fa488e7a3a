// Ramp data files: one focus-scan ramp, a 328-byte header followed by its
// drive values as 16-bit numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Ramp type values.
inline constexpr int32_t RR_RAMP_SWLI = 0;
inline constexpr int32_t RR_RAMP_PMI_FIRST = 1;
inline constexpr int32_t RR_RAMP_PMI_LAST = 15;
inline constexpr int32_t RR_RAMP_BTW = 17;

// "RAMQ" read as a big-endian word.
inline constexpr int32_t RR_RAMP_MAGIC = 0x52414D51;

// The header as held in memory: the file's fields in the file's order, in
// host byte order. On disk the 42 words up to and including `reserved164`
// are big-endian; the fields from `fringesPerFrame` on are stored as the
// host (little-endian) order has them; the reserved bytes are carried.
struct rr_ramp_hdr_t {
    int32_t magicNumber;
    int32_t rampType;
    int32_t pztID;
    int32_t rampID;
    int32_t nPoints;
    int32_t rampUp;
    int32_t rampStart;
    int32_t rampLinear;
    int32_t rampEnd;
    float sampleClkFreq;
    float cameraRate;
    int32_t updateRate;
    int32_t grabSkip;
    float rampSlope;
    int32_t trigStartAddr;
    int32_t trigEndAddr;
    int32_t rampGainDflt;
    float rampTriple[3];
    float scanLen;
    int32_t polar;
    int32_t offset;
    int32_t nBuckets;
    float rampLin;
    float rampTrim;
    float cameraPClock;
    int32_t cameraHPeriod;
    int32_t cameraVPeriod;
    int32_t cameraInterlace;
    int32_t rampMux;
    int32_t instrBdType;
    int32_t compGain;
    int32_t compFilter;
    int32_t leakage;
    int32_t adcMin;
    int32_t adcMax;
    int32_t adcFirst;
    int32_t adcMid;
    int32_t adcLast;
    float scanCal;
    int32_t reserved164;
    float fringesPerFrame;
    float objMag;
    int32_t wavelenSelect;
    uint8_t reserved180[4];
    int32_t rampRising;
    uint8_t reserved188[8];
    uint8_t spare[132];
};
static_assert(sizeof(rr_ramp_hdr_t) == 328);
static_assert(offsetof(rr_ramp_hdr_t, reserved164) == 164);
static_assert(offsetof(rr_ramp_hdr_t, fringesPerFrame) == 168);
static_assert(offsetof(rr_ramp_hdr_t, rampRising) == 184);
static_assert(offsetof(rr_ramp_hdr_t, spare) == 196);

// Number of leading header bytes stored big-endian.
inline constexpr int RR_RAMP_BIG_ENDIAN_BYTES = 168;

// Name of a ramp type for messages: "SWLI", "PMI", "BTW", "FR" or "?".
const char* rr_ramp_type_name(int32_t ramp_type);

// True for the PMI ramp types (PZT focus drive).
inline bool rr_is_pmi(int32_t ramp_type) { return ramp_type >= RR_RAMP_PMI_FIRST && ramp_type <= RR_RAMP_PMI_LAST; }
// True for the ramp types driven by a PIFOC (SWLI and BTW).
inline bool rr_is_pifoc(int32_t ramp_type) { return ramp_type == RR_RAMP_SWLI || ramp_type == RR_RAMP_BTW; }

// Reads a ramp data file. With a non-null `points`, a previous array there
// is released and the ramp's points are read into a new one (owned by the
// caller, released with gl_mem_free); on failure it is null.
int32_t rr_read_ramp_file(const char* path, rr_ramp_hdr_t* header, uint16_t** points);

// Writes a ramp data file of header->nPoints points. The caller's header
// and points are not changed.
int32_t rr_write_ramp_file(const char* path, const rr_ramp_hdr_t* header, const uint16_t* points);

// Prints the header (and the points, when given) as text.
void rr_print_ramp(FILE* stream, const rr_ramp_hdr_t* header, const uint16_t* points, bool one_per_line);

// Builds the ramp's standard file name in a library buffer that the next
// call overwrites; *name is null on failure.
int32_t rr_get_std_ramp_filename(const rr_ramp_hdr_t* header, const char** name);

// Checks that a ramp suits the instrument (board type, PIFOC or PZT serial
// number, -1 for none) and normalises fringesPerFrame.
int32_t rr_check_ramp_compat(rr_ramp_hdr_t* header, const char* file_name, int32_t instr_board_type,
                             int32_t pifoc_serial, int32_t pzt_serial);

// Normalises fringesPerFrame, deriving it where the file leaves it 0.
int32_t rr_check_fringes_per_frame(rr_ramp_hdr_t* header, const char* file_name);

// Fringes per frame as its quarter code (0.25 -> 1, 0.75 -> 3, ...).
int32_t rr_fpf_to_quarters(double fringes_per_frame, int32_t* quarters);

// Scan type code to fringes per frame (1 -> 0.25, 5 -> 0.75, ...).
int32_t rr_scan_type_to_fpf(int32_t scan_type, double* fringes_per_frame);

// Rounds half up to an integer, mapping 95 to 100 and 145 to 150.
int32_t rr_nominal_value(double value);
