#include "platform/process_run.h"

#include <cerrno>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <thread>

extern char** environ;

namespace plat {

namespace {

// posix_spawn file actions, released on every path.
class FileActions {
public:
    explicit FileActions(Descriptors descriptors) {
        ok_ = ::posix_spawn_file_actions_init(&actions_) == 0;
        if (ok_ && descriptors == Descriptors::StandardOnly)
            ok_ = ::posix_spawn_file_actions_addclosefrom_np(&actions_, 3) == 0;
    }
    ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    bool ok() const { return ok_; }
    const posix_spawn_file_actions_t* get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
    bool ok_ = false;
};

StartResult spawn(const char* file, const std::vector<std::string>& arguments, Descriptors descriptors) {
    if (arguments.empty() || arguments[0].empty()) return {ENOENT, -1};
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    FileActions actions(descriptors);
    if (!actions.ok()) return {ENOMEM, -1};
    pid_t pid = -1;
    // glibc reports a failed exec (missing program, no permission) here.
    const int err = ::posix_spawnp(&pid, file, actions.get(), nullptr, argv.data(), environ);
    if (err != 0) return {err, -1};
    return {0, pid};
}

}  // namespace

StartResult start_program(const std::vector<std::string>& arguments, Descriptors descriptors) {
    return spawn(arguments.empty() ? "" : arguments[0].c_str(), arguments, descriptors);
}

StartResult start_shell_command(const std::string& command, Descriptors descriptors) {
    return spawn("/bin/sh", {"sh", "-c", command}, descriptors);
}

int wait_process(int64_t process) {
    int status = 0;
    pid_t got = -1;
    do {
        got = ::waitpid(static_cast<pid_t>(process), &status, 0);
    } while (got < 0 && errno == EINTR);
    if (got < 0) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

void release_process(int64_t process) {
    std::thread([process] { wait_process(process); }).detach();
}

}  // namespace plat
