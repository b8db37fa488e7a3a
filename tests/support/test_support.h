// Helpers shared by the tests.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace testing_support {

// A fresh folder under the temporary folder, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

// Writes `bytes` to `path` exactly as given (binary).
void write_file(const std::string& path, std::string_view bytes);
// Reads a whole file as bytes; empty when it cannot be read.
std::string read_file(const std::string& path);

// Captures everything printed through gl_msg_print while it lives.
class CaptureMessages {
public:
    CaptureMessages();
    ~CaptureMessages();
    CaptureMessages(const CaptureMessages&) = delete;
    CaptureMessages& operator=(const CaptureMessages&) = delete;
    const std::string& text() const;
    void clear();
};

// Sets an environment variable for a scope, restoring the old value.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);  // null value unsets
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    bool had_value_;
    std::string old_value_;
};

// Changes the working directory for a scope.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::string& dir);
    ~ScopedCwd();
    ScopedCwd(const ScopedCwd&) = delete;
    ScopedCwd& operator=(const ScopedCwd&) = delete;

private:
    std::string old_;
};

}  // namespace testing_support
