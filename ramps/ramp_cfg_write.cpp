// Writing the ramp configuration file, and checking an entry against the
// ramp data loaded for it.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "errors/err_codes.h"
#include "errors/msg.h"
#include "platform/file.h"
#include "ramps/ramp_cfg.h"

namespace {

// The RampType keyword of an entry.
void type_keyword(const rr_ramp_cfg_t& entry, char (&out)[8]) {
    if (entry.rampType == 0)
        std::snprintf(out, sizeof out, "SWLI");
    else if (rr_is_pmi(entry.rampType))
        std::snprintf(out, sizeof out, "PMI");
    else if (entry.rampType == RR_RAMP_BTW && entry.wavelenSelect >= 1 && entry.wavelenSelect <= 4)
        std::snprintf(out, sizeof out, "BTW%d", entry.wavelenSelect);
    else if (entry.rampType == RR_RAMP_BTW)
        std::snprintf(out, sizeof out, "BTW");
    else
        std::snprintf(out, sizeof out, "XXX");
}

}  // namespace

int32_t rr_write_ramp_cfg_file(const char* path, const rr_ramp_cfg_t* entries, int32_t count) {
    if (entries == nullptr) return ERR_INVALID_PARAM;
    FILE* f = plat::open_file(path, "w");
    if (f == nullptr) return ERR_CANT_OPEN_FILE;
    bool ok = std::fprintf(f, "# Phasorix Ramp Configuration File\n%s\n", rr_ramp_cfg_format_text) > 0;

    // Entries of one type, file and camera rate form a group; groups are
    // separated by an empty line.
    int32_t group_type = -1;
    char group_name[RR_CFG_FILE_NAME_MAX + 1] = "";
    float group_rate = 0.0f;
    for (int32_t i = 0; i < count && ok; ++i) {
        const rr_ramp_cfg_t& e = entries[i];
        char name[RR_CFG_FILE_NAME_MAX + 1];
        std::snprintf(name, sizeof name, "%.*s", RR_CFG_FILE_NAME_MAX, e.fileName);
        if (e.rampType != group_type || std::strcmp(name, group_name) != 0 ||
            std::fabs(e.cameraRate - group_rate) > 1.0f) {
            ok = std::fputc('\n', f) != EOF;
            group_type = e.rampType;
            std::memcpy(group_name, name, sizeof name);
            group_rate = e.cameraRate;
        }
        char keyword[8];
        type_keyword(e, keyword);
        ok = ok && std::fprintf(f, " %-4s %-22s %6.2f %6.2f %2d %2d %5.3f %8.4f %6.2f %7.5f %1d\n", keyword, name,
                                static_cast<double>(e.scanLen), static_cast<double>(e.cameraRate), e.cameraInterlace,
                                e.grabSkip, static_cast<double>(e.fringesPerFrame), static_cast<double>(e.rampSlope),
                                static_cast<double>(e.objMag), static_cast<double>(e.scanCal), e.hide) > 0;
    }
    // A failed write or close is reported, never taken for success.
    const bool closed = std::fclose(f) == 0;
    return ok && closed ? NO_ERROR : ERR_CANT_WRITE_FILE;
}

int32_t rr_check_cfg_vs_ramp(const rr_ramp_cfg_t* entry, const rr_ramp_t* ramp) {
    if (entry == nullptr || ramp == nullptr) return ERR_INVALID_PARAM;
    const rr_ramp_hdr_t& h = ramp->hdr;
    const char* mismatch = nullptr;
    const bool pmi = rr_is_pmi(h.rampType);
    if (pmi ? !(entry->rampType == 1 || entry->rampType == h.rampType) : entry->rampType != h.rampType)
        mismatch = "rampType";
    else if (!(std::fabs(entry->cameraRate - h.cameraRate) <= 0.1f))
        mismatch = "cameraRate";
    else if (entry->cameraInterlace != h.cameraInterlace)
        mismatch = "cameraInterlace";
    else if (entry->grabSkip != h.grabSkip)
        mismatch = "grabSkip";
    else if (entry->fringesPerFrame != h.fringesPerFrame)
        mismatch = "fringesPerFrame";
    else if (!pmi && entry->scanLen != h.scanLen)
        mismatch = "scanLen";
    else if (!pmi && entry->rampSlope != h.rampSlope)
        mismatch = "rampSlope";
    if (mismatch == nullptr) return NO_ERROR;
    gl_msg_print("Error: mismatched %s\n", mismatch);
    return ERR_INVALID_PARAM;
}
