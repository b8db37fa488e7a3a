#include "calibration/bad_pixel_table.h"

#include "util/memhooks.h"

void bad_pixel_table_release(BadPixelTable& table) {
    if (table.sections != nullptr) {
        for (int32_t i = 0; i < table.count; ++i) BadPixelList_free(&table.sections[i].pixels);
        gl_mem_free(table.sections);
    }
    table.sections = nullptr;
    table.count = 0;
}
