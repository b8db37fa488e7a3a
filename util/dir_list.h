// Directory listings read entry by entry.
//
// A listing holds every entry name of a directory: first "." (the directory
// itself) and ".." (its parent), then the other entries sorted by name
// (byte order), so that a listing is the same on every machine. Listings
// share one entry record and are built and read by one thread at a time.
#pragma once

#include <cstdint>

// Longest entry name a listing holds; longer names are left out.
inline constexpr int32_t U_DIR_NAME_MAX = 255;

// The shared entry record that u_dir_read fills.
struct u_dir_entry_t {
    int32_t number;                    // 1-based position in the listing
    int32_t length;                    // length of name
    char name[U_DIR_NAME_MAX + 1];     // zero-terminated
};
static_assert(sizeof(u_dir_entry_t) == 264);

struct u_dir_list_t;

// Lists the directory `path` (one trailing '/' or '\' is dropped) and
// returns the listing positioned at its first entry; null when `path` is
// not an existing directory or memory runs out.
u_dir_list_t* u_dir_open(const char* path);

// The entry at the current position, in the shared entry record, and
// advances; null at the end or without a listing.
u_dir_entry_t* u_dir_read(u_dir_list_t* list);

// Positions at entry `n` (0-based), or at the end when there are fewer
// entries; a negative `n` is ignored.
void u_dir_seek(u_dir_list_t* list, int32_t n);

// The current position (0-based); 0 without a listing.
int32_t u_dir_tell(u_dir_list_t* list);

// Releases a listing (null is allowed).
void u_dir_close(u_dir_list_t* list);
