// Reading one setting line of the calibration file into a slot, by
// the setting-line table. Shared by the file and text modes of
// sb_readCal.
#pragma once

#include <cstdint>

#include "calibration/cal_scan.h"
#include "calibration/system_info.h"

// What one read keeps across its lines.
struct CalReadState {
    CalStream& in;
    SystemInfo& si;
    int32_t status = 0;        // the current line's status
    uint16_t given = 0;        // CalGiven bits of the lines read so far
    int32_t badPixelIndex = 0; // where the next Camera BPixels pair goes
    int32_t lightValues = 0;   // values read by Light lines
    int32_t llcPairs = 0;      // pairs the last LLC Range line gave
    bool noMemory = false;     // a sub-record could not be created
};

// Reads the rest of a line that began with `token` (a keyword token or one
// of the scanner's own). Failures print their message and set st.status;
// the ordering rules print their message and leave the status 0.
void cal_read_line(CalReadState& st, int32_t token);
