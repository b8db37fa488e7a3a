#include "platform/text_stream.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace plat {

namespace {

// State of one translating stream. `held_cr` is a CR read at the end of a
// raw chunk whose follower has not been seen yet.
struct TextCookie {
    int fd;
    bool held_cr = false;
    int pending = -1;
    char raw[8192];
};

ssize_t write_all(int fd, const char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

ssize_t text_read(void* cookie, char* buf, size_t size) {
    auto* c = static_cast<TextCookie*>(cookie);
    if (size == 0) return 0;
    size_t out = 0;
    // A held CR emitted before a non-LF byte can make one byte more than
    // was read; it waits in `pending` for the next call.
    auto emit = [&](char ch) {
        if (out < size)
            buf[out++] = ch;
        else
            c->pending = static_cast<unsigned char>(ch);
    };
    if (c->pending >= 0) {
        buf[out++] = static_cast<char>(c->pending);
        c->pending = -1;
        return static_cast<ssize_t>(out);
    }
    while (out == 0) {
        ssize_t n;
        do {
            n = ::read(c->fd, c->raw, std::min(size, sizeof c->raw));
        } while (n < 0 && errno == EINTR);
        if (n < 0) return -1;
        if (n == 0) {
            if (c->held_cr) emit('\r');
            c->held_cr = false;
            break;
        }
        for (ssize_t i = 0; i < n; ++i) {
            const char ch = c->raw[i];
            if (c->held_cr) {
                c->held_cr = false;
                if (ch != '\n') emit('\r');
            }
            if (ch == '\r')
                c->held_cr = true;
            else
                emit(ch);
        }
    }
    return static_cast<ssize_t>(out);
}

ssize_t text_write(void* cookie, const char* buf, size_t size) {
    auto* c = static_cast<TextCookie*>(cookie);
    char out[2 * 4096];
    size_t used = 0;
    for (size_t i = 0; i < size; ++i) {
        if (used + 2 > sizeof out) {
            if (write_all(c->fd, out, used) < 0) return -1;
            used = 0;
        }
        if (buf[i] == '\n') out[used++] = '\r';
        out[used++] = buf[i];
    }
    if (used > 0 && write_all(c->fd, out, used) < 0) return -1;
    return static_cast<ssize_t>(size);
}

// Positions are raw file offsets, as text-mode positions are on the
// instrument PCs.
int text_seek(void* cookie, off64_t* offset, int whence) {
    auto* c = static_cast<TextCookie*>(cookie);
    off64_t target = *offset;
    if (whence == SEEK_CUR && c->held_cr) target -= 1;
    const off64_t pos = ::lseek64(c->fd, target, whence);
    if (pos < 0) return -1;
    c->held_cr = false;
    c->pending = -1;
    *offset = pos;
    return 0;
}

int text_close(void* cookie) {
    auto* c = static_cast<TextCookie*>(cookie);
    const int rc = ::close(c->fd);
    delete c;
    return rc;
}

}  // namespace

FILE* fdopen_text(int fd, const char* mode) {
    auto* cookie = new TextCookie;
    cookie->fd = fd;
    cookie_io_functions_t io{text_read, text_write, text_seek, text_close};
    FILE* f = ::fopencookie(cookie, mode, io);
    if (f == nullptr) delete cookie;
    return f;
}

}  // namespace plat
