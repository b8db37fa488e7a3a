#include "calibration/sb_write_cal.h"

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>

#include "calibration/cal_read_error.h"
#include "calibration/cal_write_lines.h"
#include "calibration/system_info.h"
#include "errors/err_codes.h"
#include "errors/msg.h"
#include "platform/descriptor.h"
#include "platform/file.h"
#include "util/dirs.h"

namespace {

std::string default_destination(int32_t digit) {
    const char* config = u_config_dir();
    std::string folder = config != nullptr ? config : ".";
    return folder + "/" + u_host_file_name(digit);
}

std::string folder_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Removes the temporary file when it goes out of scope, unless it was
// renamed into place.
struct TempFile {
    std::string path;
    ~TempFile() {
        if (!path.empty()) plat::remove_file(path.c_str());
    }
};

}  // namespace

int32_t sb_writeCal(int32_t slot, const char* path) {
    SystemInfo* si = sb_slot(slot);
    if (si == nullptr) return ERR_PARAM_OUT_OF_RANGE;
    cal_msg_count = 0;
    const std::string destination =
        path != nullptr && path[0] != '\0' ? std::string(path) : default_destination(si->calFileDigit);
    const char* dest = destination.c_str();

    if (si->calFd > 0) {
        plat::close_descriptor(si->calFd);
        si->calFd = 0;
    }

    const std::optional<std::string> temp_name = plat::temp_file_name("_calfile", folder_of(destination));
    if (!temp_name) {
        cal_write_error(dest, "Cannot create temp file.");
        return ERR_CANT_CREATE_FILE;
    }
    TempFile temp{*temp_name};
    FILE* out = plat::open_file(temp.path.c_str(), "w");
    if (out == nullptr) {
        char text[MSG_SYSTEM_ERROR_TEXT_SIZE];
        cal_write_error(dest, "Cannot open temp file \"%s\": %s", temp.path.c_str(),
                        msg_system_error_text(errno, text));
        return ERR_CANT_WRITE_FILE;
    }
    int32_t result = cal_write_lines(out, *si, dest);
    const bool written = std::ferror(out) == 0;
    if (std::fclose(out) != 0 || !written) {
        char text[MSG_SYSTEM_ERROR_TEXT_SIZE];
        cal_write_error(dest, "Cannot write temp file \"%s\": %s", temp.path.c_str(),
                        msg_system_error_text(errno, text));
        if (result == NO_ERROR) result = ERR_CANT_WRITE_FILE;
    }
    if (result != NO_ERROR) return result;
    // The temporary file was created private; the file it replaces keeps
    // its permissions.
    plat::match_file_mode(temp.path.c_str(), dest);
    if (plat::rename_file(temp.path.c_str(), dest) != 0) {
        cal_write_error(dest, "Cannot copy temp file \"%s\" to \"%s\"", temp.path.c_str(), dest);
        return ERR_CANT_WRITE_FILE;
    }
    temp.path.clear();
    return NO_ERROR;
}
