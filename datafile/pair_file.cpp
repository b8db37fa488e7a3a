#include "datafile/pair_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "errors/err_codes.h"
#include "errors/msg.h"
#include "platform/file.h"
#include "util/memhooks.h"

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

// The pairs read so far, grown 100 at a time through the allocator hooks.
struct PairList {
    pair_f* data = nullptr;
    uint32_t count = 0;
    uint32_t capacity = 0;
    ~PairList() { gl_mem_free(data); }
    bool add(pair_f p) {
        if (count == capacity) {
            auto* grown = static_cast<pair_f*>(gl_mem_realloc(data, sizeof(pair_f) * (capacity + 100)));
            if (grown == nullptr) return false;
            data = grown;
            capacity += 100;
        }
        data[count++] = p;
        return true;
    }
};

// The next token of `text` from `pos`, split at `delimiters`.
std::string next_token(const std::string& text, size_t& pos, const char* delimiters) {
    const size_t begin = text.find_first_not_of(delimiters, pos);
    if (begin == std::string::npos) {
        pos = text.size();
        return {};
    }
    size_t end = text.find_first_of(delimiters, begin);
    if (end == std::string::npos) end = text.size();
    pos = end;
    return text.substr(begin, end - begin);
}

bool parse_number(const std::string& token, float& out) {
    if (token.empty()) return false;
    char* end = nullptr;
    const double value = std::strtod(token.c_str(), &end);
    if (end == token.c_str()) return false;
    out = static_cast<float>(value);
    return true;
}

}  // namespace

int32_t u_read_pair_file(const char* path, vec_pair_f* holder) {
    std::unique_ptr<FILE, FileCloser> file(plat::open_file(path, "r"));
    if (!file) return ERR_CANT_OPEN_FILE;

    PairList pairs;
    char buffer[512];
    int line_number = 0;
    std::string bad_line;
    bool failed = false;
    while (std::fgets(buffer, sizeof buffer, file.get()) != nullptr) {
        ++line_number;
        std::string line(buffer);
        if (!line.empty() && line.back() == '\n') line.pop_back();
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t probe = 0;
        if (line.starts_with('#') || next_token(line, probe, " \t\n").empty()) continue;
        size_t pos = 0;
        pair_f pair{};
        if (!parse_number(next_token(line, pos, " ,\t\n"), pair.x) ||
            !parse_number(next_token(line, pos, " ,\t\n"), pair.y)) {
            bad_line = line;
            failed = true;
            break;
        }
        if (!pairs.add(pair)) {
            gl_msg_print("Out of memory\n");
            bad_line = line;
            failed = true;
            break;
        }
    }

    if (!failed && pairs.count == 0) {
        gl_msg_print("No coordinate pair data found.\n");
        line_number = 0;
        failed = true;
    }
    if (!failed && vec_pair_f_resize(holder, pairs.count, false) != NO_ERROR) {
        line_number = 0;
        failed = true;
    }
    if (failed) {
        vec_pair_f_free(holder);
        gl_msg_print("Error in data file %s\n", path);
        if (line_number > 0) gl_msg_print("Line %d:\n%s\n", line_number, bad_line.c_str());
        return ERR_CANT_READ_FILE;
    }
    std::memcpy(holder->data, pairs.data, sizeof(pair_f) * pairs.count);
    return NO_ERROR;
}

int32_t u_write_pair_file(const char* path, const vec_pair_f* holder) {
    if (holder == nullptr) return ERR_INVALID_PARAM;
    FILE* f = plat::open_file(path, "w");
    if (f == nullptr) return ERR_CANT_OPEN_FILE;
    bool ok = true;
    for (uint32_t i = 0; i < holder->count && ok; ++i)
        ok = std::fprintf(f, "%13.6g %13.6g\n", static_cast<double>(holder->data[i].x),
                          static_cast<double>(holder->data[i].y)) > 0;
    const bool closed = std::fclose(f) == 0;
    return ok && closed ? NO_ERROR : ERR_CANT_WRITE_FILE;
}
