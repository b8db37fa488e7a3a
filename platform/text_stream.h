// Text-mode streams with the line ends of the instrument PCs.
//
// Writing turns "\n" into CR LF; reading drops a CR that stands right before
// an LF (a lone CR is kept). Every text format of the system therefore has
// the same bytes on disk here as on an instrument PC. The stream is an
// ordinary FILE*, so fprintf, fgets and fclose work on it as usual.
#pragma once

#include <cstdio>

namespace plat {

// Wraps an open descriptor in a translating stream; takes ownership of `fd`
// (closed with the stream). `mode` is an fopen mode without 'b'/'t'.
// Returns null (and closes nothing) on failure.
FILE* fdopen_text(int fd, const char* mode);

}  // namespace plat
