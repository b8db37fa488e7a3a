// The installation, configuration and ramps directories, and the default
// per-computer file name.
//
// Each directory is computed on its first request and kept for the life of
// the process. The first request for each must not come from two threads at
// once.
#pragma once

// TQ_INSTALL_DIR, or derived from the program's location: the folder above
// the one holding the executable (a program at /opt/app/bin/prog gives
// /opt/app). Null when the result is empty.
const char* u_install_dir();

// TQ_CONFIG_DIR, or <install>/cfg when that folder exists, else the
// installation directory. Null when there is no installation directory.
const char* u_config_dir();

// TQ_RAMPS_DIR, or <config>/ramps, created when missing. Null when there is
// no configuration directory.
const char* u_ramps_dir();

// The computer's name (up to its first point, at most 15 characters)
// followed by a point and the digit: "LAB7.1". Built on the first call; every
// later call returns that same text whatever digit it is given.
const char* u_host_file_name(int digit);

namespace kelm {
// Forgets every cached directory and name, so tests can derive them again
// under a different environment.
void reset_dirs_for_test();
}  // namespace kelm
