#include "calibration/cal_write_lines.h"

#include <cmath>
#include <limits>
#include <string>

#include "calibration/cal_read_error.h"
#include "calibration/cal_spec_table.h"
#include "calibration/cal_subrecords_alloc.h"
#include "calibration/cal_vocab.h"
#include "calibration/sb_reset.h"
#include "errors/err_codes.h"

namespace {

constexpr double kMicrometre = 1e-6;
constexpr double kMaxSingle = std::numeric_limits<float>::max();
constexpr int32_t kDefaultPid[10] = {700, 0, 15050, 0, 0, 0, 0, 0, 0, 0};

bool one_of(int32_t v, std::initializer_list<int32_t> set) {
    for (int32_t x : set) {
        if (x == v) return true;
    }
    return false;
}

bool is_set(double v) { return v < kMaxSingle; }

class Writer {
public:
    Writer(FILE* out, SystemInfo& si, const char* destination) : out_(out), si_(si), destination_(destination) {}

    int32_t result() const { return result_; }

    void write_all() {
        std::fprintf(out_, "%s\n", kCalFileHeaderLine);
        for (int16_t row = 2; row <= 63; ++row) {
            for (const CalSpecLine& line : cal_spec_lines()) {
                if (line.writerRow == row && line.writerKey != nullptr) write_line(line);
            }
            if (row == 4) write_system_line();
        }
    }

private:
    void error(int32_t code, const char* message) {
        cal_write_error(destination_, "%s", message);
        result_ = code;
    }

    void key(const char* k) { std::fprintf(out_, "%-*s", kCalKeyWidth, k); }
    void key(const CalSpecLine& line) { key(line.writerKey); }
    void end() { std::fputs("\n", out_); }

    double number(const CalValueSpec& v, int32_t index = 0, int32_t k = 0) {
        return cal_load_number(v.field(si_, index, k)) / v.scale;
    }
    std::string_view text(const CalValueSpec& v, int32_t index = 0, int32_t k = 0) {
        return cal_load_text(v.field(si_, index, k));
    }
    void put_int(double v) { std::fprintf(out_, "  %d", static_cast<int>(v)); }
    void put_real(const char* format, double v) {
        std::fputs("  ", out_);
        std::fprintf(out_, format, v);
    }
    void put_text(std::string_view t) { std::fprintf(out_, "  %.*s", static_cast<int>(t.size()), t.data()); }

    // The line's values in order, each after two blanks: integers "%d", reals
    // in `real_format`, texts as they are, names by their table.
    void put_values(const CalSpecLine& line, int from, int to, const char* real_format = "%g", int32_t index = 0,
                    uint16_t variant = 0) {
        for (int i = from; i < to; ++i) {
            const CalValueSpec& v = line.values[i];
            const uint16_t forms = v.flags & (CAL_V_VARIANT_A | CAL_V_VARIANT_B);
            if (forms != 0 && forms != variant) continue;
            switch (v.kind) {
                case CalValueKind::Int:
                case CalValueKind::DecWord: put_int(number(v, index)); break;
                case CalValueKind::Real: put_real(real_format, number(v, index)); break;
                case CalValueKind::Word: put_text(text(v, index)); break;
                case CalValueKind::Name:
                    put_text(cal_name(*v.names, static_cast<int32_t>(number(v, index))));
                    break;
                default: break;
            }
        }
    }
    // A whole line of values.
    void simple(const CalSpecLine& line, const char* real_format = "%g") {
        key(line);
        put_values(line, 0, line.valueCount, real_format, line.axis);
        end();
    }

    void write_system_line() {
        const int32_t type = si_.systemType;
        key(cal_name(kCalSystemTypes, type));
        std::fprintf(out_, "  %02d  %02d  %d  %s\n", si_.buildCode / 100, si_.buildCode % 100, si_.serialNumber,
                     si_.rFlag != 0 ? "R" : "");
        if (!cal_name_writable(kCalSystemTypes, type)) error(ERR_SB_CAL_INFO_INCOMPLETE, "System type undefined.");
    }

