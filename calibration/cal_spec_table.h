// The setting lines of the calibration file, described once for the
// reader and the writer: each line's keyword or keywords, its values with
// their forms, ranges and target fields, the defaults sb_resetCal gives those
// fields, the failure texts of its own, and where the writer puts it.
//
// Lines whose values each go to one field are read by walking their values
// (CalLineKind::Values). Lines with rules of their own name a CalHandler;
// their reader takes the ranges, fields and texts from here all the same.
#pragma once

#include <cstdint>
#include <span>

#include "calibration/cal_field.h"
#include "calibration/cal_lex.h"
#include "calibration/cal_names.h"
#include "calibration/system_info.h"

// How one value is read.
enum class CalValueKind : uint8_t {
    Int,         // decimal integer in [lo, hi]
    Real,        // real between lo and hi (ends open per flags)
    Word,        // any word; texts and file names
    Name,        // a word of the value's name table
    Literal,     // the exact word `literal` (case matters)
    Pair,        // bracketed pair [a,b]: a in [lo, hi], b in [lo2, hi2]
    RealOrPair,  // a real in [lo, hi] or a bracketed pair as above
    Duration,    // numbers joined by ':' words, each in [0,100]; sum at most hi seconds
    HexWord,     // a word read as a hexadecimal number in [lo, hi]
    DecWord,     // a word read as a decimal integer in [lo, hi]
};

enum CalValueFlag : uint16_t {
    CAL_V_OPTIONAL = 1 << 0,      // read only when the next character announces it
    CAL_V_PEEK_NUMBER = 1 << 1,   // required, but a non-number fails with "Expected number."
    CAL_V_LOWER_OPEN = 1 << 2,    // the range excludes lo
    CAL_V_UPPER_OPEN = 1 << 3,    // the range excludes hi
    CAL_V_REPEAT = 1 << 4,        // the value repeats; the line gives the counts
    CAL_V_LETTER_FIRST = 1 << 5,  // a word that must begin with a letter
    CAL_V_SATURATE = 1 << 6,      // a scaled value beyond the field saturates
    CAL_V_DAYS_FIRST = 1 << 7,    // duration days[:h[:m[:s]]] (else h[:m[:s]])
    CAL_V_ALL_PARTS = 1 << 8,     // the value after the duration is read only after four parts
    CAL_V_VARIANT_A = 1 << 9,     // belongs to the line's first form (see handler)
    CAL_V_VARIANT_B = 1 << 10,    // belongs to the line's second form
    CAL_V_INDEX = 1 << 11,        // selects the element the later values go to
    CAL_V_MARKS_GIVEN = 1 << 12,  // the line's `given` bits count only when this value is read
};

// What sb_resetCal does to a value's field.
enum class CalDefaultKind : uint8_t {
    None,   // no reset default (the field lies in a sub-record or is derived)
    Value,  // set to `number`, which lies inside the value's range
    Unset,  // set to `number`, a mark meaning "not set" that may lie outside it
    Text,   // set to `text` (empty for most texts)
    Kept,   // left as it was
};

struct CalDefault {
    CalDefaultKind kind = CalDefaultKind::None;
    double number = 0.0;
    const char* text = nullptr;
};

// Where a value goes: `index` is the value of the line's leading index (or
// the axis of an axis line), `k` the position in a repeated list.
using CalFieldGetter = CalFieldRef (*)(SystemInfo& si, int32_t index, int32_t k);

struct CalValueSpec {
    const char* name = nullptr;  // as in the file's description: "n", "lo", "w1"
    CalValueKind kind = CalValueKind::Int;
    uint16_t flags = 0;
    double lo = 0.0;
    double hi = 0.0;
    double lo2 = 0.0;  // second element of a pair
    double hi2 = 0.0;
    double scale = 1.0;  // the field holds value × scale
    const CalNameTable* names = nullptr;
    const char* literal = nullptr;
    CalFieldGetter field = nullptr;
    CalDefault def{};
};

// How the reader applies a line.
enum class CalLineKind : uint8_t {
    Values,   // each value to its field, in order
    SetFlag,  // no values; stores `constant` into `flagField`
    Ignore,   // the rest of the line is ignored
    Special,  // the handler's own rules
};

enum class CalHandler : uint8_t {
    None,
    SystemType,      // system-type word, build code parts, serial, optional "R"
    MacAddress,      // six hexadecimal words into canInfo
    Remote,          // the library-wide Remote text
    CameraType,      // a camera word; CUSTOM with its board-dependent settings
    CameraFile,      // up to six names; "NULL" as second name leaves it empty
    CameraConfig,    // form A on boards 1 and 7, form B on boards 3 and 6
    BadPixels,       // pairs appended to badPixels across lines
    CameraSplit,     // cameraSplitType = constant, then location and argument
    CameraTrans,     // index, then the translation of that magnification
    Light,           // light type, default wavelengths by board, up to four values
    LlcInstr,        // controller word; a communication word for DD100MC(_B)
    LlcRange,        // one or two pairs, counted for the derived defaults
    LlcConfig,       // channel configuration bytes with bit 0 set
    LlcBothChannels, // one value into the same field of both channels
    Mags,            // NomMag / SysMag lists and their shared count
    SdcCal,          // index, then optional values one after another
    Pifoc,           // id, optional scale and beta with the beta rule
    RingSpot,        // sets ringSpot only on the instruments that have one
    PosInstr,        // instrument word, one or two words
    TempSensor,      // the sensor word, then a word
    PidVals,         // optional half word, ten values into one or both halves
    EncZoomStdMags,  // count reset at the start, set at success
    SleepTimeout,    // duration in hours
    RadiusScale,     // given = 1, c = 0 before the optional c
    DynWaveGen,      // three words and numbers; any failure discards the record
    FtpList,         // index, then two to ten values
    FtpCenter,       // index, then a pair of singles
    FtpPeriod,       // duration in days
    FtpTemperature,  // duration of four parts, then the value
};

