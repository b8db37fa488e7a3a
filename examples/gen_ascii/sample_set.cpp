#include "sample_set.h"

#include <cstdio>
#include <cstring>

#include "datafile/ascii.h"
#include "errors/err_codes.h"
#include "platform/file.h"

namespace {

// A small, fast generator: the same seed gives the same data everywhere.
class Random {
public:
    explicit Random(uint32_t seed) : state_(seed * 2654435761u + 1) {}
    uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }

private:
    uint32_t state_;
};

template <size_t N>
void set_text(char (&field)[N], const char* text) {
    std::snprintf(field, N, "%s", text);
}

}  // namespace

SampleSet::SampleSet(const SampleShape& shape) {
    Random random(shape.seed);
    ident.l2_1 = 3;
    ident.l2_2 = 1;
    ident.l2_3 = 0;
    ident.l2_4 = -2;
    set_text(ident.l2_5, "Generated sample");

    record.l8_8 = 123456;
    set_text(record.l5_1, "Made-up measurement of a flat test surface");
    record.l8_1 = 7;
    record.l8_2 = 0.6328f;
    record.l8_3 = 1.5f;
    record.l8_4 = -2.25f;
    record.l8_5 = 1e-6f;
    record.l8_6 = 3.14159f;
    record.l8_7 = 0;
    record.l10_1 = 1;
    record.l10_2 = 2;
    record.l10_3 = 3;
    record.l10_4 = 4;
    record.l10_5 = 5;
    record.l10_6 = 6;
    record.l10_7 = 0.5f;
    record.l10_8 = 12.75f;
    record.l10_9 = 100000;
    record.l10_10 = -100000;
    record.l11_1 = 1;
    record.l11_2 = 2;
    record.l11_3 = 70000;
    record.l11_4 = 4;
    record.l11_5 = 0.25f;
    record.l11_6 = 6;
    record.l11_7 = 7;
    record.l11_8 = 8;
    record.l11_9 = 9;
    record.l9_1 = 10;
    record.l9_2 = 20;
    record.l9_3 = 30;
    record.l9_4 = 40;
    record.l9_5 = 50;
    record.l9_6 = 60;
    set_text(record.l9_7, "objective");
    set_text(record.l7_1, "sample comment");
    set_text(record.l6_1, "gen_ascii");
    record.l12_1 = 1;
    set_text(record.l12_2, "part 0042");
    record.l13_1 = 0.001f;
    record.l13_2 = 2.5e5f;
    set_text(record.l14_1, "v2");

    if (shape.with_intens) {
        intens.x = 0;
        intens.y = 0;
        intens.width = shape.width;
        intens.height = shape.height;
        intens.n_buckets = shape.frames;
        intens.aux = 0;
        if (intens_element_count(intens) > 0 && intens_matrix_alloc(&intens) == NO_ERROR)
            for (uint32_t i = 0; i < intens.size; ++i) intens.matrix[i] = static_cast<uint16_t>(random.next());
    }
    if (shape.with_phase) {
        phase.x = 0;
        phase.y = 0;
        phase.width = shape.width;
        phase.height = shape.height;
        if (phase_element_count(phase) > 0 && phase_matrix_alloc(&phase) == NO_ERROR) {
            for (uint32_t i = 0; i < phase.size; ++i) {
                // One point in 23 has no data; the rest spread over both
                // signs and many digit counts.
                const uint32_t r = random.next();
                phase.matrix[i] = i % 23 == 7 ? PHASE_NO_DATA : static_cast<int32_t>(r) >> (r % 24);
            }
        }
    }
}

SampleSet::~SampleSet() {
    intens_matrix_free(&intens);
    phase_matrix_free(&phase);
}

int32_t write_sample_ascii(const char* path, int format, const SampleSet& set) {
    FILE* f = plat::open_file(path, "w");
    if (f == nullptr) return ERR_CANT_CREATE_FILE;
    const int32_t result = kelm::datafile::write_ascii_stream(f, format, &set.ident, &set.record,
                                                              set.intens.matrix ? &set.intens : nullptr,
                                                              set.phase.matrix ? &set.phase : nullptr);
    const bool closed = std::fclose(f) == 0;
    return result == NO_ERROR && !closed ? ERR_CANT_WRITE_FILE : result;
}
