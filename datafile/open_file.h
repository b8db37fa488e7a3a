// An open stream that is closed when it goes out of scope, or earlier by
// close() when the caller needs the result of the last flush.
#pragma once

#include <cstdio>

namespace kelm::datafile {

class OpenFile {
public:
    explicit OpenFile(FILE* stream) : stream_(stream) {}
    ~OpenFile() { close(); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    explicit operator bool() const { return stream_ != nullptr; }
    FILE* get() const { return stream_; }

    // Closes the stream; false when the final flush or close failed.
    bool close() {
        if (stream_ == nullptr) return true;
        const bool ok = std::fclose(stream_) == 0;
        stream_ = nullptr;
        return ok;
    }

private:
    FILE* stream_;
};

}  // namespace kelm::datafile