// Sub-record a line creates before it stores anything.
enum class CalSubRecord : uint8_t { None, Pifoc, PidVals, EncZoom, DynWaveGen, Ftp, Can };

// Facts a line records for the checks after the last line.
enum CalGiven : uint16_t {
    CAL_GIVEN_VERSION = 1 << 0,
    CAL_GIVEN_COMM = 1 << 1,         // InstrComm or MacAddress
    CAL_GIVEN_INVERT_DATA = 1 << 2,
    CAL_GIVEN_LLC_TARGET = 1 << 3,
    CAL_GIVEN_PIFOC = 1 << 4,        // Pifoc or PztId
    CAL_GIVEN_WM_LINK = 1 << 5,
    CAL_GIVEN_OPD = 1 << 6,
    CAL_GIVEN_SYS_GAIN = 1 << 7,
    CAL_GIVEN_BPIX_FILE = 1 << 8,    // Camera Bpix with a file name
    CAL_GIVEN_BAD_PIXELS = 1 << 9,   // at least one Camera BPixels pair stored
};

// Lines that depend on earlier ones.
enum CalNeeds : uint8_t {
    CAL_NEEDS_MAGS = 1 << 0,     // a NomMag or SysMag line first (else `orderFailure`)
    CAL_NEEDS_VERSION = 1 << 1,  // Version first: the line acts by board type
    CAL_NEEDS_SYSTEM = 1 << 2,   // the system-type line first
};

// The key of the system-type line, which begins with any system-type word.
inline constexpr int32_t CAL_KEY_SYSTEM_TYPE = -100;
inline constexpr int32_t CAL_NO_KEY = -101;

inline constexpr int kCalMaxLineValues = 12;

struct CalSpecLine {
    int32_t key = CAL_NO_KEY;   // token of the first keyword
    int32_t key2 = CAL_NO_KEY;  // token of the second keyword of a two-word key
    const char* writerKey = nullptr;  // spelling the writer uses; null when another line's
    int16_t writerRow = 0;      // position in the writer's sequence; 0 never written
    CalLineKind kind = CalLineKind::Values;
    CalHandler handler = CalHandler::None;
    CalSubRecord subRecord = CalSubRecord::None;
    int32_t axis = -1;          // axis 0..7 of an axis line, passed as the getter's index
    int32_t constant = 0;       // SetFlag value; CameraSplit type
    CalFieldGetter flagField = nullptr;  // SetFlag / RingSpot target
    CalDefault flagDefault{};
    uint16_t given = 0;         // CalGiven bits the line sets
    uint8_t needs = 0;          // CalNeeds bits
    const CalFailure* orderFailure = nullptr;
    int32_t minRepeat = 0;      // counts of the repeated value
    int32_t maxRepeat = 0;
    const char* fields = nullptr;  // the fields the line sets, for people
    int32_t valueCount = 0;
    CalValueSpec values[kCalMaxLineValues]{};
    int32_t failureCount = 0;
    const CalFailure* failures[6]{};  // the line's own failure texts
};

// Every setting line, aliases included (an alias has no writerKey).
std::span<const CalSpecLine> cal_spec_lines();

// Whether a first keyword needs a second one (camera, llc, adc, ramp).
bool cal_is_two_word_key(int32_t token);

// The line that begins with `key` (and `key2` for two-word keys); a
// system-type word finds the system-type line. Null when none does.
const CalSpecLine* cal_find_spec_line(int32_t key, int32_t key2 = CAL_NO_KEY);

// Creates the line's sub-record when absent (false: no memory).
bool cal_need_sub_record(SystemInfo& si, const CalSpecLine& line);

// The halves word of the PidVals lines: 0 Fast, 1 Slow.
extern const CalNameTable kCalPidHalves;

// Texts the CUSTOM camera line prints, the Pifoc line's values before the
// optional ones, and the DynWaveGen third value's range besides 0.
inline constexpr const char* kCalMsgInterlaceFlag = "Setting interlaceFlag to %d\n";
inline constexpr const char* kCalMsgFieldCtrl = "Setting fieldCtrl to %d\n";
inline constexpr double kCalPifocDefaultScale = 0.928655;
inline constexpr double kCalPifocDefaultBeta = 0.0144;
inline constexpr double kCalPifocBetaMin = 0.005;
inline constexpr double kCalPifocBetaMax = 0.1;
inline constexpr int32_t kCalDynWaveGenLo = 96;
inline constexpr int32_t kCalDynWaveGenHi = 126;
