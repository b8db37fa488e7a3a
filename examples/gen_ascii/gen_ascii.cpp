// gen_ascii: writes a made-up ASCII data file of any size.
//
//   gen_ascii [-1|-2] [-s seed] frames width height output
//
// -1 writes format 1, -2 (the default) format 2. frames 0 leaves out the
// intensity block; width and height are those of both blocks.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "errors/err_name.h"
#include "sample_set.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: gen_ascii [-1|-2] [-s seed] frames width height output\n");
    return 1;
}

bool parse_dimension(const char* text, int16_t& out) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 0 || value > 32767) return false;
    out = static_cast<int16_t>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int format = 2;
    SampleShape shape;
    const char* positional[4] = {};
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-1") == 0 || std::strcmp(argv[i], "-2") == 0) {
            format = argv[i][1] - '0';
        } else if (std::strcmp(argv[i], "-s") == 0 && i + 1 < argc) {
            shape.seed = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (count < 4) {
            positional[count++] = argv[i];
        } else {
            return usage();
        }
    }
    if (count != 4 || !parse_dimension(positional[0], shape.frames) || !parse_dimension(positional[1], shape.width) ||
        !parse_dimension(positional[2], shape.height))
        return usage();
    shape.with_intens = shape.frames > 0;
    const SampleSet set(shape);
    if (const int32_t err = write_sample_ascii(positional[3], format, set); err != 0) {
        std::fprintf(stderr, "gen_ascii: cannot write \"%s\": %s\n", positional[3], err_name(err));
        return 2;
    }
    return 0;
}
