#include "calibration/bad_pixel_table.h"

#include "util/memhooks.h"

void bad_pixel_table_release(BadPixelTable& table) {
    if (table.sections != nullptr) {
        for (int32_t i = 0; i < table.count; ++i) {
            BadPixelList& list = table.sections[i].pixels;
            if (list.entries != nullptr) gl_mem_free(list.entries);
            list = BadPixelList{};
        }
        gl_mem_free(table.sections);
    }
    table.sections = nullptr;
    table.count = 0;
}
