// File utilities shared by the library.
#pragma once

#include <cstdint>

// True when `path` names an existing regular file (directories, devices,
// missing paths and failed queries are false).
bool u_file_exists(const char* path);

// Copies a file, replacing an existing destination. Returns 0 or
// ERR_CANT_WRITE_FILE.
int32_t u_copy_file(const char* source, const char* destination);

// Finds a named file. A name that starts with "/" or "./" (or a drive
// letter and colon) is used as it is; any other name is tried in the current
// directory, then in the configuration directory. On success `*result`
// points to the found path, owned by the library and valid until the next
// call. An absent or empty name returns 0 and sets `*result` to null.
// Errors: ERR_CANT_READ_FILE (not found), ERR_CANT_OPEN_FILE (no
// configuration directory to search), ERR_NO_MEM.
int32_t u_find_file(const char* name, const char** result);
