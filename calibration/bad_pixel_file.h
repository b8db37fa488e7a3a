// The camera bad-pixel file and the slot's bad-pixel table built from it.
//
// The file is text, read line by line. A line whose first word begins with
// '[' opens a section (a camera mode): after that word come grab mode
// (0..10), grab under (0..10), size x and size y (0..32767) and grab rate
// (0..500). Every following line up to the next '[' line is a pixel: coord x
// (0..size x - 1) and coord y (0..size y - 1). Empty lines and lines whose
// first word begins with '#' are skipped; a line may hold at most 100
// characters; further words on a line are ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "calibration/bad_pixel_table.h"
#include "calibration/text_lines.h"

struct SystemInfo;

// Longest line of a bad-pixel file, line end not counted.
inline constexpr int32_t kBadPixelMaxLine = 100;
// Default file name, filled with the slot's serial number.
inline constexpr const char* kBadPixelDefaultName = "bpix_%d.dat";

// Builds the slot's bad-pixel table. With badPixelFileFlag set it loads the
// bad-pixel file (badPixelFile, else "bpix_<serialNumber>.dat") from the
// configuration directory; otherwise it makes one section for the current
// grab mode from the calibration file's badPixels list and sets
// badPixelFileFlag. No list and no flag give an empty table. Every section
// comes out sorted by x, then y, without repeats. On failure the slot has no
// table. Errors: ERR_SYS_INFO_NOT_AVAIL (no slot), ERR_INVALID_PARAM (no
// configuration directory), ERR_CANT_OPEN_FILE, ERR_CB_FILE_INVALID,
// ERR_NO_MEM.
int32_t gen_cam_ped_filename(SystemInfo* si);

// Reads every section of the bad-pixel file at `path` into `sections`
// (room for `capacity`), setting `*count`. On failure nothing is kept (the
// pixel lists read so far are freed, `*count` is 0) and `message` holds the
// explanation, cut to `message_size` characters including the terminator.
// Errors: ERR_CANT_OPEN_FILE, ERR_CB_FILE_INVALID (also for a file with
// more than `capacity` sections), ERR_NO_MEM.
int32_t bad_pixel_file_load(const char* path, BadPixelSection* sections, int32_t capacity, int32_t* count,
                            char* message, size_t message_size);

// Reads one section from `in`. `*line_number` counts the lines read; a
// following section's header line is left in `in`. `*at_end` is true when
// the file ended before anything but empty and comment lines was seen (the
// section is then empty and not part of the file). On failure the section's
// pixel list is freed and `message` explains it. Errors:
// ERR_CB_FILE_INVALID, ERR_NO_MEM.
int32_t bad_pixel_section_read(TextLineReader& in, BadPixelSection* section, int32_t* line_number, bool* at_end,
                               std::string& message);

// Sorts a section's pixels by x, then y, and drops repeated coordinates.
void bad_pixel_list_normalise(BadPixelList* list);
