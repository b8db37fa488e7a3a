// One ramp of an instrument's ramp set, as the set loader keeps it.
#pragma once

#include <cstdint>

#include "ramps/ramp_header.h"

struct rr_ramp_t {
    char name[82];          // configured file name ("*" kept), "+" + base name when derived, or profile name
    rr_ramp_hdr_t hdr;      // header, possibly adjusted by the loader
    uint16_t* points;       // hdr.nPoints drive values, owned; null for external profile ramps
    uint8_t instrSlot;      // instrument ramp slot holding the ramp, 0xFF when not loaded
    int64_t lastStartTime;  // seconds; when last started on a CAN instrument, 0 if never
    int32_t durationMs;     // playing time, at least 1
    int32_t direction;      // 1 when focus moves in the positive sense during the scan, else 2
    double sortKey;
    double offsetDistance;  // micrometres from the first frame to the offset crossing, signed by direction
    int32_t gain;           // current drive gain (PMI ramps)
    double timeToOffset;    // seconds from the first frame to the offset crossing
    int32_t hide;           // copied from the configuration entry
};
