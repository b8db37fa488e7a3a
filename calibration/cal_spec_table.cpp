#include "calibration/cal_spec_table.h"

#include <array>
#include <iterator>
#include <limits>
#include <numbers>

#include "calibration/cal_subrecords_alloc.h"
#include "calibration/cal_vocab.h"
#include "calibration/sb_reset.h"

namespace {

constexpr double kMaxSingle = std::numeric_limits<float>::max();
constexpr double kNotSet = std::numeric_limits<double>::infinity();
constexpr double kInt32Max = 2147483647.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

constexpr CalName kPidHalfNames[] = {
    {0, "Fast", {"fast"}, true},
    {1, "Slow", {"slow"}, true},
};

// --- field getters ---------------------------------------------------------
// Each returns the field a value goes to, or no field when an index is out of
// bounds or the sub-record is absent, so a caller can never write outside.

template <typename T, size_t N>
CalFieldRef element(T (&array)[N], int32_t i) {
    if (i < 0 || static_cast<size_t>(i) >= N) return {};
    return cal_field(array[i]);
}

#define KELM_GETTER(body) \
    [](SystemInfo& s, int32_t index, int32_t k) -> CalFieldRef { \
        (void)s; (void)index; (void)k; \
        body; \
    }
// A field of the slot.
#define FIELD(expr) KELM_GETTER(return cal_field(s.expr))
// A double field holding a single-precision value.
#define SINGLE(expr) KELM_GETTER(return cal_field_single(s.expr))
// Element `i` of an array field of the slot.
#define ELEMENT(array, i) KELM_GETTER(return element(s.array, i))
// A field of a sub-record.
#define SUB(ptr, expr) KELM_GETTER(if (s.ptr == nullptr) return {}; return cal_field(s.ptr->expr))
#define SUB_ELEMENT(ptr, array, i) \
    KELM_GETTER(if (s.ptr == nullptr) return {}; return element(s.ptr->array, i))
// A member of light-level channel k (0 or 1).
#define CHANNEL(member) \
    KELM_GETTER(if (k < 0 || k > 1) return {}; return cal_field(s.llcChannel[k].member))
// A member of element `index` of an array of records, in the slot or in a sub-record.
#define INDEXED(array, member) \
    KELM_GETTER(if (index < 0 || index >= kCalMaxMags) return {}; return cal_field(s.array[index].member))
#define SUB_INDEXED(ptr, array, member) \
    KELM_GETTER(if (s.ptr == nullptr || index < 0 || index >= kCalMaxMags) return {}; \
                return cal_field(s.ptr->array[index].member))

// --- value and default builders --------------------------------------------

constexpr CalDefault dflt(double v) { return {CalDefaultKind::Value, v, nullptr}; }
constexpr CalDefault unset(double v) { return {CalDefaultKind::Unset, v, nullptr}; }
constexpr CalDefault text(const char* t) { return {CalDefaultKind::Text, 0.0, t}; }
constexpr CalDefault kept() { return {CalDefaultKind::Kept, 0.0, nullptr}; }

constexpr CalValueSpec int_v(const char* name, double lo, double hi, CalFieldGetter field,
                             CalDefault def = {}, uint16_t flags = 0) {
    CalValueSpec v;
    v.name = name;
    v.kind = CalValueKind::Int;
    v.lo = lo;
    v.hi = hi;
    v.field = field;
    v.def = def;
    v.flags = flags;
    return v;
}

constexpr CalValueSpec real_v(const char* name, double lo, double hi, CalFieldGetter field,
                              CalDefault def = {}, uint16_t flags = 0) {
    CalValueSpec v = int_v(name, lo, hi, field, def, flags);
    v.kind = CalValueKind::Real;
    return v;
}

constexpr CalValueSpec scaled(CalValueSpec v, double scale) {
    v.scale = scale;
    return v;
}

constexpr CalValueSpec word_v(const char* name, CalFieldGetter field, CalDefault def = {},
                              uint16_t flags = 0) {
    CalValueSpec v;
    v.name = name;
    v.kind = CalValueKind::Word;
    v.field = field;
    v.def = def;
    v.flags = flags;
    return v;
}

constexpr CalValueSpec kind_v(CalValueSpec v, CalValueKind kind) {
    v.kind = kind;
    return v;
}

// A word read as a hexadecimal byte.
constexpr CalValueSpec hex_v(const char* name, CalFieldGetter field) {
    CalValueSpec v = word_v(name, field);
    v.kind = CalValueKind::HexWord;
    v.hi = 255;
    return v;
}

constexpr CalValueSpec name_v(const char* name, const CalNameTable* table, CalFieldGetter field,
                              CalDefault def = {}, uint16_t flags = 0) {
    CalValueSpec v = word_v(name, field, def, flags);
    v.kind = CalValueKind::Name;
    v.names = table;
    return v;
}

constexpr CalValueSpec pair_v(const char* name, CalValueKind kind, double lo, double hi, double lo2,
                              double hi2, uint16_t flags) {
    CalValueSpec v;
    v.name = name;
    v.kind = kind;
    v.lo = lo;
    v.hi = hi;
    v.lo2 = lo2;
    v.hi2 = hi2;
    v.flags = flags;
    return v;
}

constexpr CalValueSpec duration_v(const char* name, double limit, CalFieldGetter field,
                                  CalDefault def, uint16_t flags) {
    CalValueSpec v = real_v(name, 0, limit, field, def, flags);
    v.kind = CalValueKind::Duration;
    return v;
}

// --- line builders ---------------------------------------------------------

struct Key {
    int32_t key;
    int32_t key2 = CAL_NO_KEY;
};

template <typename... V>
constexpr CalSpecLine line(Key k, const char* writer_key, int16_t row, const char* fields,
                           V... values) {
    static_assert(sizeof...(V) <= kCalMaxLineValues);
    CalSpecLine l;
    l.key = k.key;
    l.key2 = k.key2;
    l.writerKey = writer_key;
    l.writerRow = row;
    l.fields = fields;
    l.valueCount = sizeof...(V);
    int i = 0;
    ((l.values[i++] = values), ...);
    return l;
}

constexpr CalSpecLine special(CalSpecLine l, CalHandler handler) {
    l.kind = CalLineKind::Special;
    l.handler = handler;
    return l;
}

template <typename... F>
constexpr CalSpecLine fails(CalSpecLine l, const F&... failures) {
    static_assert(sizeof...(F) <= 6);
    l.failureCount = sizeof...(F);
    int i = 0;
    ((l.failures[i++] = &failures), ...);
    return l;
}

constexpr CalSpecLine sub(CalSpecLine l, CalSubRecord record) {
    l.subRecord = record;
    return l;
}

constexpr CalSpecLine gives(CalSpecLine l, uint16_t given) {
    l.given = given;
    return l;
}

constexpr CalSpecLine repeat(CalSpecLine l, int32_t min, int32_t max) {
    l.minRepeat = min;
    l.maxRepeat = max;
    return l;
}

constexpr CalSpecLine needs(CalSpecLine l, uint8_t what, const CalFailure* order = nullptr) {
    l.needs = what;
    l.orderFailure = order;
    return l;
}

constexpr CalSpecLine alias(CalSpecLine l, Key k) {
    l.key = k.key;
    l.key2 = k.key2;
    l.writerKey = nullptr;
    l.writerRow = 0;
    return l;
}

constexpr CalSpecLine flag_line(Key k, const char* writer_key, int16_t row, const char* fields,
                                CalFieldGetter field, int32_t value, CalDefault def) {
    CalSpecLine l = line(k, writer_key, row, fields);
    l.kind = CalLineKind::SetFlag;
    l.flagField = field;
    l.constant = value;
    l.flagDefault = def;
    return l;
}

constexpr CalSpecLine on_axis(CalSpecLine l, int32_t axis) {
    l.axis = axis;
    return l;
}

constexpr Key camera(const char* second) { return {cal_tok("camera"), cal_find_token(second)}; }
constexpr Key llc(const char* second) { return {cal_tok("llc"), cal_find_token(second)}; }

constexpr uint16_t OPT = CAL_V_OPTIONAL;
constexpr uint16_t REP = CAL_V_REPEAT;

// A member of the PID set of axis `index`: k = 0 the fast half, 1 the slow.
#define PID(member)                                                                          \
    KELM_GETTER(if (index < 0 || index >= kCalAxes || s.pidVals[index] == nullptr || k < 0 || \
                    k > 1) return {};                                                        \
                PidSet& set = k == 0 ? s.pidVals[index]->fast : s.pidVals[index]->slow;     \
                return cal_field(set.member))
// The ten PID values: two signed gains, two non-negative gains, the integral
// mode flag, a non-negative gain, four filter coefficients.
#define PID_VALUES                                                                    \
    name_v("half", &kCalPidHalves, nullptr, {}, OPT),                                 \
        int_v("i1", -8388608, 8388607, PID(propGain)), int_v("i2", -8388608, 8388607, PID(derGain)), \
        int_v("i3", 0, 8388607, PID(velFfGain)), int_v("i4", 0, 8388607, PID(intGain)),  \
        int_v("b5", 0, 1, PID(intMode)), int_v("i6", 0, 8388607, PID(accelFfGain)),      \
        real_v("r7", -2, 2, PID(n1)), real_v("r8", -2, 2, PID(n2)),                      \
        real_v("r9", -2, 2, PID(d1)), real_v("r10", -2, 2, PID(d2))

#define AXIS_LINES(letter, lower, axis)                                                        \
    on_axis(line({cal_tok("axiscomp_" lower)}, "AxisComp_" letter, 53, "axisComp[" letter "]", \
                 word_v("w", ELEMENT(axisComp, index), text(""))),                              \
            axis),                                                                              \
        on_axis(fails(sub(special(line({cal_tok("pidvals_" lower)}, "PidVals_" letter, 54,     \
                                       "pidVals[" letter "]", PID_VALUES),                      \
                              CalHandler::PidVals),                                             \
                          CalSubRecord::PidVals),                                               \
                      kCalUnrecognizedString),                                                  \
                axis)

#define FTP_LINE(...) sub(line(__VA_ARGS__), CalSubRecord::Ftp)

constexpr CalSpecLine kLines[] = {
    // Identity and hardware.
    line({cal_tok("instrname")}, "InstrName", 2, "instrName",
         word_v("name", FIELD(instrName), text(""))),
    line({cal_tok("unit")}, "Unit", 3, "unit", int_v("n", 0, 7, FIELD(unit), dflt(0))),
    fails(special(line({CAL_KEY_SYSTEM_TYPE}, nullptr, 4, "systemType, buildCode, serialNumber, rFlag",
                       name_v("system", &kCalSystemTypes, FIELD(systemType), dflt(0)),
                       int_v("a", 0, 99, nullptr), int_v("b", 1, 52, nullptr),
                       int_v("serial", 100, 999999, FIELD(serialNumber), unset(0)),
                       kind_v(word_v("R", FIELD(rFlag), kept(), OPT), CalValueKind::Literal)),
                  CalHandler::SystemType),
          kCalUnrecognizedString, kCalExpectedNonNumeric),
    gives(line({cal_tok("version")}, "Version", 5, "frameGrabberType, grabberVersion, instrBdType",
               name_v("grabber", &kCalFrameGrabbers, FIELD(frameGrabberType), dflt(0)),
               int_v("n", 0, 99999, FIELD(grabberVersion), dflt(0)),
               name_v("board", &kCalBoardTypes, FIELD(instrBdType), dflt(0))),
          CAL_GIVEN_VERSION),
    gives(line({cal_tok("instrcomm")}, "InstrComm", 6, "instrComm",
               word_v("settings", FIELD(instrComm), text(""))),
          CAL_GIVEN_COMM),
    gives(fails(sub(special(line({cal_tok("macaddress")}, "MacAddress", 6, "canInfo->macAddress",
                           hex_v("h1", SUB_ELEMENT(canInfo, macAddress, 0)),
                           hex_v("h2", SUB_ELEMENT(canInfo, macAddress, 1)),
                           hex_v("h3", SUB_ELEMENT(canInfo, macAddress, 2)),
                           hex_v("h4", SUB_ELEMENT(canInfo, macAddress, 3)),
                           hex_v("h5", SUB_ELEMENT(canInfo, macAddress, 4)),
                           hex_v("h6", SUB_ELEMENT(canInfo, macAddress, 5))),
                      CalHandler::MacAddress),
              CalSubRecord::Can),
          kCalExpectedNumber),
          CAL_GIVEN_COMM),
    special(line({cal_tok("remote")}, nullptr, 0, "the library-wide Remote text", word_v("name", nullptr)),
            CalHandler::Remote),

    // Camera.
    needs(fails(special(line(camera("type"), "Camera Type", 7, "cameraType, customCamera",
                             name_v("camera", &kCalCameraTypes, FIELD(cameraType), dflt(0)),
                             int_v("v", 0, 1, nullptr, {}, OPT)),
                        CalHandler::CameraType),
                kCalUnexpectedToken),
          CAL_NEEDS_VERSION),
    repeat(fails(special(line(camera("file"), "Camera File", 8, "cameraFiles",
                              word_v("f", ELEMENT(cameraFiles, k), text(""), REP)),
                         CalHandler::CameraFile),
                 kCalExpectedNonNumeric, kCalTooManyCameraFiles),
           1, kCalCameraFiles),
    needs(fails(special(line(camera("config"), "Camera Config", 9, "customCamera",
                             int_v("c1", 0, 1, ELEMENT(customCamera, 2), kept(), CAL_V_VARIANT_A),
                             int_v("c2", 0, 1, ELEMENT(customCamera, 3), kept(), CAL_V_VARIANT_A),
                             int_v("c3", 0, 3, ELEMENT(customCamera, 4), kept(), CAL_V_VARIANT_A),
                             int_v("c4", 0, 1, ELEMENT(customCamera, 5), kept(), CAL_V_VARIANT_A),
                             int_v("c5", 0, 1, ELEMENT(customCamera, 6), kept(), CAL_V_VARIANT_A),
                             int_v("c6", 0, 1, ELEMENT(customCamera, 8), kept(), CAL_V_VARIANT_A),
                             int_v("c7", 0, 1, ELEMENT(customCamera, 7), kept(), CAL_V_VARIANT_A),
                             int_v("c8", 0, 1, ELEMENT(customCamera, 9), kept(), CAL_V_VARIANT_A),
                             int_v("c1", 0, 1, ELEMENT(customCamera, 0), kept(), CAL_V_VARIANT_B),
                             int_v("c2", 0, 15, ELEMENT(customCamera, 1), kept(), CAL_V_VARIANT_B)),
                        CalHandler::CameraConfig),
                kCalUnexpectedToken),
          CAL_NEEDS_VERSION),
    line(camera("dark"), "Camera Dark", 10, "cameraDark",
         int_v("n", 0, 32767, FIELD(cameraDark), dflt(0))),
    line(camera("align"), "Camera Align", 11, "cameraAlign",
         name_v("alignment", &kCalCameraAligns, FIELD(cameraAlign), dflt(0))),
    repeat(fails(special(line(camera("bpixels"), "Camera BPixels", 12, "badPixels",
                              pair_v("[x,y]", CalValueKind::Pair, 0, 700, 0, 484, REP)),
                         CalHandler::BadPixels),
                 kCalTooManyBadPixels, kCalSyntaxError),
           1, kCalBadPixels),
    gives(fails(line(camera("bpix"), "Camera Bpix", 12, "badPixelFileFlag, badPixelFile",
                     int_v("flag", 0, 1, FIELD(badPixelFileFlag), dflt(0)),
                     word_v("file", FIELD(badPixelFile), text(""),
                            OPT | CAL_V_LETTER_FIRST | CAL_V_MARKS_GIVEN)),
                kCalExpectedNonNumeric),
          CAL_GIVEN_BPIX_FILE),
    line(camera("options"), "Camera Options", 13, "cameraOptions",
         int_v("n", 0, 268435455, FIELD(cameraOptions), dflt(0))),
    line(camera("pll"), nullptr, 0, "cameraPll", int_v("n", 0, 1, FIELD(cameraPll), dflt(1))),
    [] {
        CalSpecLine l = line(camera("period"), nullptr, 0, "nothing");
        l.kind = CalLineKind::Ignore;
        return l;
    }(),
    [] {
        CalSpecLine l = special(line(camera("splitx"), "Camera SplitX", 31,
                                     "cameraSplitType = 1, cameraSplitLoc, cameraSplitArg",
                                     int_v("loc", 1, 2047, FIELD(cameraSplitLoc), unset(0)),
                                     int_v("n", 0, 10, FIELD(cameraSplitArg), kept())),
                                CalHandler::CameraSplit);
        l.constant = 1;
        return l;
    }(),
    [] {
        CalSpecLine l = special(line(camera("splity"), "Camera SplitY", 31,
                                     "cameraSplitType = 2, cameraSplitLoc, cameraSplitArg",
                                     int_v("loc", 1, 2047, FIELD(cameraSplitLoc), unset(0)),
                                     int_v("n", 0, 10, FIELD(cameraSplitArg), kept())),
                                CalHandler::CameraSplit);
        l.constant = 2;
        return l;
    }(),
    needs(special(line(camera("trans"), "Camera Trans", 32, "cameraTrans[i]",
                       int_v("i", 0, 14, nullptr, {}, CAL_V_INDEX),
                       int_v("dx", -2047, 2047, INDEXED(cameraTrans, dx), dflt(0)),
                       int_v("dy", -2047, 2047, INDEXED(cameraTrans, dy), dflt(0))),
                  CalHandler::CameraTrans),
          CAL_NEEDS_MAGS, &kCalOrderCameraTrans),
    line({cal_tok("adc"), cal_tok("clock")}, "ADC Clock", 25, "adcClock",
         int_v("n", 0, 511, FIELD(adcClock), dflt(0))),
    line({cal_tok("ramp"), cal_tok("config")}, "Ramp Config", 14, "rampConfigFile",
         word_v("file", FIELD(rampConfigFile), text(kCalDefaultRampConfigFile))),

    // Light and light-level controller.
    needs(repeat(fails(special(line({cal_tok("light")}, "Light", 15, "lightType, wavelength, bandwidth",
                                    name_v("type", &kCalLightTypes, FIELD(lightType), dflt(1)),
                                    pair_v("w", CalValueKind::RealOrPair, 0.1, 15, 0, 1, OPT | REP)),
                               CalHandler::Light),
                       kCalNoWavelength, kCalSyntaxError),
                 0, kCalLightEntries),
          CAL_NEEDS_SYSTEM | CAL_NEEDS_VERSION),
    special(line(llc("instr"), "LLC Instr", 16, "llcInstr, llcInstrComm",
                 name_v("instr", &kCalLlcInstruments, FIELD(llcInstr), dflt(0)),
                 word_v("settings", FIELD(llcInstrComm), text(""))),
            CalHandler::LlcInstr),
    fails(special(line(llc("range"), "LLC Range", 17, "llcRange, llcRange2",
                       int_v("lo", 0, 65535, ELEMENT(llcRange, 0), dflt(0)),
                       int_v("hi", 0, 65535, ELEMENT(llcRange, 1), dflt(0)),
                       int_v("lo2", 0, 4096, ELEMENT(llcRange2, 0), dflt(0), OPT),
                       int_v("hi2", 0, 4096, ELEMENT(llcRange2, 1), dflt(0))),
                  CalHandler::LlcRange),
          kCalExpectedNumber),
    fails(special(line(llc("config"), "LLC Config", 18, "llcChannel[].config",
                       int_v("c1", 0, 255, FIELD(llcChannel[0].config), dflt(1)),
                       int_v("c2", 0, 255, FIELD(llcChannel[1].config), dflt(0), OPT)),
                  CalHandler::LlcConfig),
          kCalExpectedNumber),
    special(line(llc("freq"), "LLC Freq", 19, "llcChannel[].freq",
                 int_v("f", 0, 1000000, CHANNEL(freq), dflt(kCalDefaultLlcFreq))),
            CalHandler::LlcBothChannels),
    gives(line(llc("target"), "LLC Target", 20, "llcTarget",
               int_v("t", 64, 255, FIELD(llcTarget), dflt(kCalDefaultLlcTarget))),
          CAL_GIVEN_LLC_TARGET),
    line(llc("options"), "LLC Options", 21, "llcOptions",
         int_v("n", 0, 268435455, FIELD(llcOptions), dflt(0))),
    fails(line(llc("avgcurlimit"), "LLC AvgCurLimit", 22, "llcChannel[].avgCurLimit",
               int_v("a", 0, 1000, FIELD(llcChannel[0].avgCurLimit[0]), kept()),
               int_v("b", 0, 1000, FIELD(llcChannel[0].avgCurLimit[1]), kept()),
               int_v("c", 0, 1000, FIELD(llcChannel[1].avgCurLimit[0]), kept(), OPT),
               int_v("d", 0, 1000, FIELD(llcChannel[1].avgCurLimit[1]), kept())),
          kCalExpectedNumber),
    fails(line(llc("fwdvoltage"), "LLC FwdVoltage", 23, "llcChannel[].fwdVoltage",
               int_v("a", 0, 10000, FIELD(llcChannel[0].fwdVoltage[0]), kept()),
               int_v("b", 0, 10000, FIELD(llcChannel[0].fwdVoltage[1]), kept()),
               int_v("c", 0, 10000, FIELD(llcChannel[1].fwdVoltage[0]), kept(), OPT),
               int_v("d", 0, 10000, FIELD(llcChannel[1].fwdVoltage[1]), kept())),
          kCalExpectedNumber),
    special(line(llc("alignmodepct"), nullptr, 0, "llcChannel[].alignModePct",
                 real_v("p", 0, 100, CHANNEL(alignModePct), dflt(kCalDefaultAlignModePct))),
            CalHandler::LlcBothChannels),

    // Magnification, scanning and piezo.
    repeat(fails(special(line({cal_tok("nommag")}, "NomMag", 30, "nomMag, magCount",
                              real_v("m", 0, 100, ELEMENT(nomMag, k), dflt(0), REP)),
                         CalHandler::Mags),
                 kCalExpectedNumber, kCalTooManyMags, kCalMagMismatch),
           1, kCalMaxMags),
    repeat(fails(special(line({cal_tok("sysmag")}, "SysMag", 29, "sysMag, magCount",
                              real_v("m", 0, 100, ELEMENT(sysMag, k), dflt(0), REP)),
                         CalHandler::Mags),
                 kCalExpectedNumber, kCalTooManyMags, kCalMagMismatch),
           1, kCalMaxMags),
    fails(line({cal_tok("scancal")}, "ScanCal", 34, "scanCal",
               real_v("s1", 0.85, 1.15, ELEMENT(scanCal, 0), dflt(1)),
               real_v("s2", 0.85, 1.15, ELEMENT(scanCal, 1), dflt(1), OPT)),
          kCalExpectedNumber),
    special(line({cal_tok("sdccal")}, "SdcCal", 45, "sdcCal[i]", int_v("i", 0, 14, nullptr, {}, CAL_V_INDEX),
                 real_v("c1", -kMaxSingle, kMaxSingle, INDEXED(sdcCal, c1), unset(kMaxSingle), OPT),
                 real_v("c2", -kMaxSingle, kMaxSingle, INDEXED(sdcCal, c2), unset(kMaxSingle), OPT),
                 real_v("c3", -kMaxSingle, kMaxSingle, INDEXED(sdcCal, c3), unset(kMaxSingle), OPT),
                 real_v("c4", -kMaxSingle, kMaxSingle, INDEXED(sdcCal, c4), unset(kMaxSingle), OPT),
                 real_v("c5", -kMaxSingle, kMaxSingle, INDEXED(sdcCal, c5), unset(kMaxSingle), OPT),
                 real_v("c6", -kMaxSingle, kMaxSingle, INDEXED(sdcCal, c6), unset(kMaxSingle), OPT),
                 real_v("c7", 0, kMaxSingle, INDEXED(sdcCal, c7), dflt(0), OPT),
                 real_v("c8", 0, kMaxSingle, INDEXED(sdcCal, c8), dflt(0), OPT)),
            CalHandler::SdcCal),
    gives(fails(sub(special(line({cal_tok("pifoc")}, "Pifoc", 26, "pifocInfo->id, scale, beta",
                                 int_v("id", 0, 999999, SUB(pifocInfo, id)),
                                 real_v("scale", 0.5, 2, SUB(pifocInfo, scale), {}, OPT),
                                 real_v("beta", 0, 0.1, SUB(pifocInfo, beta))),
                            CalHandler::Pifoc),
                        CalSubRecord::Pifoc),
                kCalBetaRange, kCalExpectedNumber),
          CAL_GIVEN_PIFOC),
    gives(sub(special(line({cal_tok("pztid")}, nullptr, 0, "pifocInfo->id, scale, beta",
                           int_v("id", 0, 99999, SUB(pifocInfo, id))),
                      CalHandler::Pifoc),
              CalSubRecord::Pifoc),
          CAL_GIVEN_PIFOC),
    line({cal_tok("pifocpolarity")}, "PifocPolarity", 27, "pifocPolarity",
         int_v("p", -1, 1, FIELD(pifocPolarity), dflt(0))),
    sub(line({cal_tok("pifoctype")}, "PifocType", 28, "pifocInfo->type",
             int_v("t", 0, 2, SUB(pifocInfo, type))),
        CalSubRecord::Pifoc),
    line({cal_tok("pztpwr")}, "PztPwr", 24, "pztPwr",
         int_v("p", -1, 1000, FIELD(pztPwr), dflt(kCalDefaultPztPwr))),

    // Accessories, axes and motion.
    line({cal_tok("turret")}, "Turret", 35, "turret, turret2",
         int_v("t", 0, 255, FIELD(turret), dflt(0)),
         int_v("t2", 0, 255, FIELD(turret2), dflt(kCalDefaultTurret2), OPT)),
    line({cal_tok("zoom")}, "Zoom", 36, "zoom", int_v("z", 0, 255, FIELD(zoom), dflt(0))),
    // The Ignore lines in the order the writer emits them.
    flag_line({cal_tok("ignoredualbrushmotor")}, "IgnoreDualBrushMotor", 37, "dualBrushMotor",
              FIELD(dualBrushMotor), 0, dflt(1)),
    flag_line({cal_tok("ignorelaps")}, "IgnoreLAPS", 37, "laps", FIELD(laps), 0, dflt(1)),
    flag_line({cal_tok("ignorewand")}, "IgnoreWand", 37, "wand", FIELD(wand), 0, dflt(1)),
    flag_line({cal_tok("ignorefocusndw")}, "IgnoreFocusNDW", 37, "focusNdw", FIELD(focusNdw), 0, dflt(1)),
    flag_line({cal_tok("ignorezoom")}, "IgnoreZoom", 37, "zoomUsed", FIELD(zoomUsed), 0, dflt(1)),
    flag_line({cal_tok("ignorepzt")}, "IgnorePZT", 37, "pzt", FIELD(pzt), 0, dflt(1)),
    [] {
        CalSpecLine l = needs(flag_line({cal_tok("ringspot")}, "RingSpot", 38, "ringSpot",
                                        FIELD(ringSpot), 1, dflt(0)),
                              CAL_NEEDS_SYSTEM | CAL_NEEDS_VERSION);
        l.kind = CalLineKind::Special;
        l.handler = CalHandler::RingSpot;
        return l;
    }(),
    line({cal_tok("xaxisbacklash")}, "XAxisBacklash", 41, "xAxisBacklash",
         real_v("v", 0, 1000, SINGLE(xAxisBacklash), dflt(0))),
    line({cal_tok("yaxisbacklash")}, "YAxisBacklash", 41, "yAxisBacklash",
         real_v("v", 0, 1000, SINGLE(yAxisBacklash), dflt(0))),
    line({cal_tok("zaxiscal")}, "ZAxisCal", 42, "zAxisCal",
         real_v("v", 0.85, 1.15, FIELD(zAxisCal), dflt(1))),
    line({cal_tok("zaxisbacklash")}, "ZAxisBacklash", 43, "zAxisBacklash",
         real_v("v", 0, 100, SINGLE(zAxisBacklash), dflt(kCalDefaultZAxisBacklash))),
    line({cal_tok("zencoder")}, "ZEncoder", 44, "zEncoder", int_v("f", 0, 1, FIELD(zEncoder), dflt(0))),
    line({cal_tok("zcanclosedloop")}, "ZCanClosedLoop", 44, "zExternalClosedLoop",
         int_v("f", 0, 1, FIELD(zExternalClosedLoop), dflt(0))),
    line({cal_tok("motionctrl")}, "MotionCtrl", 49, "motionCtrl",
         word_v("w1", ELEMENT(motionCtrl, 0), text("")), word_v("w2", ELEMENT(motionCtrl, 1), text(""))),
    special(line({cal_tok("posinstr")}, "PosInstr", 50, "posInstrType, posInstrArg",
                 name_v("instr", &kCalPosInstruments, FIELD(posInstrType), dflt(0)),
                 word_v("w1", ELEMENT(posInstrArg, 0), text("")),
                 word_v("w2", ELEMENT(posInstrArg, 1), text(""), OPT)),
            CalHandler::PosInstr),
    special(line({cal_tok("tempsensor")}, "TempSensor", 51, "tempSensorType, tempSensorArg",
                 name_v("sensor", &kCalTempSensors, FIELD(tempSensorType), dflt(0)),
                 word_v("w", FIELD(tempSensorArg), text(""))),
            CalHandler::TempSensor),
    line({cal_tok("pendentmenu")}, "PendentMenu", 52, "pendentMenu",
         word_v("w", FIELD(pendentMenu), text(""))),
    AXIS_LINES("A", "a", 0),
    AXIS_LINES("B", "b", 1),
    AXIS_LINES("P", "p", 2),
    AXIS_LINES("R", "r", 3),
    AXIS_LINES("T", "t", 4),
    AXIS_LINES("X", "x", 5),
    AXIS_LINES("Y", "y", 6),
    AXIS_LINES("Z", "z", 7),
    sub(line({cal_tok("vegaenczoomconfig")}, "VegaEncZoomConfig", 61, "encZoom->config",
             int_v("n", 0, 255, SUB(encZoom, config))),
        CalSubRecord::EncZoom),
    sub(line({cal_tok("vegaenczoombacklash")}, "VegaEncZoomBacklash", 61, "encZoom->backlash",
             int_v("n", -1000, 1000, SUB(encZoom, backlash))),
        CalSubRecord::EncZoom),
    sub(line({cal_tok("vegaenczoomproglim")}, "VegaEncZoomProgLim", 61, "encZoom->progLim",
             int_v("lo", 0, 60000, SUB_ELEMENT(encZoom, progLim, 0)),
             int_v("hi", 0, 60000, SUB_ELEMENT(encZoom, progLim, 1))),
        CalSubRecord::EncZoom),
    sub(line({cal_tok("vegaenczoomwandlim")}, "VegaEncZoomWandLim", 61, "encZoom->wandLim",
             int_v("lo", 0, 60000, SUB_ELEMENT(encZoom, wandLim, 0)),
             int_v("hi", 0, 60000, SUB_ELEMENT(encZoom, wandLim, 1))),
        CalSubRecord::EncZoom),
    repeat(fails(sub(special(line({cal_tok("vegaenczoomstdmags")}, "VegaEncZoomStdMags", 61,
                                  "encZoom->stdMags, stdMagCount",
                                  real_v("m", 0, 100, SUB_ELEMENT(encZoom, stdMags, k), {}, REP)),
                             CalHandler::EncZoomStdMags),
                         CalSubRecord::EncZoom),
                 kCalExpectedNumber, kCalTooManyStdMags),
           1, kCalMaxMags),
    sub(line({cal_tok("vegaenczoomcalfile")}, "VegaEncZoomCalFile", 61, "encZoom->calFile",
             word_v("file", SUB(encZoom, calFile))),
        CalSubRecord::EncZoom),
    line({cal_tok("diffdiskrate")}, "DiffDiskRate", 39, "diffDiskRate",
         real_v("r", 10, 80, FIELD(diffDiskRate), unset(kCalDefaultDiffDiskRate))),
    line({cal_tok("diffdiskfraction")}, "DiffDiskFraction", 40, "diffDiskFraction",
         real_v("f", 0, 2, FIELD(diffDiskFraction), dflt(kCalDefaultDiffDiskFraction), CAL_V_LOWER_OPEN)),
    fails(special(line({cal_tok("sleeptimeout")}, "SleepTimeout", 63, "sleepTimeout",
                       duration_v("h[:m[:s]]", 20864, FIELD(sleepTimeout), dflt(kCalDefaultSleepTimeout), 0)),
                  CalHandler::SleepTimeout),
          kCalDurationRange, kCalSyntaxError),
    gives(line({cal_tok("invertdata")}, "InvertData", 47, "invertData",
               int_v("n", 0, 255, FIELD(invertData), dflt(0))),
          CAL_GIVEN_INVERT_DATA),
    flag_line({cal_tok("nointensavg")}, "NoIntensAvg", 48, "noIntensAvg", FIELD(noIntensAvg), 1, dflt(0)),
    flag_line({cal_tok("touchscreen")}, "TouchScreen", 48, "touchScreen", FIELD(touchScreen), 1, dflt(0)),
    line({cal_tok("radcrvfoccal")}, "RadCrvFocCal", 46, "radCrvFocCal",
         real_v("v", -100, 100, FIELD(radCrvFocCal), dflt(1))),
    line({cal_tok("radcrvpwrcal")}, "RadCrvPwrCal", 46, "radCrvPwrCal",
         real_v("v", -100, 100, FIELD(radCrvPwrCal), dflt(1))),
    fails(special(line({cal_tok("encodedradiusscale")}, "EncodedRadiusScale", 62, "encodedRadiusScale",
                       int_v("f", 0, 1, FIELD(encodedRadiusScale.flag), dflt(0)),
                       real_v("a", 0, 1, FIELD(encodedRadiusScale.a), dflt(0)),
                       real_v("b", 0, 1, FIELD(encodedRadiusScale.b), dflt(0)),
                       int_v("n", 0, 20, FIELD(encodedRadiusScale.n), dflt(0)),
                       real_v("c", 0, 1, FIELD(encodedRadiusScale.c), dflt(0), OPT)),
                  CalHandler::RadiusScale),
          kCalExpectedNumber),
    special(line({cal_tok("intfradiusscale")}, "IntfRadiusScale", 62, "intfRadiusScale",
                 int_v("f", 0, 1, FIELD(intfRadiusScale.flag), dflt(0)),
                 real_v("a", 0, 1, FIELD(intfRadiusScale.a), dflt(0)),
                 real_v("b", 0, 1, FIELD(intfRadiusScale.b), dflt(0)),
                 int_v("n", 0, 20, FIELD(intfRadiusScale.n), dflt(0)),
                 real_v("c", 0, 1, FIELD(intfRadiusScale.c), dflt(0))),
            CalHandler::RadiusScale),

    // Wave monitor, wavemeter and wave generator.
    gives(line({cal_tok("wmcomm")}, "wmComm", 55, "wmComm", word_v("settings", FIELD(wmComm), kept())),
          CAL_GIVEN_WM_LINK),
    gives(line({cal_tok("wmsysgain")}, "wmSysGain", 56, "wmSysGain",
               real_v("g", 0, kInt32Max, FIELD(wmSysGain), kept())),
          CAL_GIVEN_SYS_GAIN),
    gives(line({cal_tok("wmmonopd")}, "wmMonOPD", 56, "wmMonOPD",
               real_v("v", 0, kInt32Max, FIELD(wmMonOPD), dflt(0))),
          CAL_GIVEN_OPD),
    fails(line({cal_tok("wmtunerange")}, "wmTuneRange", 57, "wmTuneRange (second value first)",
               scaled(real_v("a", 0, kInt32Max, ELEMENT(wmTuneRange, 1), unset(kNotSet)), 1e9),
               scaled(real_v("b", 0, kInt32Max, ELEMENT(wmTuneRange, 0), dflt(0), CAL_V_PEEK_NUMBER), 1e9)),
          kCalExpectedNumber),
    fails(line({cal_tok("wmtunerate")}, "wmTuneRate", 57, "wmTuneRate (second value first)",
               scaled(real_v("a", 0, kInt32Max, ELEMENT(wmTuneRate, 1), unset(kNotSet)), 1e9),
               scaled(real_v("b", 0, kInt32Max, ELEMENT(wmTuneRate, 0), dflt(0), CAL_V_PEEK_NUMBER), 1e9)),
          kCalExpectedNumber),
    fails(line({cal_tok("wmmaxbuckets")}, nullptr, 0, "wmMaxBuckets, wmMaxBytes",
               int_v("n", 0, kInt32Max, FIELD(wmMaxBuckets), dflt(kCalDefaultWmMaxBuckets)),
               scaled(int_v("m", 0, kInt32Max, FIELD(wmMaxBytes), dflt(kCalDefaultWmMaxBytes),
                            CAL_V_PEEK_NUMBER | CAL_V_SATURATE),
                      1048576)),
          kCalExpectedNumber),
    line({cal_tok("abswavemeter")}, "AbsWaveMeter", 59, "absWaveMeterFlag, absWaveMeterArg",
         int_v("f", 0, 1, FIELD(absWaveMeterFlag), dflt(0)),
         word_v("settings", FIELD(absWaveMeterArg), text(""))),
    fails(sub(special(line({cal_tok("dynwavegen")}, "DynWaveGen", 60, "dynWaveGen",
                           kind_v(int_v("w1", -kInt32Max - 1, kInt32Max, SUB(dynWaveGen, first), kept()),
                                  CalValueKind::DecWord),
                           int_v("n", 0, 30, SUB(dynWaveGen, second), kept()),
                           kind_v(int_v("w2", kCalDynWaveGenLo, kCalDynWaveGenHi, SUB(dynWaveGen, third),
                                        kept()),
                                  CalValueKind::DecWord)),
                      CalHandler::DynWaveGen),
              CalSubRecord::DynWaveGen),
          kCalRangeOrZero, kCalExpectedNumber),
    line({cal_tok("ftpsiinvertdata")}, "FtpsiInvertData", 58, "ftpsiInvertData",
         int_v("n", 0, 255, FIELD(ftpsiInvertData), dflt(0))),

    // FTP instrument.
    FTP_LINE({cal_tok("ftpmaterials")}, "FTPMaterials", 33, "ftpInfo->materialsFile",
             word_v("file", SUB(ftpInfo, materialsFile))),
    FTP_LINE({cal_tok("ftpsys")}, "FTPSys", 33, "ftpInfo->sys",
             real_v("a", 0, 1, SUB_ELEMENT(ftpInfo, sys, 0)), real_v("b", 0, 1, SUB_ELEMENT(ftpInfo, sys, 1)),
             real_v("c", -1, 1, SUB_ELEMENT(ftpInfo, sys, 2)), real_v("d", 0, 10, SUB_ELEMENT(ftpInfo, sys, 3))),
    FTP_LINE({cal_tok("ftpdmiscale")}, "FTPDmiScale", 33, "ftpInfo->dmiScale",
             real_v("s", 1.5, 2.5, SUB(ftpInfo, dmiScale))),
    FTP_LINE({cal_tok("ftpimagerot")}, "FTPImageRot", 33, "ftpInfo->imageRot",
             real_v("r", 0, 1, SUB(ftpInfo, imageRot))),
    fails(FTP_LINE({cal_tok("ftpzeroptpos")}, "FTPZeroPtPos", 33, "ftpInfo->zeroPtPos",
                   real_v("a", -10, 10, SUB_ELEMENT(ftpInfo, zeroPtPos, 0)),
                   real_v("b", -10, 10, SUB_ELEMENT(ftpInfo, zeroPtPos, 1), {}, OPT)),
          kCalExpectedNumber),
    needs(repeat(fails(special(FTP_LINE({cal_tok("ftpdisper")}, "FTPDisper", 33, "ftpInfo->disper[i]",
                                        int_v("i", 0, 14, nullptr, {}, CAL_V_INDEX),
                                        real_v("d", -kTwoPi, kTwoPi,
                                               KELM_GETTER(if (s.ftpInfo == nullptr || index < 0 ||
                                                               index >= kCalMaxMags) return {};
                                                           return element(s.ftpInfo->disper[index], k)),
                                               {}, REP)),
                               CalHandler::FtpList),
                       kCalNotEnoughFtpValues, kCalTooManyFtpValues, kCalExpectedNumber),
                 2, 10),
          CAL_NEEDS_MAGS, &kCalOrderFtpDisper),
    needs(repeat(fails(special(FTP_LINE({cal_tok("ftpavg_k0")}, "FTPAvg_K0", 33, "ftpInfo->avgK0[i]",
                                        int_v("i", 0, 14, nullptr, {}, CAL_V_INDEX),
                                        real_v("k", 0, 100,
                                               KELM_GETTER(if (s.ftpInfo == nullptr || index < 0 ||
                                                               index >= kCalMaxMags) return {};
                                                           return element(s.ftpInfo->avgK0[index], k)),
                                               {}, REP)),
                               CalHandler::FtpList),
                       kCalNotEnoughFtpValues, kCalTooManyFtpValues, kCalExpectedNumber),
                 2, 10),
          CAL_NEEDS_MAGS, &kCalOrderFtpDisper),
    needs(special(FTP_LINE({cal_tok("ftpdmicenter")}, "FTPDmiCenter", 33, "ftpInfo->dmiCenter[i]",
                           int_v("i", 0, 14, nullptr, {}, CAL_V_INDEX), real_v("x", -100, 100, SUB_INDEXED(ftpInfo, dmiCenter, x)),
                           real_v("y", -100, 100, SUB_INDEXED(ftpInfo, dmiCenter, y))),
                  CalHandler::FtpCenter),
          CAL_NEEDS_MAGS, &kCalOrderFtpDmiCenter),
    needs(special(FTP_LINE({cal_tok("ftptiltcenter")}, "FTPTiltCenter", 33, "ftpInfo->tiltCenter[i]",
                           int_v("i", 0, 14, nullptr, {}, CAL_V_INDEX), real_v("x", -100, 100, SUB_INDEXED(ftpInfo, tiltCenter, x)),
                           real_v("y", -100, 100, SUB_INDEXED(ftpInfo, tiltCenter, y))),
                  CalHandler::FtpCenter),
          CAL_NEEDS_MAGS, &kCalOrderFtpTiltCenter),
    fails(special(FTP_LINE({cal_tok("ftpzerogageper")}, "FTPZeroGagePer", 33, "ftpInfo->zeroGagePeriod",
                           duration_v("d[:h[:m[:s]]]", 8640000, SUB(ftpInfo, zeroGagePeriod), {},
                                      CAL_V_DAYS_FIRST)),
                  CalHandler::FtpPeriod),
          kCalDurationRange, kCalSyntaxError),
    fails(special(FTP_LINE({cal_tok("ftptemperature")}, "FTPTemperature", 33,
                           "ftpInfo->temperaturePeriod, temperatureValue",
                           duration_v("d:h:m:s", 8640000, SUB(ftpInfo, temperaturePeriod), {},
                                      CAL_V_DAYS_FIRST | CAL_V_ALL_PARTS),
                           real_v("t", 0, 5, SUB(ftpInfo, temperatureValue))),
                  CalHandler::FtpTemperature),
          kCalDurationRange, kCalSyntaxError),
    fails(FTP_LINE({cal_tok("ftplog")}, "FTPLog", 33, "ftpInfo->logFile, logParam",
                   word_v("file", SUB(ftpInfo, logFile)),
                   real_v("p1", 0, kInt32Max, SUB_ELEMENT(ftpInfo, logParam, 0), {}, OPT),
                   real_v("p2", 0, kInt32Max, SUB_ELEMENT(ftpInfo, logParam, 1), {}, OPT)),
          kCalExpectedNumber),
};

constexpr const CalSpecLine& line_of(Key k) {
    for (const CalSpecLine& l : kLines) {
        if (l.key == k.key && l.key2 == k.key2) return l;
    }
    throw "no such line";
}

// Words that begin the same line as another word: the reader treats them as
// that line, the writer writes only the line itself.
constexpr CalSpecLine kAliases[] = {
    alias(line_of(camera("bpixels")), camera("bad")),
    alias(line_of(camera("config")), camera("configuration")),
    alias(line_of({cal_tok("ftpavg_k0")}), {cal_tok("ftpavgk0")}),
    alias(line_of({cal_tok("ftpzerogageper")}), {cal_tok("ftpsysinitper")}),
};

constexpr auto kAllLines = [] {
    std::array<CalSpecLine, std::size(kLines) + std::size(kAliases)> all{};
    size_t n = 0;
    for (const CalSpecLine& l : kLines) all[n++] = l;
    for (const CalSpecLine& l : kAliases) all[n++] = l;
    return all;
}();

#undef FTP_LINE
#undef AXIS_LINES
#undef PID_VALUES
#undef PID

}  // namespace

