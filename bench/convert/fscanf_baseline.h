// The straightforward converter the benchmark measures against: header
// lines through fgets and sscanf, every value through its own fscanf call.
#pragma once

// Converts `input` to `output`; returns 0 or an error code.
int fscanf_baseline_convert(const char* input, const char* output);
