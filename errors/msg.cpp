#include "errors/msg.h"

#include <cstdarg>
#include <cstring>

#include "platform/clock.h"
#include "platform/file.h"
#include "platform/syserr.h"

msg_printer_fn gl_msg_print = msg_to_stderr;

namespace {

int vprint_flush(FILE* stream, const char* format, va_list args) {
    std::vfprintf(stream, format, args);
    return std::fflush(stream);
}

}  // namespace

int msg_to_stderr(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int rc = vprint_flush(stderr, format, args);
    va_end(args);
    return rc;
}

int msg_to_stdout(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int rc = vprint_flush(stdout, format, args);
    va_end(args);
    return rc;
}

int msg_to_file(FILE* stream, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int rc = vprint_flush(stream, format, args);
    va_end(args);
    return rc;
}

int msg_discard(const char*, ...) { return 0; }

FILE* msg_stream() {
    if (gl_msg_print == msg_to_stdout) return stdout;
    if (gl_msg_print == msg_to_stderr) return stderr;
    return nullptr;
}

char* u_time_stamp(char* buffer) {
    const std::tm now = plat::local_time(plat::clock().wall_time());
    std::strftime(buffer, 40, "%Y-%m-%d %H:%M:%S", &now);
    return buffer;
}

int msg_stamped(const char* format, ...) {
    char stamp[40];
    gl_msg_print("%s ", u_time_stamp(stamp));
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return gl_msg_print("%s", text);
}

char* msg_system_error_text(int32_t code, char* buffer) {
    const auto text = plat::system_error_text(code);
    if (!text) {
        std::snprintf(buffer, MSG_SYSTEM_ERROR_TEXT_SIZE, "System error code 0x%8.8X", static_cast<unsigned>(code));
        return buffer;
    }
    std::snprintf(buffer, MSG_SYSTEM_ERROR_TEXT_SIZE, "%s", text->c_str());
    buffer[std::strcspn(buffer, "\r")] = '\0';
    buffer[std::strcspn(buffer, "\n")] = '\0';
    return buffer;
}

void msg_system_error(int32_t code) {
    char text[MSG_SYSTEM_ERROR_TEXT_SIZE];
    gl_msg_print("%s\n", msg_system_error_text(code, text));
}

void msg_print_file_lines(const char* path, const char* prefix) {
    FILE* f = plat::open_file(path, "r");
    if (f == nullptr) {
        gl_msg_print("Cannot read file %s\n", path);
        return;
    }
    char line[512];
    while (std::fgets(line, sizeof line, f) != nullptr) {
        char* end = std::strchr(line, '\n');
        if (end == nullptr) break;  // no line end within 511 characters
        *end = '\0';
        gl_msg_print("%s%s\n", prefix != nullptr ? prefix : "", line);
    }
    std::fclose(f);
}
