#include "calibration/sb_read_cal.h"

#include <cstring>
#include <string_view>

#include "calibration/cal_read_checks.h"
#include "calibration/cal_read_error.h"
#include "calibration/cal_read_line.h"
#include "calibration/cal_vocab.h"
#include "calibration/sb_reset.h"
#include "errors/err_codes.h"
#include "errors/msg.h"
#include "platform/file.h"
#include "util/dirs.h"
#include "util/files.h"

namespace {

constexpr std::string_view kDefaultsSource = "+DEFAULTS";

// Closes a stream when it goes out of scope.
struct StreamCloser {
    FILE* f;
    ~StreamCloser() {
        if (f != nullptr) std::fclose(f);
    }
};

int32_t read_text(SystemInfo& si, const char* source) {
    cal_set_current_text(source);
    CalStream in{std::string_view(source + 1)};
    CalReadState st{in, si};
    st.given = static_cast<uint16_t>(~0u);
    st.badPixelIndex = kCalBadPixels;
    for (int32_t i = 0; i < kCalBadPixels; ++i) {
        if (si.badPixels[i].x < 0) {
            st.badPixelIndex = i;
            break;
        }
    }
    const int32_t token = cal_next_keyword(in, st.status);
    cal_read_line(st, token);
    return st.status;
}

// Reads lines until the end of the file, the first unrecognised keyword or
// the message cap. Returns the status the reading stopped with.
int32_t read_lines(CalReadState& st) {
    for (int32_t line_number = 1;; ++line_number) {
        st.status = 0;
        const int32_t token = cal_next_keyword(st.in, st.status);
        if (token == CAL_TOK_UNRECOGNISED) return ERR_SB_CALFILE_SYNTAX;
        cal_read_line(st, token);
        if (st.noMemory) return ERR_NO_MEM;
        if (st.status == ERR_EOF) return ERR_EOF;
        if (st.status != 0) cal_read_error("Error in line %d.", static_cast<int>(line_number));
        if (token == CAL_TOK_EOF) return st.status;
        if (cal_msg_count >= kCalMaxMessages || !st.in.skip_line()) return st.status;
    }
}

int32_t read_file(SystemInfo& si, const char* path) {
    std::string resolved;
    FILE* file = nullptr;
    const int32_t rc = cal_open(path, si.calFileDigit, resolved, &file);
    if (rc != NO_ERROR) return rc;
    StreamCloser closer{file};
    si.calFilePath.set(resolved);
    sb_resetCal(&si);

    CalStream in{file};
    CalReadState st{in, si};
    const int32_t status = read_lines(st);
    std::fclose(file);
    closer.f = nullptr;
    if (status != NO_ERROR) return status;
    if (cal_msg_count > 0) return ERR_SB_CALFILE_INVALID;
    const int32_t checked = cal_check_complete(si, st.given, st.lightValues);
    if (checked != NO_ERROR) return checked;
    cal_derive_llc_ranges(si, st.llcPairs);
    cal_correct_accessories(si);
    return NO_ERROR;
}

}  // namespace

int32_t cal_open(const char* path, int32_t digit, std::string& resolved, FILE** stream) {
    *stream = nullptr;
    const std::string name = path != nullptr && path[0] != '\0' ? std::string(path) : u_host_file_name(digit);
    cal_set_current_path(name);
    const char* found = nullptr;
    const int32_t rc = u_find_file(name.c_str(), &found);
    if (rc != NO_ERROR || found == nullptr) {
        cal_read_error("Cannot access file.");
        return rc != NO_ERROR ? rc : ERR_CANT_READ_FILE;
    }
    resolved = found;
    cal_set_current_path(resolved);
    // The slot records the path whole; one too long for it is refused.
    if (resolved.size() > kCalPathMax) {
        cal_read_error("Cannot access file.");
        return ERR_CANT_READ_FILE;
    }
    gl_msg_print("Reading system calibration file: \"%s\"\n", resolved.c_str());
    FILE* file = plat::open_file(resolved.c_str(), "r");
    if (file == nullptr) {
        cal_read_error("Cannot open file for reading.");
        return ERR_CANT_READ_FILE;
    }
    // Only a regular file is read: a terminal or other device could block.
    const std::optional<plat::FileStatus> status = plat::file_status(resolved.c_str());
    if (!status || status->kind != plat::FileKind::Regular) {
        std::fclose(file);
        gl_msg_print("sb_readCal attempt from terminal device\n");
        return ERR_CANT_READ_FILE;
    }
    *stream = file;
    return NO_ERROR;
}

int32_t sb_readCal(int32_t slot, const char* source) {
    SystemInfo* si = sb_slot(slot);
    if (si == nullptr) return ERR_PARAM_OUT_OF_RANGE;
    cal_clear_current();
    if (source != nullptr && source[0] == '+') {
        if (std::string_view(source) == kDefaultsSource) {
            sb_resetCal(si);
            return NO_ERROR;
        }
        return read_text(*si, source);
    }
    return read_file(*si, source);
}
