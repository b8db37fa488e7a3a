// ftp_load_materials and ftp_check_magnifications: the FTP instrument's
// materials data in its slot.
#include "calibration/ftp_materials.h"

#include <cmath>
#include <new>
#include <string>

#include "calibration/system_info.h"
#include "errors/err_codes.h"
#include "errors/err_name.h"
#include "errors/msg.h"
#include "platform/path.h"
#include "util/files.h"
#include "util/memhooks.h"

namespace {

void free_list(FtpMaterials& materials) {
    if (materials.list != nullptr) gl_mem_free(materials.list);
    materials.list = nullptr;
    materials.listCount = 0;
    materials.listCapacity = 0;
}

// A name from the root (or with a drive letter) is used as it is.
bool is_rooted(const std::string& name) { return name[0] == '/' || (name.size() > 1 && name[1] == ':'); }

// The path to read: the name itself, or where u_find_file finds it. The
// resolved path replaces the recorded name only when it fits the field
// whole: a cut path would name another file.
int32_t resolve(FtpInfo& ftp, std::string& path) {
    path = plat::to_posix_separators(ftp.materialsFile.view());
    if (is_rooted(path)) return NO_ERROR;
    const char* found = nullptr;
    const int32_t result = u_find_file(path.c_str(), &found);
    if (result != NO_ERROR || found == nullptr) {
        gl_msg_print("Cannot access FTP materials file \"%s\"\n", ftp.materialsFile.c_str());
        gl_msg_print("%s\n", err_name(result != NO_ERROR ? result : ERR_CANT_READ_FILE));
        return ERR_FTP_CANT_READ_MATLS_FILE;
    }
    path = found;
    if (path.size() <= ftp.materialsFile.capacity()) ftp.materialsFile.set(path);
    return NO_ERROR;
}

}  // namespace

int32_t ftp_load_materials(SystemInfo* si) {
    if (si == nullptr) return ERR_SYS_INFO_NOT_AVAIL;
    if (si->ftpInfo == nullptr) return ERR_FTP_NO_FTP_INFO;
    FtpInfo& ftp = *si->ftpInfo;
    free_list(ftp.materials);
    if (ftp.materialsFile.empty()) {
        gl_msg_print("FTP materials file name is NULL\n");
        return ERR_INVALID_PARAM;
    }
    try {
        std::string path;
        if (const int32_t result = resolve(ftp, path); result != NO_ERROR) return result;
        if (const int32_t result = ftp_read_materials_file(path.c_str(), &ftp.materials); result != NO_ERROR) {
            gl_msg_print("Error reading FTP materials file \"%s\"\n", path.c_str());
            gl_msg_print("%s\n", err_name(result));
            return ERR_FTP_CANT_READ_MATLS_FILE;
        }
    } catch (const std::bad_alloc&) {
        return ERR_NO_MEM;
    }
    return ftp_check_magnifications(si, &ftp);
}

int32_t ftp_check_magnifications(const SystemInfo* si, FtpInfo* ftp) {
    if (si == nullptr) return ERR_SYS_INFO_NOT_AVAIL;
    if (ftp == nullptr) return ERR_FTP_NO_FTP_INFO;
    for (int32_t& index : ftp->magIndex) index = -1;
    const int32_t count = si->magCount < 0 ? 0 : si->magCount > kCalMaxMags ? kCalMaxMags : si->magCount;
    for (int32_t i = 0; i < count; ++i) {
        const double mag = si->nomMag[i];
        for (int32_t j = 0; j < 4 && ftp->magIndex[i] < 0; ++j)
            if (std::fabs(mag - ftp->materials.allowedMag[j]) < kFtpMagTolerance) ftp->magIndex[i] = j;
        if (ftp->magIndex[i] < 0) {
            gl_msg_print("Magnification %3.1f is not allowed on an FTP system\n", mag);
            return ERR_FTP_INVALID_MAGNIFICATION;
        }
    }
    return NO_ERROR;
}
