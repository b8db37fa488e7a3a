// A complete data set made up from a seed: header values in every field the
// ASCII format carries, intensity frames and phase values with some points
// without data. Used to write example and benchmark files and in tests.
#pragma once

#include <cstdint>

#include "datafile/matrix.h"
#include "datafile/record.h"

struct SampleShape {
    int16_t frames = 4;
    int16_t width = 16;
    int16_t height = 8;
    bool with_intens = true;
    bool with_phase = true;
    uint32_t seed = 1;
};

// Owns the arrays of its matrices (allocated through the allocator hooks).
class SampleSet {
public:
    explicit SampleSet(const SampleShape& shape);
    ~SampleSet();
    SampleSet(const SampleSet&) = delete;
    SampleSet& operator=(const SampleSet&) = delete;

    datafile_ident ident{};
    datafile_record record{};
    intens_matrix intens{};
    phase_matrix phase{};
};

// Writes the set as an ASCII data file of `format` 1 or 2. Returns an error
// code.
int32_t write_sample_ascii(const char* path, int format, const SampleSet& set);
