#include "calibration/cal_read_line.h"

#include <charconv>
#include <limits>
#include <optional>
#include <string>

#include "calibration/cal_read_error.h"
#include "calibration/cal_spec_table.h"
#include "calibration/cal_subrecords_alloc.h"
#include "calibration/cal_vocab.h"
#include "errors/err_codes.h"

namespace {

constexpr double kMicrometre = 1e-6;

// --- failures --------------------------------------------------------------

bool has_failure(const CalSpecLine& line, const CalFailure& failure) {
    for (int i = 0; i < line.failureCount; ++i) {
        if (line.failures[i] == &failure) return true;
    }
    return false;
}

// The first failure of a line prints its text and sets its code; a line
// that failed already stays as it is.
void fail(CalReadState& st, const CalFailure& failure) {
    if (st.status != 0) return;
    cal_read_error("%s", failure.text);
    st.status = failure.code;
}

// A failure without a message of its own.
void fail_quietly(CalReadState& st) {
    if (st.status == 0) st.status = ERR_SB_CALFILE_SYNTAX;
}

// --- values ----------------------------------------------------------------

bool is_number_kind(CalValueKind kind) {
    return kind == CalValueKind::Int || kind == CalValueKind::Real || kind == CalValueKind::DecWord ||
           kind == CalValueKind::Duration;
}

// Whether the class of the next character announces a value of this kind.
bool announces(const CalValueSpec& v, CalCharClass cls) {
    switch (v.kind) {
        case CalValueKind::Int:
        case CalValueKind::Real:
        case CalValueKind::DecWord:
        case CalValueKind::Duration: return cls == CAL_CLASS_NUMBER;
        case CalValueKind::Name:
        case CalValueKind::Literal: return cls == CAL_CLASS_WORD;
        case CalValueKind::Pair: return cls == CAL_CLASS_BRACKET;
        case CalValueKind::RealOrPair: return cls == CAL_CLASS_NUMBER || cls == CAL_CLASS_BRACKET;
        case CalValueKind::Word:
            return (v.flags & CAL_V_LETTER_FIRST) != 0 ? cls == CAL_CLASS_WORD : cls != CAL_CLASS_END;
        case CalValueKind::HexWord: return cls != CAL_CLASS_END;
    }
    return false;
}

// An optional value announced by something else fails the line with the
// line's text for that case, or quietly when it has none.
void fail_unannounced(CalReadState& st, const CalSpecLine& line, const CalValueSpec& v) {
    if (is_number_kind(v.kind) && has_failure(line, kCalExpectedNumber)) {
        fail(st, kCalExpectedNumber);
    } else if (!is_number_kind(v.kind) && has_failure(line, kCalExpectedNonNumeric)) {
        fail(st, kCalExpectedNonNumeric);
    } else {
        fail_quietly(st);
    }
}

// A word read as an integer in base 10 or 16, within [lo, hi]. A word that is
// not a number fails with "Expected number.".
int64_t read_word_number(CalReadState& st, const CalValueSpec& v, int base, bool zero_allowed = false) {
    const std::optional<std::string> word = cal_next_word(st.in, st.status);
    if (!word) return 0;
    int64_t value = 0;
    const char* first = word->data();
    const char* last = first + word->size();
    if (base == 10 && first != last && *first == '+') ++first;
    const std::from_chars_result r = std::from_chars(first, last, value, base);
    if (r.ec != std::errc{} || r.ptr != last || first == last) {
        if (r.ec == std::errc::result_out_of_range && r.ptr == last) {
            value = std::numeric_limits<int64_t>::max();  // beyond every range
        } else {
            fail(st, kCalExpectedNumber);
            return 0;
        }
    }
    if (zero_allowed && value == 0) return 0;
    if (value < v.lo || value > v.hi) {
        const int lo = static_cast<int>(v.lo);
        const int hi = static_cast<int>(v.hi);
        const bool fits = value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max();
        if (zero_allowed) {
            cal_read_error(kCalRangeOrZero.text, fits ? static_cast<int>(value) : hi + 1, lo, hi);
        } else if (fits) {
            cal_read_error(kCalIntRangeFormat, static_cast<int>(value), lo, hi);
        } else {
            cal_read_error("%lld out of range [%d,%d]", static_cast<long long>(value), lo, hi);
        }
        st.status = ERR_SB_CALFILE_VALUE_RANGE;
        return 0;
    }
    return value;
}

// A duration: numbers joined by ':' words, each in [0, 100], summed into
// seconds (hours first, or days first). `parts` receives how many were given.
double read_duration(CalReadState& st, const CalValueSpec& v, int& parts) {
    static constexpr double kDaysFirst[] = {86400, 3600, 60, 1};
    static constexpr double kHoursFirst[] = {3600, 60, 1};
    const bool days = (v.flags & CAL_V_DAYS_FIRST) != 0;
    const double* units = days ? kDaysFirst : kHoursFirst;
    const int max_parts = days ? 4 : 3;
    double total = 0.0;
    parts = 0;
    for (;;) {
        const double x = cal_read_real(st.in, st.status, 0, 100);
        if (st.status != 0) return 0.0;
        total += x * units[parts++];
        if (parts == max_parts) break;
        const CalCharClass cls = cal_peek_class(st.in, st.status);
        if (cls == CAL_CLASS_END) break;
        if (cls != CAL_CLASS_COLON) {
            fail(st, kCalSyntaxError);
            return 0.0;
        }
        (void)cal_next_word(st.in, st.status);  // the ':'
    }
    if (total > v.hi) {
        fail(st, kCalDurationRange);
        return 0.0;
    }
    return total;
}

// A number value of any number kind (durations through read_duration).
double read_number(CalReadState& st, const CalValueSpec& v) {
    switch (v.kind) {
        case CalValueKind::Int:
            return cal_read_int(st.in, st.status, static_cast<int32_t>(v.lo), static_cast<int32_t>(v.hi));
        case CalValueKind::Real:
            return cal_read_real(st.in, st.status, v.lo, v.hi, (v.flags & CAL_V_LOWER_OPEN) == 0,
                                 (v.flags & CAL_V_UPPER_OPEN) == 0);
        case CalValueKind::DecWord: return static_cast<double>(read_word_number(st, v, 10));
        case CalValueKind::HexWord: return static_cast<double>(read_word_number(st, v, 16));
        case CalValueKind::Duration: {
            int parts = 0;
            return read_duration(st, v, parts);
        }
        default: return 0.0;
    }
}

CalFieldRef field_of(CalReadState& st, const CalValueSpec& v, int32_t index, int32_t k) {
    return v.field != nullptr ? v.field(st.si, index, k) : CalFieldRef{};
}

// Stores value × scale; a saturating value stays within the 32-bit field.
void store_number(const CalFieldRef& field, const CalValueSpec& v, double value) {
    double scaled = value * v.scale;
    if ((v.flags & CAL_V_SATURATE) != 0) {
        constexpr double kMax = std::numeric_limits<int32_t>::max();
        if (scaled > kMax) scaled = kMax;
    }
    cal_store_number(field, scaled);
}

// A name position: a vocabulary word of the table. `quiet`: a wrong word or
// none fails the line without a message of its own.
int32_t read_name(CalReadState& st, const CalNameTable& table, bool quiet = false) {
    const int32_t token = cal_next_keyword(st.in, st.status);
    if (st.status != 0) return CAL_NO_VALUE;
    int32_t value = CAL_NO_VALUE;
    if (token >= 0) value = cal_name_value(table, cal_token_word(token));
    if (value != CAL_NO_VALUE) return value;
    if (quiet) {
        fail_quietly(st);
    } else if (token == CAL_TOK_EOF) {
        fail(st, kCalUnexpectedEof);
    } else if (token == CAL_TOK_EOL) {
        fail(st, kCalUnexpectedEol);
    } else {
        fail(st, kCalUnexpectedToken);
    }
    return CAL_NO_VALUE;
}

// Reads one value into its field (element `index`, position `k`).
void read_value(CalReadState& st, const CalValueSpec& v, int32_t index, int32_t k) {
    switch (v.kind) {
        case CalValueKind::Word: {
            const std::optional<std::string> word = cal_next_word(st.in, st.status);
            if (word) cal_store_text(field_of(st, v, index, k), *word);
            return;
        }
        case CalValueKind::Name: {
            const int32_t value = read_name(st, *v.names);
            if (st.status == 0) cal_store_number(field_of(st, v, index, k), value);
            return;
        }
        case CalValueKind::Literal:
        case CalValueKind::Pair:
        case CalValueKind::RealOrPair: return;  // read by their lines' handlers
        default: {
            // A value that failed is stored as 0, as the line's earlier values stay.
            const double value = read_number(st, v);
            store_number(field_of(st, v, index, k), v, value);
            return;
        }
    }
}

struct WalkResult {
    int32_t read = 0;          // values read
    bool markedGiven = false;  // a CAL_V_MARKS_GIVEN value was read
};

// Reads values [from, to) of a line in order: an index value selects the
// element of the later ones, an optional value is read only when announced
// (the line ends quietly before it), a peek-number value must be announced
// by a number. `variant` keeps only the values of one form of the line.
WalkResult walk_values(CalReadState& st, const CalSpecLine& line, int from, int to, int32_t index,
                       uint16_t variant = 0) {
    WalkResult result;
    for (int i = from; i < to && st.status == 0; ++i) {
        const CalValueSpec& v = line.values[i];
        const uint16_t forms = v.flags & (CAL_V_VARIANT_A | CAL_V_VARIANT_B);
        if (forms != 0 && forms != variant) continue;
        if ((v.flags & (CAL_V_OPTIONAL | CAL_V_PEEK_NUMBER)) != 0) {
            const CalCharClass cls = cal_peek_class(st.in, st.status);
            if ((v.flags & CAL_V_OPTIONAL) != 0 && cls == CAL_CLASS_END) break;
            if (!announces(v, cls)) {
                if ((v.flags & CAL_V_PEEK_NUMBER) != 0) {
                    fail(st, kCalExpectedNumber);
                } else {
                    fail_unannounced(st, line, v);
                }
                break;
            }
        }
        if ((v.flags & CAL_V_INDEX) != 0) {
            index = static_cast<int32_t>(read_number(st, v));
        } else {
            read_value(st, v, index, 0);
        }
        if (st.status != 0) break;
        ++result.read;
        if ((v.flags & CAL_V_MARKS_GIVEN) != 0) result.markedGiven = true;
    }
    return result;
}

WalkResult walk_all(CalReadState& st, const CalSpecLine& line) {
    return walk_values(st, line, 0, line.valueCount, line.axis);
}

// A bracketed pair "[a,b]" whose '[' is next: a in [lo, hi], b in [lo2, hi2].
// A wrong separator fails with "Syntax error.".
bool read_pair(CalReadState& st, const CalValueSpec& v, bool integers, double& a, double& b) {
    auto expect = [&st](const char* word) {
        const std::optional<std::string> w = cal_next_word(st.in, st.status);
        if (st.status == 0 && (!w || *w != word)) fail(st, kCalSyntaxError);
    };
    auto number = [&st, integers](double lo, double hi) {
        if (integers) return static_cast<double>(cal_read_int(st.in, st.status, static_cast<int32_t>(lo),
                                                              static_cast<int32_t>(hi)));
        return cal_read_real(st.in, st.status, lo, hi);
    };
    expect("[");
    a = number(v.lo, v.hi);
    expect(",");
    b = number(v.lo2, v.hi2);
    expect("]");
    return st.status == 0;
}

// A list of up to `max` numbers of one value spec: the first must be a
// number ("Expected number."), later ones a number or the end of the line.
// Calls `store(k, value)` for each; returns how many were read.
template <typename Store>
int32_t read_number_list(CalReadState& st, const CalValueSpec& v, int32_t max, const CalFailure& too_many,
                         Store store) {
    int32_t count = 0;
    for (;;) {
        const CalCharClass cls = cal_peek_class(st.in, st.status);
        if (st.status != 0) break;
        if (cls == CAL_CLASS_END && count > 0) break;
        if (cls != CAL_CLASS_NUMBER) {
            fail(st, kCalExpectedNumber);
            break;
        }
        if (count == max) {
            fail(st, too_many);
            break;
        }
        const double value = read_number(st, v);
        store(count, value);
        if (st.status != 0) break;
        ++count;
    }
    return count;
}

// --- lines with rules of their own -------------------------------------------

void read_system_type(CalReadState& st, const CalSpecLine& line, int32_t token) {
    SystemInfo& si = st.si;
    si.systemType = cal_name_value(kCalSystemTypes, cal_token_word(token));
    const double a = read_number(st, line.values[1]);
    const double b = read_number(st, line.values[2]);
    si.buildCode = static_cast<int16_t>(a * 100 + b);
    if (st.status != 0) return;
    read_value(st, line.values[3], 0, 0);
    const CalCharClass cls = cal_peek_class(st.in, st.status);
    if (st.status != 0 || cls == CAL_CLASS_END) return;
    if (cls != CAL_CLASS_WORD) {
        fail(st, kCalExpectedNonNumeric);
        return;
    }
    const std::optional<std::string> word = cal_next_word(st.in, st.status);
    if (word && *word == line.values[4].name) {
        si.rFlag = 1;
    } else {
        fail(st, kCalUnrecognizedString);
    }
}

void read_custom_camera(CalReadState& st, const CalSpecLine& line) {
    SystemInfo& si = st.si;
    uint8_t* cc = si.customCamera;
    si.cameraType = CAL_CAMERA_CUSTOM;
    const int32_t board = si.instrBdType;
    int v_slot = 0;
    const char* report = nullptr;
    if (board == CAL_BOARD_WEZEN || board == CAL_BOARD_FTP) {
        static constexpr uint8_t kSet[10] = {0, 0, 0, 1, 0, 1, 1, 0, 1, 1};
        for (int i = 0; i < 10; ++i) {
            if (i != 1) cc[i] = kSet[i];
        }
        report = kCalMsgInterlaceFlag;
    } else if (board == CAL_BOARD_VEGA || board == CAL_BOARD_DENEB) {
        cc[0] = 1;
        cc[1] = 5;
        cc[9] = 0;
        v_slot = 9;
        report = kCalMsgFieldCtrl;
    } else if (board == CAL_BOARD_CAN || board == CAL_BOARD_NOTNEEDED) {
        cc[9] = 0;
    } else {
        fail(st, kCalUnexpectedToken);
        return;
    }
    const CalValueSpec& v = line.values[1];
    const CalCharClass cls = cal_peek_class(st.in, st.status);
    if (cls == CAL_CLASS_NUMBER) {
        const int32_t value = cal_read_int(st.in, st.status, static_cast<int32_t>(v.lo), static_cast<int32_t>(v.hi));
        if (st.status == 0) cc[v_slot] = static_cast<uint8_t>(value);
    } else if (cls != CAL_CLASS_END) {
        fail_quietly(st);
    }
    if (st.status == 0 && report != nullptr) gl_msg_print(report, cc[v_slot]);
}

void read_camera_type(CalReadState& st, const CalSpecLine& line) {
    const int32_t token = cal_next_keyword(st.in, st.status);
    if (st.status != 0) return;
    if (token == cal_tok("custom")) {
        read_custom_camera(st, line);
        return;
    }
    const int32_t value = token >= 0 ? cal_name_value(kCalCameraTypes, cal_token_word(token)) : CAL_NO_VALUE;
    if (value == CAL_NO_VALUE) {
        fail(st, kCalUnexpectedToken);
        return;
    }
    st.si.cameraType = value;
}

void read_camera_files(CalReadState& st, const CalSpecLine& line) {
    const CalValueSpec& v = line.values[0];
    for (int32_t k = 0; k < line.maxRepeat; ++k) cal_store_text(field_of(st, v, 0, k), "");
    for (int32_t k = 0;; ++k) {
        if (k > 0) {
            const CalCharClass cls = cal_peek_class(st.in, st.status);
            if (st.status != 0 || cls == CAL_CLASS_END) return;
            if (k == line.maxRepeat) return fail(st, kCalTooManyCameraFiles);
            if (cls != CAL_CLASS_WORD) return fail(st, kCalExpectedNonNumeric);
        }
        const std::optional<std::string> word = cal_next_word(st.in, st.status);
        if (!word) return;
        if (!(k == 1 && *word == "NULL")) cal_store_text(field_of(st, v, 0, k), *word);
    }
}

void read_camera_config(CalReadState& st, const CalSpecLine& line) {
    const int32_t board = st.si.instrBdType;
    if (board == CAL_BOARD_WEZEN || board == CAL_BOARD_FTP) {
        walk_values(st, line, 0, line.valueCount, 0, CAL_V_VARIANT_A);
    } else if (board == CAL_BOARD_VEGA || board == CAL_BOARD_DENEB) {
        walk_values(st, line, 0, line.valueCount, 0, CAL_V_VARIANT_B);
    } else {
        fail(st, kCalUnexpectedToken);
    }
}

void read_bad_pixels(CalReadState& st, const CalSpecLine& line) {
    for (;;) {
        const CalCharClass cls = cal_peek_class(st.in, st.status);
        if (st.status != 0 || cls == CAL_CLASS_END) return;
        if (st.badPixelIndex >= line.maxRepeat) return fail(st, kCalTooManyBadPixels);
        double x = 0;
        double y = 0;
        if (!read_pair(st, line.values[0], true, x, y)) return;
        PixelXY& pixel = st.si.badPixels[st.badPixelIndex++];
        pixel.x = static_cast<int16_t>(x);
        pixel.y = static_cast<int16_t>(y);
        st.given |= CAL_GIVEN_BAD_PIXELS;
    }
}

void read_light(CalReadState& st, const CalSpecLine& line) {
    SystemInfo& si = st.si;
    const int32_t type = read_name(st, kCalLightTypes);
    if (st.status != 0) return;
    si.lightType = type;
    auto first_only = [&si](double metres) {
        si.wavelength[0] = metres;
        for (int i = 1; i < kCalLightEntries; ++i) si.wavelength[i] = 0.0;
    };
    if (si.systemType == 21) {
        first_only(655e-9);
    } else if (si.instrBdType == CAL_BOARD_ANTARES) {
        first_only(12.75e-6);
    } else if (si.instrBdType == CAL_BOARD_FTP) {
        first_only(9e-6);
    } else if (si.instrBdType != CAL_BOARD_CAN) {
        for (int i = 0; i < kCalLightEntries; ++i) {
            si.wavelength[i] = 632.8e-9;
            si.bandwidth[i] = 0.0;
        }
    }
    const CalValueSpec& v = line.values[1];
    int32_t k = 0;
    for (; k < line.maxRepeat; ++k) {
        const CalCharClass cls = cal_peek_class(st.in, st.status);
        if (cls == CAL_CLASS_END) break;
        double w = 0.0;
        double b = 0.0;
        if (cls == CAL_CLASS_NUMBER) {
            w = cal_read_real(st.in, st.status, v.lo, v.hi);
        } else if (cls == CAL_CLASS_BRACKET) {
            read_pair(st, v, false, w, b);
        } else {
            fail(st, kCalSyntaxError);
        }
        if (st.status != 0) return;
        si.wavelength[k] = w * kMicrometre;
        si.bandwidth[k] = b * kMicrometre;
        ++st.lightValues;
    }
    if (k == 0 && type != CAL_LIGHT_HENE) fail(st, kCalNoWavelength);
}

void read_llc_instr(CalReadState& st, const CalSpecLine& line) {
    const int32_t instr = read_name(st, kCalLlcInstruments, true);
    if (st.status != 0) return;
    st.si.llcInstr = instr;
    if (instr == CAL_LLC_DD100MC || instr == CAL_LLC_DD100MC_B) read_value(st, line.values[1], 0, 0);
}

void read_mags(CalReadState& st, const CalSpecLine& line) {
    const CalValueSpec& v = line.values[0];
    for (int32_t k = 0; k < line.maxRepeat; ++k) cal_store_number(field_of(st, v, 0, k), 0.0);
    const int32_t count = read_number_list(st, v, line.maxRepeat, kCalTooManyMags,
                                           [&](int32_t k, double value) { store_number(field_of(st, v, 0, k), v, value); });
    if (st.status != 0) return;
    if (st.si.magCount != 0 && st.si.magCount != count) return fail(st, kCalMagMismatch);
    st.si.magCount = count;
}

void read_pifoc(CalReadState& st, const CalSpecLine& line) {
    PifocInfo& pifoc = *st.si.pifocInfo;
    walk_values(st, line, 0, 1, 0);
    pifoc.scale = kCalPifocDefaultScale;
    pifoc.beta = kCalPifocDefaultBeta;
    walk_values(st, line, 1, line.valueCount, 0);
    if (st.status == 0 && pifoc.beta != 0.0 && pifoc.beta < kCalPifocBetaMin) {
        cal_read_error(kCalBetaRange.text, pifoc.beta, kCalPifocBetaMin, kCalPifocBetaMax);
        st.status = kCalBetaRange.code;
    }
}

void read_pid_vals(CalReadState& st, const CalSpecLine& line) {
    int32_t first_half = 0;
    int32_t last_half = 1;
    if (cal_peek_class(st.in, st.status) == CAL_CLASS_WORD) {
        const int32_t token = cal_next_keyword(st.in, st.status);
        if (st.status != 0) return;
        const int32_t half = token >= 0 ? cal_name_value(*line.values[0].names, cal_token_word(token)) : CAL_NO_VALUE;
        if (half == CAL_NO_VALUE) return fail(st, kCalUnrecognizedString);
        first_half = last_half = half;
    }
    for (int i = 1; i < line.valueCount && st.status == 0; ++i) {
        const CalValueSpec& v = line.values[i];
        const double value = read_number(st, v);
        for (int32_t half = first_half; half <= last_half; ++half) store_number(field_of(st, v, line.axis, half), v, value);
    }
}

void read_std_mags(CalReadState& st, const CalSpecLine& line) {
    EncZoomInfo& zoom = *st.si.encZoom;
    zoom.stdMagCount = 0;
    const CalValueSpec& v = line.values[0];
    const int32_t count = read_number_list(st, v, line.maxRepeat, kCalTooManyStdMags,
                                           [&](int32_t k, double value) { store_number(field_of(st, v, 0, k), v, value); });
    if (st.status == 0) zoom.stdMagCount = count;
}

void read_dyn_wave_gen(CalReadState& st, const CalSpecLine& line) {
    walk_values(st, line, 0, 2, 0);
    const CalValueSpec& w2 = line.values[2];
    const int64_t third = read_word_number(st, w2, 10, true);
    if (st.status == 0) {
        cal_store_number(field_of(st, w2, 0, 0), static_cast<double>(third));
    } else {
        sb_discard_dyn_wave_gen(st.si);
    }
}

void read_ftp_list(CalReadState& st, const CalSpecLine& line) {
    const int32_t index = static_cast<int32_t>(read_number(st, line.values[0]));
    if (st.status != 0) return;
    const CalValueSpec& v = line.values[1];
    const int32_t count = read_number_list(st, v, line.maxRepeat, kCalTooManyFtpValues,
                                           [&](int32_t k, double value) { store_number(field_of(st, v, index, k), v, value); });
    if (st.status == 0 && count < line.minRepeat) fail(st, kCalNotEnoughFtpValues);
}

void read_ftp_temperature(CalReadState& st, const CalSpecLine& line) {
    int parts = 0;
    const double seconds = read_duration(st, line.values[0], parts);
    store_number(field_of(st, line.values[0], 0, 0), line.values[0], seconds);
    if (st.status == 0 && parts == 4) walk_values(st, line, 1, line.valueCount, 0);
}

bool ring_spot_instrument(const SystemInfo& si) {
    if (si.instrBdType == CAL_BOARD_VEGA) return true;
    return si.instrBdType == CAL_BOARD_CAN && (si.systemType == 23 || si.systemType == 30 || si.systemType == 33);
}

WalkResult read_special(CalReadState& st, const CalSpecLine& line, int32_t token) {
    SystemInfo& si = st.si;
    switch (line.handler) {
        case CalHandler::SystemType: read_system_type(st, line, token); break;
        case CalHandler::Remote: {
            const std::optional<std::string> word = cal_next_word(st.in, st.status);
            if (word) gl_cal_remote.set(*word);
            break;
        }
        case CalHandler::CameraType: read_camera_type(st, line); break;
        case CalHandler::CameraFile: read_camera_files(st, line); break;
        case CalHandler::CameraConfig: read_camera_config(st, line); break;
        case CalHandler::BadPixels: read_bad_pixels(st, line); break;
        case CalHandler::CameraSplit:
            si.cameraSplitType = line.constant;
            return walk_all(st, line);
        case CalHandler::Light: read_light(st, line); break;
        case CalHandler::LlcInstr: read_llc_instr(st, line); break;
        case CalHandler::LlcRange: {
            const WalkResult r = walk_all(st, line);
            if (st.status == 0) st.llcPairs = r.read > 2 ? 2 : 1;
            return r;
        }
        case CalHandler::LlcConfig: {
            const WalkResult r = walk_all(st, line);
            for (int32_t ch = 0; ch < r.read && ch < 2; ++ch) si.llcChannel[ch].config |= 1;
            return r;
        }
        case CalHandler::LlcBothChannels: {
            const CalValueSpec& v = line.values[0];
            const double value = read_number(st, v);
            store_number(field_of(st, v, 0, 0), v, value);
            store_number(field_of(st, v, 0, 1), v, value);
            break;
        }
        case CalHandler::Mags: read_mags(st, line); break;
        case CalHandler::Pifoc: read_pifoc(st, line); break;
        case CalHandler::RingSpot:
            if (ring_spot_instrument(si)) cal_store_number(line.flagField(si, 0, 0), line.constant);
            break;
        case CalHandler::PosInstr:
            si.posInstrArg[1].clear();
            return walk_all(st, line);
        case CalHandler::TempSensor: {
            const int32_t sensor = read_name(st, kCalTempSensors, true);
            if (st.status != 0) break;
            si.tempSensorType = sensor;
            return walk_values(st, line, 1, line.valueCount, 0);
        }
        case CalHandler::PidVals: read_pid_vals(st, line); break;
        case CalHandler::EncZoomStdMags: read_std_mags(st, line); break;
        case CalHandler::RadiusScale: {
            RadiusScale& scale = line.key == cal_tok("encodedradiusscale") ? si.encodedRadiusScale : si.intfRadiusScale;
            scale.given = 1;
            scale.c = 0.0;
            return walk_all(st, line);
        }
        case CalHandler::DynWaveGen: read_dyn_wave_gen(st, line); break;
        case CalHandler::FtpList: read_ftp_list(st, line); break;
        case CalHandler::FtpTemperature: read_ftp_temperature(st, line); break;
        case CalHandler::MacAddress:
        case CalHandler::CameraTrans:
        case CalHandler::SdcCal:
        case CalHandler::SleepTimeout:
        case CalHandler::FtpCenter:
        case CalHandler::FtpPeriod:
        case CalHandler::None: return walk_all(st, line);
    }
    return {};
}

}  // namespace

