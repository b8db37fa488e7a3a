#include "util/run.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/process_run.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view skip_blanks(const char* command) {
    std::string_view text = command != nullptr ? command : "";
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    return text;
}

// Splits a command line into words: blanks separate, double quotes group
// and are removed.
std::vector<std::string> split_command(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            in_word = true;
        } else if (is_blank(c) && !quoted) {
            if (in_word) words.push_back(std::move(word));
            word.clear();
            in_word = false;
        } else {
            word.push_back(c);
            in_word = true;
        }
    }
    if (in_word) words.push_back(std::move(word));
    return words;
}

int32_t finish(const plat::StartResult& started) {
    const int code = plat::wait_process(started.process);
    return code < 0 ? 0 : code;
}

}  // namespace

int32_t u_run_wait(const char* command, int32_t /*show*/) {
    const std::string_view text = skip_blanks(command);
    const plat::StartResult direct = plat::start_program(split_command(text), plat::Descriptors::Inherit);
    if (direct.error == 0) return finish(direct);
    const plat::StartResult shell = plat::start_shell_command(std::string(text), plat::Descriptors::Inherit);
    return shell.error == 0 ? finish(shell) : shell.error;
}

int32_t u_run(const char* command, int32_t /*show*/, int32_t wait) {
    const plat::StartResult started =
        plat::start_program(split_command(skip_blanks(command)), plat::Descriptors::StandardOnly);
    if (started.error != 0) return started.error;
    if (wait) return finish(started);
    plat::release_process(started.process);
    return 0;
}
