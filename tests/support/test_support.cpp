#include "support/test_support.h"

#include <cstdarg>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

#include "errors/msg.h"
#include "platform/file.h"

namespace testing_support {

TempDir::TempDir() {
    std::string pattern = plat::temp_dir() + "/kelm_test_XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void write_file(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

namespace {

std::string g_captured;
msg_printer_fn g_saved_printer = nullptr;

int capture_printer(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n > 0) {
        std::string text(static_cast<size_t>(n) + 1, '\0');
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(n));
        g_captured += text;
    }
    va_end(args);
    return 0;
}

}  // namespace

CaptureMessages::CaptureMessages() {
    g_saved_printer = gl_msg_print;
    g_captured.clear();
    gl_msg_print = capture_printer;
}

CaptureMessages::~CaptureMessages() { gl_msg_print = g_saved_printer; }

const std::string& CaptureMessages::text() const { return g_captured; }

void CaptureMessages::clear() { g_captured.clear(); }

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_value_ = old != nullptr;
    if (had_value_) old_value_ = old;
    if (value != nullptr)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
    if (had_value_)
        ::setenv(name_.c_str(), old_value_.c_str(), 1);
    else
        ::unsetenv(name_.c_str());
}

ScopedCwd::ScopedCwd(const std::string& dir) : old_(std::filesystem::current_path().string()) {
    std::filesystem::current_path(dir);
}

ScopedCwd::~ScopedCwd() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
}

}  // namespace testing_support
