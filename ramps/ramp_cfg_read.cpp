// Reading the ramp configuration file, line by line with diagnostics.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "errors/err_codes.h"
#include "errors/msg.h"
#include "platform/file.h"
#include "ramps/ramp_cfg.h"
#include "util/memhooks.h"

namespace {

constexpr int kMaxLineLength = 200;
constexpr int kMaxErrors = 20;
constexpr int kGrowBy = 5;
constexpr const char* kDelimiters = " \t\n";

// Why a line was rejected: a first and an optional second message line.
struct LineError {
    std::string first;
    std::string second;
};

std::string format(const char* fmt, ...) KELM_PRINTF(1, 2);
std::string format(const char* fmt, ...) {
    char buf[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

// Splits a line into at most twelve tokens.
struct Tokens {
    std::string_view items[12];
    int count = 0;
    explicit Tokens(std::string_view line) {
        size_t pos = 0;
        while (count < 12) {
            const size_t begin = line.find_first_not_of(kDelimiters, pos);
            if (begin == std::string_view::npos) break;
            size_t end = line.find_first_of(kDelimiters, begin);
            if (end == std::string_view::npos) end = line.size();
            items[count++] = line.substr(begin, end - begin);
            pos = end;
        }
    }
};

// The leading number of a token; false when nothing converts.
bool leading_real(std::string_view token, double& value) {
    const std::string text(token);
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end != text.c_str();
}

bool leading_int(std::string_view token, long& value) {
    const std::string text(token);
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str();
}

// Parses one ramp line into `entry`; returns false with `error`
// filled for the first failing field.
bool parse_spec(const Tokens& tokens, rr_ramp_cfg_t& entry, LineError& error) {
    int field = 0;
    auto missing = [&](const char* keyword) {
        error.first = format("Missing %s value (field %d)", keyword, field);
        return false;
    };
    auto next = [&](std::string_view& token) {
        ++field;
        if (field > tokens.count) return false;
        token = tokens.items[field - 1];
        return true;
    };
    // Reads a real field and checks it with `valid`; on failure composes the
    // "Invalid" line and the field's own second line.
    auto real_field = [&](const char* keyword, float& out, auto valid, const std::string& second) {
        std::string_view token;
        if (!next(token)) return missing(keyword);
        double value = 0;
        if (!leading_real(token, value) || !valid(value)) {
            error.first = format("Invalid %s value %g (field %d)", keyword, value, field);
            error.second = second;
            return false;
        }
        out = static_cast<float>(value);
        return true;
    };
    auto int_field = [&](const char* keyword, int32_t& out, long min, long max, const std::string& second) {
        std::string_view token;
        if (!next(token)) return missing(keyword);
        long value = 0;
        if (!leading_int(token, value) || value < min || value > max) {
            error.first = format("Invalid %s value %d (field %d)", keyword, static_cast<int>(value), field);
            error.second = second;
            return false;
        }
        out = static_cast<int32_t>(value);
        return true;
    };

    // 1: RampType. Only the first four characters count.
    std::string_view token;
    if (!next(token)) return missing("RampType");
    char head[5] = {};
    std::memcpy(head, token.data(), std::min<size_t>(token.size(), 4));
    if (std::strncmp(head, "SWLI", 4) == 0) {
        entry.rampType = 0;
    } else if (std::strncmp(head, "PMI", 4) == 0) {
        entry.rampType = 1;
    } else if (std::strncmp(head, "BTW", 3) == 0) {
        entry.rampType = 17;
        if (head[3] != '\0') {
            if (head[3] < '1' || head[3] > '4') {
                error.first = format("Invalid BTW wavelength index (field %d)", field);
                error.second = format("Wavelength index must be an integer in the range [%d,%d]\n", 1, 4);
                return false;
            }
            entry.wavelenSelect = head[3] - '0';
        }
    } else {
        error.first = format("Invalid %s value (field %d)", "RampType", field);
        error.second = format("Allowed %s values are SWLI, PMI, BTW, and BTWX\nwhere X is a wavelength index in the range [%d,%d]\n",
                              "RampType", 1, 4);
        return false;
    }
    const bool pmi = entry.rampType == 1;
    const bool btw = entry.rampType == 17;

    // 2: FileName.
    if (!next(token)) return missing("FileName");
    if (token.size() > RR_CFG_FILE_NAME_MAX) {
        error.first = format("%s is too long (field %d)", "FileName", field);
        error.second = format("The %s may be up to %d characters\n", "FileName", RR_CFG_FILE_NAME_MAX);
        return false;
    }
    std::memcpy(entry.fileName, token.data(), token.size());
    entry.fileName[token.size()] = '\0';

    // Range checks are written so that NaN fails them.
    return real_field("ScanLen", entry.scanLen,
                      [&](double v) { return v >= 0 && v < 1000 && (pmi ? v == 0 : v != 0); },
                      format("For PMI ramps, the %s value must be 0\nFor SWLI or BTW ramps, it must be greater than %g and less than %g (um)\n",
                             "ScanLen", 0.0, 1000.0)) &&
           real_field("CameraRate", entry.cameraRate, [](double v) { return v > 0 && v < 50000; },
                      format("The %s value must be greater than 0 and less than %g (Hz)\n", "CameraRate", 50000.0)) &&
           int_field("CameraInterlace", entry.cameraInterlace, 0, 1,
                     format("The %s value must be 0 or 1\n", "CameraInterlace")) &&
           int_field("GrabSkip", entry.grabSkip, 0, 99,
                     format("The %s value must be greater than or equal to %d and less than %d\n", "GrabSkip", 0, 100)) &&
           real_field("FringesPerFrame", entry.fringesPerFrame, [](double v) { return v > 0 && v < 10; },
                      format("The %s value must be greater than %g and less than %g\n", "FringesPerFrame", 0.0, 10.0)) &&
           real_field("RampSlope", entry.rampSlope,
                      [&](double v) { return v >= 0 && v < 4000 && (pmi || v != 0); },
                      format("For PMI ramps, the %s value may be 0\nFor SWLI or BTW ramps, it must be greater than %g and less than %g (nm/frm)\n",
                             "RampSlope", 0.0, 4000.0)) &&
           real_field("ObjMag", entry.objMag, [&](double v) { return v >= 0 && v < 1000 && (!btw || v != 0); },
                      format("For PMI or SWLI ramps, the %s value may be 0\nFor BTW ramps, it must be greater than %g and less than %g\n",
                             "ObjMag", 0.0, 1000.0)) &&
           real_field("ScanCal", entry.scanCal, [&](double v) { return pmi ? v == 0 : (v > 0.5 && v < 1.5); },
                      format("For PMI ramps, the %s value must be 0\nFor SWLI or BTW ramps, it must be greater than %g and less than %g\n",
                             "ScanCal", 0.5, 1.5)) &&
           [&] {
               // 11: Hide, optional; a trailing comment counts as absent.
               if (tokens.count <= field) return true;
               const std::string_view hide = tokens.items[field];
               if (hide.starts_with('\n') || hide.starts_with('#')) return true;
               return int_field("Hide", entry.hide, 0, 1, format("The %s value must be blank, 0 or 1\n", "Hide"));
           }();
}

// The entry array, grown five entries at a time through the allocator
// hooks.
struct EntryArray {
    rr_ramp_cfg_t* data = nullptr;
    int32_t count = 0;
    int32_t capacity = 0;
    ~EntryArray() { gl_mem_free(data); }
    bool append(const rr_ramp_cfg_t& entry) {
        if (count == capacity) {
            auto* grown = static_cast<rr_ramp_cfg_t*>(
                gl_mem_realloc(data, sizeof(rr_ramp_cfg_t) * static_cast<size_t>(capacity + kGrowBy)));
            if (grown == nullptr) return false;
            std::memset(grown + capacity, 0, sizeof(rr_ramp_cfg_t) * kGrowBy);
            data = grown;
            capacity += kGrowBy;
        }
        data[count++] = entry;
        return true;
    }
    rr_ramp_cfg_t* release() {
        rr_ramp_cfg_t* out = data;
        data = nullptr;
        return out;
    }
};

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

const char* const rr_ramp_cfg_format_text =
    "#\n"
    "# RT  = RampType: PMI, SWLI, BTW, or BTWX where X is a filter number\n"
    "# FN  = FileName: name of ramp data file or \"+\" if derived from previous\n"
    "# SL  = ScanLen: scan length in microns for SWLI or BTW ramps\n"
    "# CR  = CameraRate: frame rate in Hz\n"
    "# CI  = CameraInterlace: 1 if interlaced fields, otherwise 0\n"
    "# GS  = GrabSkip: (GrabSkip+1 specifies camera frame sampling)\n"
    "# FPF = FringesPerFrame: normal 0.125 or 0.25, subnyquist 0.75 or 1.25\n"
    "# RS  = RampSlope: nm/frm for SWLI or BTW ramps\n"
    "# OM  = ObjMag: nominal objective magnification, required for BTW ramps\n"
    "# SC  = ScanCal: factor near 1.0 to calibrate SWLI or BTW ramps\n"
    "# H   = Optional hide flag: 0 is normal, 1 to hide ramp from user\n"
    "#\n"
    "# RT    FN                     SL    CR   CI GS  FPF    RS       OM   SC      H";

const char* const rr_ramp_cfg_sample_line =
    " SWLI d10s81c25.b12345      010.20 025.00 00 00 0.250 081.0000 000.00 1.00000 0";

int32_t rr_read_ramp_cfg_file(const char* path, rr_ramp_cfg_t** entries, int32_t* count) {
    if (entries == nullptr || *entries != nullptr || count == nullptr) return ERR_INVALID_PARAM;
    *count = 0;
    std::unique_ptr<FILE, FileCloser> file(plat::open_file(path, "r"));
    if (!file) {
        gl_msg_print("Cannot open ramp config file \"%s\"\n", path);
        return ERR_CANT_OPEN_FILE;
    }

    EntryArray array;
    int32_t result = NO_ERROR;
    int errors = 0;
    int line_number = 0;
    int spec_lines = 0;
    char line[512];
    // Reports one rejected line in the file's error style.
    auto report = [&](const LineError& error, int number, const char* text) {
        if (++errors == 1) gl_msg_print("Error reading ramp config file \"%s\"\n", path);
        gl_msg_print("%s", error.first.c_str());
        if (number > 0 && text != nullptr && text[0] != '\0') {
            const size_t len = std::strlen(text);
            gl_msg_print(" in line %d:\n  %s%s", number, text, text[len - 1] == '\n' ? "" : "\n");
        } else if (number > 0) {
            gl_msg_print(" in line %d\n", number);
        } else {
            gl_msg_print("\n");
        }
        if (!error.second.empty()) gl_msg_print("%s", error.second.c_str());
    };

    while (std::fgets(line, sizeof line, file.get()) != nullptr) {
        ++line_number;
        size_t length = std::strlen(line);
        if (length > 0 && line[length - 1] == '\n') --length;
        if (length > kMaxLineLength) {
            report({format("Line longer than %d characters", kMaxLineLength), {}}, line_number, nullptr);
            result = ERR_CORRUPT_RAMP_CFG_FILE;
            break;
        }
        const Tokens tokens{std::string_view(line)};
        if (tokens.count == 0 || tokens.items[0].starts_with('#')) continue;
        ++spec_lines;
        rr_ramp_cfg_t entry{};
        LineError error;
        if (parse_spec(tokens, entry, error)) {
            if (!array.append(entry)) {
                report({"Out of memory", {}}, 0, nullptr);
                result = ERR_NO_MEM;
                break;
            }
            continue;
        }
        report(error, line_number, line);
        if (errors > kMaxErrors) {
            gl_msg_print("Too many errors reading ramp config file \"%s\"\n", path);
            result = ERR_CORRUPT_RAMP_CFG_FILE;
            break;
        }
    }

    if (array.count == 0) {
        gl_msg_print("No acceptable ramp specs in ramp config file \"%s\"\n", path);
        gl_msg_print("Format description and sample:\n%s\n%s\n", rr_ramp_cfg_format_text, rr_ramp_cfg_sample_line);
        if (result == NO_ERROR) result = ERR_CORRUPT_RAMP_CFG_FILE;
    } else if (array.count < spec_lines) {
        gl_msg_print("Accepted %d of %d ramp specs in ramp config file \"%s\"\n", array.count, spec_lines, path);
    }
    if (result != NO_ERROR) return result;
    *count = array.count;
    *entries = array.release();
    return NO_ERROR;
}