    void write_line(const CalSpecLine& line);
    void write_light(const CalSpecLine& line);
    void write_llc_range(const CalSpecLine& line);
    void write_mags(const CalSpecLine& line, const double* mags);
    void write_bad_pixels(const CalSpecLine& line);
    void write_ftp(const CalSpecLine& line);
    void write_pid(const CalSpecLine& line);

    FILE* out_;
    SystemInfo& si_;
    const char* destination_;
    int32_t result_ = NO_ERROR;
};

void Writer::write_light(const CalSpecLine& line) {
    const int32_t type = si_.lightType;
    const bool writable = cal_name_writable(kCalLightTypes, type);
    if (!writable && si_.instrBdType != CAL_BOARD_NONE) error(ERR_SB_CAL_INFO_INCOMPLETE, "Light Type undefined.");
    // A light type without a word cannot be read back: the line is left out.
    if (!writable) return;
    // The light a reset gives (one HeNe wavelength) is what a file without a
    // Light line reads as; written, the reader would fill all four entries.
    bool reset_state = type == CAL_LIGHT_HENE && si_.wavelength[0] == kCalDefaultWavelength;
    for (int k = 0; k < kCalLightEntries; ++k) {
        if ((k > 0 && si_.wavelength[k] != 0.0) || si_.bandwidth[k] != 0.0) reset_state = false;
    }
    if (reset_state) return;
    key((std::string(line.writerKey) + " " + cal_name(kCalLightTypes, type)).c_str());
    std::fputs(" ", out_);
    for (int k = 0; k < kCalLightEntries; ++k) {
        const double w = si_.wavelength[k] / kMicrometre;
        const double b = si_.bandwidth[k] / kMicrometre;
        if (k > 0 && w == 0.0) break;
        if (b != 0.0) {
            std::fprintf(out_, " [%.6f,%.6f]", w, b);
        } else {
            std::fprintf(out_, " %.6f", w);
        }
        if (w == 0.0) break;
    }
    end();
}

void Writer::write_llc_range(const CalSpecLine& line) {
    const int32_t board = si_.instrBdType;
    const int32_t system = si_.systemType;
    auto differs = [](const uint16_t (&r)[2], uint16_t lo, uint16_t hi) { return r[0] != lo || r[1] != hi; };
    int level = 0;
    if ((board == CAL_BOARD_VEGA || board == CAL_BOARD_DENEB) && differs(si_.llcRange, 10, 159)) level = 1;
    if ((board == CAL_BOARD_ANTARES || system == 21) && differs(si_.llcRange, 0, 4095)) level = 1;
    if (board == CAL_BOARD_CAN && one_of(system, {11, 13, 22, 28, 29, 34, 35}) && differs(si_.llcRange, 0, 65535)) {
        level = 1;
    }
    if (board == CAL_BOARD_WEZEN || (board == CAL_BOARD_CAN && system == 31)) {
        if (differs(si_.llcRange, 0, 4095)) level = 1;
        if (differs(si_.llcRange2, 0, 100)) level = 2;
    }
    // On a CAN board a second range of (0, 65535) is what the reader derives
    // when the file gives one pair; written, it would exceed the pair's limit.
    if (board == CAL_BOARD_CAN && level == 2 && !differs(si_.llcRange2, 0, 65535)) level = 1;
    if (level == 0) return;
    key(line);
    std::fprintf(out_, "  %d  %d", si_.llcRange[0], si_.llcRange[1]);
    if (level == 2) std::fprintf(out_, "  %d  %d", si_.llcRange2[0], si_.llcRange2[1]);
    end();
}

void Writer::write_mags(const CalSpecLine& line, const double* mags) {
    if (one_of(si_.systemType, {14, 16, 17, 21})) {
        key(line);
        std::fprintf(out_, "  %6.4f  %6.4f\n", mags[0], mags[1]);
        return;
    }
    if (mags[0] == 0.0) return;
    key(line);
    for (int i = 0; i < kCalMaxMags && mags[i] != 0.0; ++i) put_real("%6.4f", mags[i]);
    end();
}

void Writer::write_bad_pixels(const CalSpecLine& line) {
    int n = 0;
    while (n < kCalBadPixels && si_.badPixels[n].x >= 0) ++n;
    for (int i = 0; i < n; ++i) {
        if (i % 6 == 0) {
            if (i > 0) end();
            key(line);
            std::fputs(" ", out_);
        }
        std::fprintf(out_, " [%d,%d]", si_.badPixels[i].x, si_.badPixels[i].y);
    }
    if (n > 0) end();
}

void Writer::write_ftp(const CalSpecLine& line) {
    const FtpInfo& f = *si_.ftpInfo;
    const int32_t key_token = line.key;
    if (key_token == cal_tok("ftpmaterials")) {
        if (!f.materialsFile.empty()) simple(line);
    } else if (key_token == cal_tok("ftpsys")) {
        // Values never given are left out: the reader refuses the "not set" mark.
        if (is_set(f.sys[0]) && is_set(f.sys[1]) && is_set(f.sys[2]) && is_set(f.sys[3])) simple(line, "%.8g");
    } else if (key_token == cal_tok("ftpdmiscale") || key_token == cal_tok("ftpimagerot")) {
        simple(line, "%.8g");
    } else if (key_token == cal_tok("ftpzeroptpos")) {
        if (!std::isfinite(f.zeroPtPos[0])) return;
        key(line);
        put_real("%g", f.zeroPtPos[0]);
        if (std::isfinite(f.zeroPtPos[1])) put_real("%.6g", f.zeroPtPos[1]);
        end();
    } else if (key_token == cal_tok("ftpdisper") || key_token == cal_tok("ftpavg_k0")) {
        const auto& table = key_token == cal_tok("ftpdisper") ? f.disper : f.avgK0;
        for (int32_t i = 0; i < si_.magCount && i < kCalMaxMags; ++i) {
            // A list of one value cannot be read back, so it is left out.
            if (!is_set(table[i][0]) || !is_set(table[i][1])) continue;
            key(line);
            std::fprintf(out_, "  %d", i);
            for (int k = 0; k < 10 && is_set(table[i][k]); ++k) put_real("%.6g", table[i][k]);
            end();
        }
    } else if (key_token == cal_tok("ftpdmicenter") || key_token == cal_tok("ftptiltcenter")) {
        for (int32_t i = 0; i < si_.magCount && i < kCalMaxMags; ++i) {
            key(line);
            std::fprintf(out_, "  %d", i);
            put_values(line, 1, line.valueCount, "%.3g", i);
            end();
        }
    } else if (key_token == cal_tok("ftpzerogageper") || key_token == cal_tok("ftptemperature")) {
        const int64_t s = key_token == cal_tok("ftpzerogageper") ? f.zeroGagePeriod : f.temperaturePeriod;
        key(line);
        std::fprintf(out_, "  %d:%02d:%02d:%02d", static_cast<int>(s / 86400), static_cast<int>(s / 3600 % 24),
                     static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
        if (key_token == cal_tok("ftptemperature")) std::fprintf(out_, "   %0.2f", f.temperatureValue);
        end();
    } else if (key_token == cal_tok("ftplog")) {
        if (f.logFile.empty()) return;
        key(line);
        put_text(f.logFile.view());
        if (f.logParam[0] != kFtpDefaultLogParam[0] || f.logParam[1] != kFtpDefaultLogParam[1]) {
            std::fprintf(out_, "  %d  %d", f.logParam[0], f.logParam[1]);
        }
        end();
    }
}

void Writer::write_pid(const CalSpecLine& line) {
    if (si_.pidVals[line.axis] == nullptr) return;
    double halves[2][10];
    bool changed[2] = {false, false};
    for (int32_t half = 0; half < 2; ++half) {
        for (int i = 0; i < 10; ++i) {
            halves[half][i] = cal_load_number(line.values[i + 1].field(si_, line.axis, half));
            if (halves[half][i] != kDefaultPid[i]) changed[half] = true;
        }
    }
    bool equal = true;
    for (int i = 0; i < 10; ++i) equal = equal && halves[0][i] == halves[1][i];
    auto values = [&](int32_t half) {
        for (int i = 0; i < 6; ++i) std::fprintf(out_, "  %d", static_cast<int>(halves[half][i]));
        for (int i = 6; i < 10; ++i) std::fprintf(out_, "  %g", halves[half][i]);
        end();
    };
    const char letter = kCalAxisLetters[line.axis];
    if (changed[0] && changed[1] && equal) {
        std::fprintf(out_, "PidVals_%c", letter);
        values(0);
        return;
    }
    for (int32_t half = 0; half < 2; ++half) {
        if (!changed[half]) continue;
        key((std::string(line.writerKey) + " " + cal_name(kCalPidHalves, half)).c_str());
        values(half);
    }
}

void Writer::write_line(const CalSpecLine& line) {
    SystemInfo& s = si_;
    const int32_t board = s.instrBdType;
    const int32_t k = line.key;
    const double first = line.valueCount > 0 && line.values[0].field != nullptr
                             ? number(line.values[0], line.axis >= 0 ? line.axis : 0)
                             : 0.0;
    switch (line.writerRow) {
        case 2:  // InstrName, quoted
            if (s.instrName.empty()) return;
            key(line);
            std::fprintf(out_, "  \"%s\"\n", s.instrName.c_str());
            return;
        case 5: simple(line); return;
        case 6:
            if (k == cal_tok("macaddress")) {
                if (board != CAL_BOARD_CAN) return;
                if (s.canInfo == nullptr) return error(ERR_INVALID_PARAM, "canInfo = NULL");
                key(line);
                for (uint8_t byte : s.canInfo->macAddress) std::fprintf(out_, "  %2.2X", byte);
                end();
            } else if (board != CAL_BOARD_CAN && !s.instrComm.empty()) {
                simple(line);
            }
            return;
        case 7: {
            const bool writable = cal_name_writable(kCalCameraTypes, s.cameraType);
            if (!writable && board != CAL_BOARD_NONE) error(ERR_SB_CAL_INFO_INCOMPLETE, "Camera Type undefined.");
            // A camera without a word cannot be read back: the line is left out.
            if (!writable) return;
            // The reader takes CUSTOM only on the boards that describe it;
            // anywhere else the file would not read back.
            if (s.cameraType == CAL_CAMERA_CUSTOM && board != CAL_BOARD_WEZEN && board != CAL_BOARD_FTP &&
                board != CAL_BOARD_VEGA && board != CAL_BOARD_DENEB && board != CAL_BOARD_CAN &&
                board != CAL_BOARD_NOTNEEDED)
                return error(ERR_SB_CAL_INFO_INCOMPLETE, "Camera Type CUSTOM not supported by this board.");
            key(line);
            put_text(cal_name(kCalCameraTypes, s.cameraType));
            if ((board == CAL_BOARD_WEZEN || board == CAL_BOARD_FTP) && s.customCamera[0] != 0) {
                put_int(s.customCamera[0]);
            } else if ((board == CAL_BOARD_VEGA || board == CAL_BOARD_DENEB) && s.customCamera[9] != 0) {
                put_int(s.customCamera[9]);
            } else if ((board == CAL_BOARD_CAN || board == CAL_BOARD_NOTNEEDED) &&
                       s.cameraType == CAL_CAMERA_CUSTOM && s.customCamera[0] != 0) {
                // These boards keep the CUSTOM camera's value in [0] and have no
                // Camera Config line: without it here the value would be lost.
                put_int(s.customCamera[0]);
            }
            end();
            return;
        }
        case 8:
            if (s.cameraFiles[0].empty()) return;
            key(line);
            put_text(s.cameraFiles[0].view());
            put_text(s.cameraFiles[1].view());
            if (!s.cameraFiles[2].empty()) {
                if (s.cameraFiles[1].empty()) std::fputs(" NULL", out_);
                put_text(s.cameraFiles[2].view());
            }
            end();
            return;
        case 9:
            if (s.cameraType != CAL_CAMERA_CUSTOM) return;
            if (board == CAL_BOARD_WEZEN || board == CAL_BOARD_FTP || board == CAL_BOARD_VEGA ||
                board == CAL_BOARD_DENEB) {
                key(line);
                const bool form_a = board == CAL_BOARD_WEZEN || board == CAL_BOARD_FTP;
                put_values(line, 0, line.valueCount, "%g", 0, form_a ? CAL_V_VARIANT_A : CAL_V_VARIANT_B);
                end();
            }
            return;
        case 10: if (first > 0) simple(line); return;
        case 12:
            if (k == cal_tok("camera") && line.key2 == cal_tok("bpixels")) {
                write_bad_pixels(line);
            } else if (s.badPixels[0].x < 0 && (s.badPixelFileFlag != 0 || !s.badPixelFile.empty())) {
                key(line);
                put_int(s.badPixelFileFlag);
                if (!s.badPixelFile.empty()) put_text(s.badPixelFile.view());
                end();
            }
            return;
        case 14:
            if (!s.rampConfigFile.empty() && s.rampConfigFile.view() != kCalDefaultRampConfigFile) simple(line);
            return;
        case 15: write_light(line); return;
        case 16:
            if (s.llcInstr != 0 && !s.llcInstrComm.empty()) simple(line);
            return;
        case 17: write_llc_range(line); return;
        case 18:
            if (s.llcChannel[1].config != 0) {
                simple(line);
            } else if (s.llcChannel[0].config != 1) {
                key(line);
                put_int(s.llcChannel[0].config);
                end();
            }
            return;
        case 19: if (s.lightType == CAL_LIGHT_LED) simple(line); return;
        // Other systems get the line too when the target is not the default,
        // or the value would be lost.
        case 20:
            if (one_of(s.systemType, {4, 8, 18, 19, 23, 25, 26, 27, 30, 32, 33}) ||
                s.llcTarget != kCalDefaultLlcTarget) {
                simple(line);
            }
            return;
        case 22:
        case 23:
            if (first == 0) return;
            key(line);
            put_values(line, 0, 2);
            if (number(line.values[2]) != 0) put_values(line, 2, 4);
            end();
            return;
        case 24: if (s.pztPwr >= 0) simple(line); return;
        case 26:
            // A record that only a PifocType line made has no scale yet: a Pifoc
            // line would give it the defaults, so none is written.
            if (s.pifocInfo == nullptr || s.pifocInfo->scale == 0.0) return;
            key(line);
            put_int(s.pifocInfo->id);
            // Scale and beta are written for other systems too when they are
            // not the values a Pifoc line without them gives.
            if (one_of(s.systemType, {5, 7, 11, 13, 16, 20}) || s.pifocInfo->scale != kCalPifocDefaultScale ||
                s.pifocInfo->beta != kCalPifocDefaultBeta) {
                put_real("%.6f", s.pifocInfo->scale);
                put_real("%.6f", s.pifocInfo->beta);
            }
            end();
            return;
        // The polarity is a field of the slot: it is written with or without a
        // PIFOC record, or it would be lost.
        case 27: if (first != 0) simple(line); return;
        case 28: if (s.pifocInfo != nullptr && first != 0) simple(line); return;
        case 29: write_mags(line, s.sysMag); return;
        case 30: write_mags(line, s.nomMag); return;
        case 31:
            if (s.cameraSplitType == 0 || (line.constant == 1) != (s.cameraSplitType == 1)) return;
            simple(line);
            return;
        case 32:
            if (s.cameraSplitType == 0) return;
            for (int32_t i = 0; i < s.magCount && i < kCalMaxMags; ++i) {
                key(line);
                std::fprintf(out_, "  %d", i);
                put_values(line, 1, line.valueCount, "%g", i);
                end();
            }
            return;
        case 33: if (s.systemType == 16 && s.ftpInfo != nullptr) write_ftp(line); return;
        case 34: {
            const double a = s.scanCal[0];
            const double b = s.scanCal[1];
            if (b != 0 && b != 1) {
                simple(line);
            } else if (a != 0 && a != 1) {
                key(line);
                put_real("%g", a);
                end();
            }
            return;
        }
        case 35:
            if (s.turret == 0) return;
            key(line);
            put_int(s.turret);
            if (s.turret2 != kCalDefaultTurret2) put_int(s.turret2);
            end();
            return;
        case 37: if (cal_load_number(line.flagField(s, 0, 0)) == 0) std::fprintf(out_, "%s\n", line.writerKey); return;
        case 38:
        case 48: if (cal_load_number(line.flagField(s, 0, 0)) != 0) std::fprintf(out_, "%s\n", line.writerKey); return;
        case 39: if (s.diffDiskRate != kCalDefaultDiffDiskRate) simple(line); return;
        case 40: if (s.diffDiskFraction != kCalDefaultDiffDiskFraction) simple(line); return;
        case 42: if (first != 0 && first != 1) simple(line); return;
        // A backlash of 0 is written too: left out, it would read back as 5.
        case 43: if (first != kCalDefaultZAxisBacklash) simple(line); return;
        case 45:
            for (int32_t i = 0; i < kCalMaxMags; ++i) {
                const SdcCalEntry& e = s.sdcCal[i];
                if (!(is_set(e.c1) && is_set(e.c2) && is_set(e.c3) && is_set(e.c4) && is_set(e.c5) && is_set(e.c6) &&
                      e.c7 != 0 && e.c8 != 0)) {
                    continue;
                }
                key(line);
                std::fprintf(out_, "  %d", i);
                put_values(line, 1, line.valueCount, "%g", i);
                end();
            }
            return;
        case 46: if (s.systemType == 17) simple(line); return;
        case 49:
            if (!s.motionCtrl[0].empty() && !s.motionCtrl[1].empty()) simple(line);
            return;
        case 50:
            if (s.posInstrType == 0 || s.posInstrArg[0].empty()) return;
            key(line);
            put_text(cal_name(kCalPosInstruments, s.posInstrType));
            put_text(s.posInstrArg[0].view());
            if (!s.posInstrArg[1].empty()) put_text(s.posInstrArg[1].view());
            end();
            return;
        case 51: if (s.tempSensorType != 0 && !s.tempSensorArg.empty()) simple(line); return;
        case 52:
        case 53:
        case 55: if (!text(line.values[0], line.axis).empty()) simple(line); return;
        case 54: write_pid(line); return;
        case 56: if (first > 0) simple(line, "%f"); return;
        case 57:
            if (!(first > 0 && std::isfinite(first))) return;
            key(line);
            put_values(line, 0, 2, "%.3f");
            end();
            return;
        case 59: if (!s.absWaveMeterArg.empty()) simple(line); return;
        case 60: if (s.dynWaveGen != nullptr) simple(line); return;
        case 61: {
            if (s.encZoom == nullptr) return;
            const EncZoomInfo& z = *s.encZoom;
            if (k == cal_tok("vegaenczoomconfig")) simple(line);
            if (k == cal_tok("vegaenczoombacklash") && z.backlash > 0) simple(line);
            if ((k == cal_tok("vegaenczoomproglim") || k == cal_tok("vegaenczoomwandlim")) &&
                (number(line.values[0]) > 0 || number(line.values[1]) > 0)) {
                simple(line);
            }
            if (k == cal_tok("vegaenczoomstdmags") && z.stdMagCount > 0) {
                key(line);
                for (int32_t i = 0; i < z.stdMagCount && i < kCalMaxMags; ++i) put_real("%g", z.stdMags[i]);
                end();
            }
            if (k == cal_tok("vegaenczoomcalfile") && !z.calFile.empty()) simple(line);
            return;
        }
        case 62: {
            const RadiusScale& r = k == cal_tok("encodedradiusscale") ? s.encodedRadiusScale : s.intfRadiusScale;
            if (r.given == 1 || r.flag == 1 || r.a > 0 || r.b > 0 || r.n != 0 || r.c > 0) simple(line);
            return;
        }
        case 63:
            if (s.sleepTimeout == kCalDefaultSleepTimeout) return;
            key(line);
            std::fprintf(out_, "  %d:%02d:%02d\n", s.sleepTimeout / 3600, s.sleepTimeout / 60 % 60,
                         s.sleepTimeout % 60);
            return;
        default:  // Unit, Camera Align, Camera Options, ADC Clock, LLC Options, the flags and numbers "≠ 0"
            if (line.kind == CalLineKind::Values && first != 0) simple(line);
            return;
    }
}

}  // namespace

int32_t cal_write_lines(FILE* out, SystemInfo& si, const char* destination) {
    Writer writer(out, si, destination);
    writer.write_all();
    return writer.result();
}
