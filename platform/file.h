// Files: opening in binary or text mode, status, copy, delete, temporary
// names and directories. Every function takes paths in the library's path
// convention (see path.h): wide-character paths are decoded here.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace plat {

// Opens a file with an fopen-style mode ("r", "w", "a", "r+", "w+", "a+").
// A 'b' in the mode opens it in binary; otherwise (or with 't') the stream
// is a text-mode stream that writes CR LF and reads LF (see text_stream.h).
// Returns null with errno set on failure.
FILE* open_file(const char* path, const char* mode);

enum class FileKind { Regular, Directory, Other };

struct FileStatus {
    FileKind kind;
    uint64_t size;
    int64_t modified;  // seconds since the epoch
};

// Status of the entry at `path` (symbolic links followed); none when it
// cannot be queried.
std::optional<FileStatus> file_status(const char* path);

bool is_regular_file(const char* path);
bool is_directory(const char* path);

// Size of an open stream's file, for binary and text streams alike; none on
// failure. The stream's position is kept.
std::optional<uint64_t> stream_size(FILE* stream);

// Copies `source` to `destination`, replacing an existing destination.
// Returns 0 or the system error number.
int copy_file(const char* source, const char* destination);

// Deletes a file. Returns 0 or the system error number.
int remove_file(const char* path);

// Renames `from` over `to` (replacing it atomically). Returns 0 or errno.
int rename_file(const char* from, const char* to);

// Gives `file` the permissions of `model` when `model` exists, else those
// of a newly created file (0666 less the process's umask); for a file
// written under a temporary name that is about to replace `model`.
// Returns 0 or the system error number.
int match_file_mode(const char* file, const char* model);

// The system's temporary folder: TMPDIR when set, else /tmp.
std::string temp_dir();

// Creates a new empty file with a unique name that starts with `prefix` in
// `folder` (the temporary folder when empty) and returns its path; none
// when no name can be had.
std::optional<std::string> temp_file_name(const char* prefix, const std::string& folder = {});

// Creates one directory. Returns 0, or the system error number (EEXIST when
// it exists already).
int make_dir(const char* path);

// Names of the entries in a directory, without "." and "..", in the order
// the system gives them; none when it cannot be listed.
std::optional<std::vector<std::string>> list_dir(const char* path);

// The current working directory.
std::string current_dir();

}  // namespace plat
