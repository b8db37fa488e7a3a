// Writes the example ramp set of examples/ramps: a ramp configuration file
// and the ramp data files it names. Usage: make_example_ramps <folder>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "errors/err_name.h"
#include "ramps/ramp_cfg.h"

namespace {

struct Example {
    int32_t type;
    float scan_len, slope, rate, fpf, obj_mag;
    int32_t buckets, wavelength;
};

rr_ramp_hdr_t make_header(const Example& e, int32_t points) {
    rr_ramp_hdr_t h{};
    h.rampType = e.type;
    h.pztID = 12345;
    h.nPoints = points;
    h.sampleClkFreq = 2.0f;
    h.cameraRate = e.rate;
    h.updateRate = static_cast<int32_t>(std::lround(65536 - 4000 / h.sampleClkFreq));
    h.rampSlope = e.slope;
    h.trigStartAddr = 16;
    h.trigEndAddr = points - 16;
    h.rampGainDflt = 2048;
    h.rampTriple[0] = h.rampTriple[1] = h.rampTriple[2] = 1.0f;
    h.scanLen = e.scan_len;
    h.polar = 'b';
    h.offset = 32768;
    h.nBuckets = e.buckets;
    h.scanCal = 1.0f;
    h.fringesPerFrame = e.fpf;
    h.objMag = e.obj_mag;
    h.wavelenSelect = e.wavelength;
    h.rampRising = 1;
    return h;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_example_ramps <folder>\n");
        return 1;
    }
    const std::string folder = argv[1];
    const Example examples[] = {
        {0, 10.0f, 81.0f, 25.0f, 0.25f, 0.0f, 124, 0},
        {0, 20.0f, 243.0f, 25.0f, 0.75f, 0.0f, 83, 0},
        {5, 0.0f, 0.0f, 30.0f, 0.25f, 0.0f, 7, 0},
        {17, 10.0f, 81.0f, 25.0f, 0.25f, 50.0f, 124, 2},
    };
    std::vector<rr_ramp_cfg_t> entries;
    for (const Example& e : examples) {
        const int32_t count = 512;
        rr_ramp_hdr_t h = make_header(e, count);
        std::vector<uint16_t> points(count);
        for (int32_t i = 0; i < count; ++i) points[static_cast<size_t>(i)] = static_cast<uint16_t>(4096 + i * 100);
        const char* name = nullptr;
        if (rr_get_std_ramp_filename(&h, &name) != 0) return 1;
        const std::string path = folder + "/" + name;
        if (const int32_t rc = rr_write_ramp_file(path.c_str(), &h, points.data()); rc != 0) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), err_name(rc));
            return 1;
        }
        rr_ramp_cfg_t c{};
        c.rampType = rr_is_pmi(e.type) ? 1 : e.type;
        c.wavelenSelect = e.wavelength;
        std::snprintf(c.fileName, sizeof c.fileName, "%s", name);
        c.scanLen = e.scan_len;
        c.cameraRate = e.rate;
        c.fringesPerFrame = e.fpf;
        c.rampSlope = e.slope;
        c.objMag = e.obj_mag;
        c.scanCal = rr_is_pmi(e.type) ? 0.0f : 1.0f;
        entries.push_back(c);
    }
    const std::string cfg = folder + "/ramps.cfg";
    if (const int32_t rc = rr_write_ramp_cfg_file(cfg.c_str(), entries.data(), static_cast<int32_t>(entries.size()));
        rc != 0) {
        std::fprintf(stderr, "%s: %s\n", cfg.c_str(), err_name(rc));
        return 1;
    }
    return 0;
}
