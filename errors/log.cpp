#include "errors/log.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "errors/err_codes.h"
#include "errors/msg.h"
#include "platform/file.h"
#include "util/files.h"

namespace {

// Closes the stream it holds when it goes out of scope.
struct StreamCloser {
    FILE* f = nullptr;
    ~StreamCloser() { reset(); }
    void reset(FILE* next = nullptr) {
        if (f != nullptr) std::fclose(f);
        f = next;
    }
};

int32_t access_error(const char* path) {
    gl_msg_print("u_log_to_file: error accessing file '%s'\n", path);
    return ERR_FILE_IO;
}

// Length on disk of a line read in text mode: its characters plus the CR
// that text reading removed before the line feed.
uint64_t disk_length(const char* line) {
    const size_t len = std::strlen(line);
    return len + (len > 0 && line[len - 1] == '\n' ? 1 : 0);
}

}  // namespace

int32_t u_log_to_file(const char* path, const char* text, int64_t max_size, int64_t keep_size) {
    StreamCloser log;
    log.f = plat::open_file(path, "a+");
    if (log.f == nullptr) {
        // Only a missing log is created anew: one that exists but cannot be
        // opened is reported and left alone.
        if (plat::file_status(path)) return access_error(path);
        log.f = plat::open_file(path, "w");
        if (log.f == nullptr) return access_error(path);
    }

    StreamCloser temp;
    std::string temp_name;
    if (max_size > 0) {
        const std::optional<uint64_t> size = plat::stream_size(log.f);
        if (!size) return access_error(path);
        if (static_cast<int64_t>(*size) >= max_size && keep_size > 0 && static_cast<int64_t>(*size) > keep_size) {
            const uint64_t to_skip = *size - static_cast<uint64_t>(keep_size);
            uint64_t skipped = 0;
            char line[512];
            std::rewind(log.f);
            while (skipped < to_skip) {
                if (std::fgets(line, sizeof line, log.f) == nullptr) return access_error(path);
                skipped += disk_length(line);
            }
            const auto name = plat::temp_file_name("_log");
            if (!name) {
                gl_msg_print("u_log_to_file: cannot obtain temp file name\n");
                return ERR_CANT_CREATE_FILE;
            }
            temp_name = *name;
            temp.f = plat::open_file(temp_name.c_str(), "w");
            if (temp.f == nullptr) {
                gl_msg_print("u_log_to_file: cannot create temp file '%s'\n", temp_name.c_str());
                plat::remove_file(temp_name.c_str());
                return ERR_CANT_CREATE_FILE;
            }
            while (std::fgets(line, sizeof line, log.f) != nullptr) {
                if (std::fputs(line, temp.f) == EOF) {
                    gl_msg_print("u_log_to_file: error writing file '%s'\n", temp_name.c_str());
                    temp.reset();
                    plat::remove_file(temp_name.c_str());
                    return ERR_FILE_IO;
                }
            }
            log.reset();
        }
    }

    FILE* out = temp.f != nullptr ? temp.f : log.f;
    if (max_size >= 0 && text != nullptr) std::fputs(text, out);
    log.reset();
    if (temp.f == nullptr) return NO_ERROR;

    FILE* finished = temp.f;
    temp.f = nullptr;
    if (std::fclose(finished) != 0) {
        gl_msg_print("u_log_to_file: error writing file '%s'\n", temp_name.c_str());
        plat::remove_file(temp_name.c_str());
        return ERR_FILE_IO;
    }
    if (const int32_t rc = u_copy_file(temp_name.c_str(), path); rc != NO_ERROR) {
        gl_msg_print("u_log_to_file: cannot copy temp file '%s' to '%s'\n", temp_name.c_str(), path);
        return rc;
    }
    plat::remove_file(temp_name.c_str());
    return NO_ERROR;
}
