// gen_cam_ped_filename: the slot's bad-pixel table from the bad-pixel file
// or from the calibration file's short list.
#include <cstdio>
#include <new>
#include <string>

#include "calibration/bad_pixel_file.h"
#include "calibration/system_info.h"
#include "errors/err_codes.h"
#include "errors/msg.h"
#include "platform/path.h"
#include "util/dirs.h"
#include "util/memhooks.h"

namespace {

// Room for the loader's report: the path and one section's explanation.
constexpr size_t kLoadMessageSize = kCalPathMax + 1024;

// The bad-pixel file of the slot, in the configuration directory.
std::string bad_pixel_file_path(const SystemInfo& si, const char* config_dir) {
    std::string name(si.badPixelFile.view());
    if (name.empty()) {
        char numbered[32];
        std::snprintf(numbered, sizeof numbered, kBadPixelDefaultName, si.serialNumber);
        name = numbered;
    }
    return plat::to_posix_separators(std::string(config_dir) + "/" + name);
}

int32_t load_from_file(SystemInfo& si, BadPixelSection* sections, int32_t& count) {
    const char* config_dir = u_config_dir();
    if (config_dir == nullptr || config_dir[0] == '\0') {
        gl_msg_print("gen_cam_ped_filename: invalid config directory.\n");
        return ERR_INVALID_PARAM;
    }
    const std::string path = bad_pixel_file_path(si, config_dir);
    char* message = static_cast<char*>(gl_mem_alloc(kLoadMessageSize));
    if (message == nullptr) return ERR_NO_MEM;
    const int32_t result =
        bad_pixel_file_load(path.c_str(), sections, kBadPixelMaxSections, &count, message, kLoadMessageSize);
    if (result != NO_ERROR) gl_msg_print("%s", message);
    gl_mem_free(message);
    return result;
}

// One section for the current grab mode from the calibration file's list,
// which ends at the first pair with a negative x.
int32_t build_from_list(const SystemInfo& si, BadPixelSection& section) {
    int32_t pairs = 0;
    while (pairs < kCalBadPixels && si.badPixels[pairs].x >= 0) ++pairs;
    // Acquisition that has not started yet leaves the factor 0: count it as
    // no under-sampling rather than divide by it.
    const int32_t under = si.acq.grabUnder == 0 ? 1 : si.acq.grabUnder;
    section.grabMode = si.acq.grabMode;
    section.grabUnder = under;
    section.sizeX = static_cast<int16_t>(si.acq.grabWidth / under);
    section.sizeY = static_cast<int16_t>(si.acq.grabHeight / under);
    section.grabRate = static_cast<float>(si.acq.grabRate);
    section.pixels.count = static_cast<uint32_t>(pairs);
    if (BadPixelList_alloc(&section.pixels) != NO_ERROR) return ERR_NO_MEM;
    for (int32_t i = 0; i < pairs; ++i) section.pixels.data[i] = BadPixel{si.badPixels[i].x, si.badPixels[i].y, 0};
    return NO_ERROR;
}

}  // namespace

int32_t gen_cam_ped_filename(SystemInfo* si) {
    if (si == nullptr) return ERR_SYS_INFO_NOT_AVAIL;
    BadPixelTable table{static_cast<BadPixelSection*>(gl_mem_calloc(kBadPixelMaxSections, sizeof(BadPixelSection))),
                        0};
    bad_pixel_table_release(si->badPixelTable);
    if (table.sections == nullptr) return ERR_NO_MEM;

    int32_t result = NO_ERROR;
    try {
        if (si->badPixelFileFlag != 0) {
            result = load_from_file(*si, table.sections, table.count);
        } else if (si->badPixels[0].x < 0) {
            bad_pixel_table_release(table);
            return NO_ERROR;
        } else {
            result = build_from_list(*si, table.sections[0]);
            if (result == NO_ERROR) {
                table.count = 1;
                si->badPixelFileFlag = 1;
            }
        }
    } catch (const std::bad_alloc&) {
        result = ERR_NO_MEM;
    }
    if (result != NO_ERROR) {
        bad_pixel_table_release(table);
        return result;
    }
    for (int32_t i = 0; i < table.count; ++i) bad_pixel_list_normalise(&table.sections[i].pixels);
    si->badPixelTable = table;
    return NO_ERROR;
}
