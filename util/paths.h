// Path texts and the file system: drive roots, the root of a path, paths
// shortened for display, volume checks and directory creation.
//
// This system has one root, "/". Drive (X:\) and network (\\server\share)
// roots are still recognised in path texts, as paths written on an
// instrument PC use them, but no such volume exists here. Paths follow the
// library's path convention (wide paths are decoded).
#pragma once

#include <cstdint>

// The list of drive roots, each followed by a zero and the list by another
// zero: here the single root "/". Returns the list's length without the
// final zero (2), or 0 when `size` cannot hold the list.
int32_t u_drive_strings(int32_t size, char* buffer);

// Skips leading blanks and puts the root of `path` into `root` (`size`
// bytes): "/" for a path from the root, "X:\" for a drive path X:\...,
// "\\server\share\" for a network path (the final backslash added when the
// path ends after the share name). Returns 1, or 0 with an empty result
// when the path has no root or the root does not fit.
int32_t u_path_root(const char* path, char* root, int32_t size);

// Shortens a file path for display into `result` (`size` bytes): a path
// without a folder, or whose folder is the current directory, gives the
// file's name; otherwise the path relative to the current directory when
// that is shorter, else the path unchanged. Returns 1, or 0 with an empty
// result when the path names no file (it ends with '/') or the result does
// not fit.
int32_t u_relative_path(const char* path, char* result, int32_t size);

// Whether the volume holding `path` answers: 0 when it does. Failures are
// given as small numbers: a missing path, a path without a root or any
// other failure 2, too many open files 23, access denied 13, no such device
// 19, no medium in the drive 1112.
int32_t u_volume_check(const char* path);

// Creates a directory: 0 when created, 17 when it exists already, -1 on any
// other failure.
int32_t u_create_directory(const char* path);
