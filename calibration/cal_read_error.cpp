#include "calibration/cal_read_error.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

int32_t cal_msg_count = 0;

namespace {

std::string g_current_path;
std::string g_current_text;

std::string format_message(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(n) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    return std::string(buffer.data(), static_cast<size_t>(n));
}

}  // namespace

void cal_set_current_path(std::string path) { g_current_path = std::move(path); }
void cal_set_current_text(std::string text) { g_current_text = std::move(text); }

void cal_clear_current() {
    g_current_path.clear();
    g_current_text.clear();
    cal_msg_count = 0;
}

void cal_read_error(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string message = format_message(format, args);
    va_end(args);
    std::string header;
    if (++cal_msg_count == 1) {
        header = "Error(s) reading system calibration ";
        if (!g_current_path.empty()) {
            header += "file \"" + g_current_path + "\":\n";
        } else if (!g_current_text.empty()) {
            header += "info\n\"" + g_current_text + "\":\n";
        } else {
            header += "info:\n";
        }
    }
    gl_msg_print("%s%s%s\n", header.c_str(), "", message.c_str());
}

void cal_write_error(const char* destination, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string message = format_message(format, args);
    va_end(args);
    std::string header;
    if (++cal_msg_count == 1) {
        header = "Error writing system calibration file";
        if (destination != nullptr && destination[0] != '\0') {
            header += " \"" + std::string(destination) + "\":\n";
        } else {
            header += ":\n";
        }
    }
    gl_msg_print("%s%s%s\n", header.c_str(), "", message.c_str());
}
