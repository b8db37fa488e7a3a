// The conversion run of the mapconv program: argument handling, file
// checks, reading the ASCII data file, writing the binary data file, the
// console messages (all through the message printer, standard error by
// default) and the exit code.
#pragma once

// Exit codes of a run.
enum mapconv_exit_code {
    MAPCONV_OK = 0,
    MAPCONV_BAD_COMMAND_LINE = 1,
    MAPCONV_NO_INPUT = 2,
    MAPCONV_OUTPUT_EXISTS = 3,
    MAPCONV_READ_FAILED = 4,
    MAPCONV_WRITE_FAILED = 5,
};

// Runs one conversion for `mapconv [options] input output` (argv[0] is the
// program name) and returns the exit code. The output appears only when the
// whole data set was written: it is written to a temporary file beside it
// and renamed over it at the end, so a failed run leaves the output path as
// it was.
int mapconv_run(int argc, const char* const* argv);
inline int mapconv_run(int argc, char** argv) { return mapconv_run(argc, const_cast<const char* const*>(argv)); }
