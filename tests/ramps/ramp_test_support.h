// A ramp header with every field set to something recognisable.
#pragma once

#include <cstring>

#include "ramps/ramp_header.h"

inline rr_ramp_hdr_t sample_ramp_header(int32_t points) {
    rr_ramp_hdr_t h{};
    h.magicNumber = RR_RAMP_MAGIC;
    h.rampType = RR_RAMP_SWLI;
    h.pztID = 12345;
    h.rampID = 3;
    h.nPoints = points;
    h.rampUp = 10;
    h.sampleClkFreq = 2.5f;
    h.cameraRate = 25.0f;
    h.updateRate = 63936;
    h.grabSkip = 0;
    h.rampSlope = 81.0f;
    h.rampGainDflt = 2048;
    h.rampTriple[0] = 1.5f;
    h.scanLen = 10.0f;
    h.polar = 'b';
    h.nBuckets = 100;
    h.instrBdType = 1;
    h.reserved164 = 0x01020304;
    h.fringesPerFrame = 0.25f;
    h.objMag = 20.0f;
    h.wavelenSelect = 2;
    std::memcpy(h.reserved180, "\x11\x22\x33\x44", 4);
    h.rampRising = 1;
    std::memcpy(h.reserved188, "RESERVED", 8);
    for (int i = 0; i < 132; ++i) h.spare[i] = static_cast<uint8_t>(i * 7);
    return h;
}