void cal_read_line(CalReadState& st, int32_t token) {
    if (token == CAL_TOK_EOF || token == CAL_TOK_EOL || st.status != 0) return;
    int32_t key2 = CAL_NO_KEY;
    if (cal_is_two_word_key(token)) {
        key2 = cal_next_keyword(st.in, st.status);
        if (st.status != 0) return;
        if (key2 == CAL_TOK_EOF) return fail(st, kCalUnexpectedEof);
        if (key2 == CAL_TOK_EOL) return fail(st, kCalUnexpectedEol);
    }
    const CalSpecLine* line = cal_find_spec_line(token, key2);
    if (line == nullptr) return fail(st, kCalUnexpectedToken);
    if ((line->needs & CAL_NEEDS_MAGS) != 0 && st.si.magCount == 0) {
        cal_read_error("%s", line->orderFailure->text);
        return;
    }
    if (!cal_need_sub_record(st.si, *line)) {
        st.noMemory = true;
        st.status = ERR_NO_MEM;
        return;
    }
    WalkResult walked;
    switch (line->kind) {
        case CalLineKind::Values: walked = walk_all(st, *line); break;
        case CalLineKind::SetFlag: cal_store_number(line->flagField(st.si, line->axis, 0), line->constant); break;
        case CalLineKind::Ignore: break;
        case CalLineKind::Special: walked = read_special(st, *line, token); break;
    }
    if (st.status != 0) return;
    bool marks_need_value = false;
    for (int i = 0; i < line->valueCount; ++i) {
        if ((line->values[i].flags & CAL_V_MARKS_GIVEN) != 0) marks_need_value = true;
    }
    if (!marks_need_value || walked.markedGiven) st.given |= line->given;
}
