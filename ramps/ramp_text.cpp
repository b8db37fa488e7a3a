// Text forms of a ramp: the header dump and the standard file name.
#include <cmath>
#include <cstddef>
#include <cstring>

#include "errors/err_codes.h"
#include "errors/msg.h"
#include "ramps/ramp_header.h"

namespace {

enum class FieldKind { Int, Real, Letter };

struct DumpField {
    const char* name;
    size_t offset;
    FieldKind kind;
};

#define RR_FIELD(member, kind) {#member, offsetof(rr_ramp_hdr_t, member), FieldKind::kind}
// The fields printed by the dump, in file order (reserved words and
// rampRising are not shown).
constexpr DumpField kDumpFields[] = {
    RR_FIELD(magicNumber, Int),      RR_FIELD(rampType, Int),        RR_FIELD(pztID, Int),
    RR_FIELD(rampID, Int),           RR_FIELD(nPoints, Int),         RR_FIELD(rampUp, Int),
    RR_FIELD(rampStart, Int),        RR_FIELD(rampLinear, Int),      RR_FIELD(rampEnd, Int),
    RR_FIELD(sampleClkFreq, Real),   RR_FIELD(cameraRate, Real),     RR_FIELD(updateRate, Int),
    RR_FIELD(grabSkip, Int),         RR_FIELD(rampSlope, Real),      RR_FIELD(trigStartAddr, Int),
    RR_FIELD(trigEndAddr, Int),      RR_FIELD(rampGainDflt, Int),    RR_FIELD(rampTriple[0], Real),
    RR_FIELD(rampTriple[1], Real),   RR_FIELD(rampTriple[2], Real),  RR_FIELD(scanLen, Real),
    RR_FIELD(polar, Letter),         RR_FIELD(offset, Int),          RR_FIELD(nBuckets, Int),
    RR_FIELD(rampLin, Real),         RR_FIELD(rampTrim, Real),       RR_FIELD(cameraPClock, Real),
    RR_FIELD(cameraHPeriod, Int),    RR_FIELD(cameraVPeriod, Int),   RR_FIELD(cameraInterlace, Int),
    RR_FIELD(rampMux, Int),          RR_FIELD(instrBdType, Int),     RR_FIELD(compGain, Int),
    RR_FIELD(compFilter, Int),       RR_FIELD(leakage, Int),         RR_FIELD(adcMin, Int),
    RR_FIELD(adcMax, Int),           RR_FIELD(adcFirst, Int),        RR_FIELD(adcMid, Int),
    RR_FIELD(adcLast, Int),          RR_FIELD(scanCal, Real),        RR_FIELD(fringesPerFrame, Real),
    RR_FIELD(objMag, Real),          RR_FIELD(wavelenSelect, Int),
};
#undef RR_FIELD

char g_std_name[128];

// Frames per sample, rounded: the rate part of a standard name.
int rate_per_sample(const rr_ramp_hdr_t& h) {
    const double rate = static_cast<double>(h.cameraRate) / (static_cast<double>(h.grabSkip) + 1.0);
    if (!std::isfinite(rate) || std::fabs(rate) > 2e9) return 0;
    return static_cast<int>(std::lround(rate));
}

// Truncates a header real to an int without overflowing.
int truncated(float value) {
    if (!std::isfinite(value) || std::fabs(value) > 2e9f) return 0;
    return static_cast<int>(value);
}

char letter(int32_t value) { return static_cast<char>(value & 0xFF); }

}  // namespace

const char* rr_ramp_type_name(int32_t ramp_type) {
    static constexpr const char* kNames[20] = {"SWLI", "PMI", "PMI", "PMI", "PMI", "PMI", "?",   "?", "?",   "?",
                                               "?",    "PMI", "PMI", "PMI", "PMI", "PMI", "?",   "BTW", "?", "FR"};
    return ramp_type >= 0 && ramp_type < 20 ? kNames[ramp_type] : "?";
}

void rr_print_ramp(FILE* stream, const rr_ramp_hdr_t* header, const uint16_t* points, bool one_per_line) {
    if (stream == nullptr || header == nullptr) return;
    const auto* bytes = reinterpret_cast<const unsigned char*>(header);
    for (const DumpField& field : kDumpFields) {
        const int first = static_cast<int>(field.offset) + 1;
        const int last = first + 3;
        int32_t i;
        float f;
        std::memcpy(&i, bytes + field.offset, 4);
        std::memcpy(&f, bytes + field.offset, 4);
        switch (field.kind) {
        case FieldKind::Int: std::fprintf(stream, "# %3d-%3d  %-18s = %d\n", first, last, field.name, i); break;
        case FieldKind::Real: std::fprintf(stream, "# %3d-%3d  %-18s = %g\n", first, last, field.name, f); break;
        case FieldKind::Letter: std::fprintf(stream, "# %3d-%3d  %-18s = %c\n", first, last, field.name, letter(i)); break;
        }
    }
    std::fprintf(stream, "# %3d-%3d  %-18s\n", static_cast<int>(offsetof(rr_ramp_hdr_t, spare)) + 1,
                 static_cast<int>(sizeof(rr_ramp_hdr_t)), "spare");
    std::fprintf(stream, "# sizeof rr_ramp_hdr_t = %d\n", static_cast<int>(sizeof(rr_ramp_hdr_t)));
    if (points == nullptr) return;
    for (int32_t i = 0; i < header->nPoints; ++i) {
        if (one_per_line) {
            std::fprintf(stream, "%u\n", points[i]);
        } else {
            std::fprintf(stream, "%u  ", points[i]);
            if (i % 10 == 0) std::fputc('\n', stream);
        }
    }
    if (!one_per_line) std::fputc('\n', stream);
}

int32_t rr_get_std_ramp_filename(const rr_ramp_hdr_t* header, const char** name) {
    if (name != nullptr) *name = nullptr;
    if (header == nullptr || name == nullptr) return ERR_INVALID_PARAM;
    const rr_ramp_hdr_t& h = *header;
    char rate[16];
    std::snprintf(rate, sizeof rate, "%d", rate_per_sample(h));
    if (h.rampType == RR_RAMP_SWLI) {
        std::snprintf(g_std_name, sizeof g_std_name, "d%ds%dc%s.%c%d", truncated(h.scanLen), truncated(h.rampSlope),
                      rate, letter(h.polar), h.pztID);
    } else if (h.rampType == RR_RAMP_BTW) {
        std::snprintf(g_std_name, sizeof g_std_name, "d%ds%dc%sm%d.%c%d", truncated(h.scanLen),
                      truncated(h.rampSlope), rate, truncated(h.objMag), letter(h.polar), h.pztID);
    } else if (rr_is_pmi(h.rampType)) {
        std::snprintf(g_std_name, sizeof g_std_name, "p%dc%s.%c%d", h.nBuckets, rate, h.rampMux == 1 ? 'q' : 'p',
                      h.pztID);
    } else {
        gl_msg_print("rr_get_std_ramp_filename: unsupported ramp type %d", h.rampType);
        return ERR_INVALID_PARAM;
    }
    *name = g_std_name;
    return NO_ERROR;
}