const CalNameTable kCalPidHalves{"PID half", kPidHalfNames, "Fast"};

std::span<const CalSpecLine> cal_spec_lines() { return kAllLines; }

bool cal_is_two_word_key(int32_t token) {
    return token == cal_tok("camera") || token == cal_tok("llc") || token == cal_tok("adc") ||
           token == cal_tok("ramp");
}

const CalSpecLine* cal_find_spec_line(int32_t key, int32_t key2) {
    if (!cal_is_two_word_key(key)) {
        key2 = CAL_NO_KEY;
        if (cal_name_value(kCalSystemTypes, cal_token_word(key)) != CAL_NO_VALUE) {
            key = CAL_KEY_SYSTEM_TYPE;
        }
    }
    for (const CalSpecLine& l : kAllLines) {
        if (l.key == key && l.key2 == key2) return &l;
    }
    return nullptr;
}

bool cal_need_sub_record(SystemInfo& si, const CalSpecLine& line) {
    switch (line.subRecord) {
        case CalSubRecord::None: return true;
        case CalSubRecord::Pifoc: return sb_need_pifoc_info(si) != nullptr;
        case CalSubRecord::PidVals: return sb_need_pid_vals(si, line.axis) != nullptr;
        case CalSubRecord::EncZoom: return sb_need_enc_zoom(si) != nullptr;
        case CalSubRecord::DynWaveGen: return sb_need_dyn_wave_gen(si) != nullptr;
        case CalSubRecord::Ftp: return sb_need_ftp_info(si) != nullptr;
        case CalSubRecord::Can: return sb_need_can_info(si) != nullptr;
    }
    return false;
}
