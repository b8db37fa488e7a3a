#include "errors/err_name.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "errors/msg.h"

namespace {

constexpr const char* kNames[] = {
    "",
#define KELM_ERROR(name, code) #name,
#include "errors/err_list.inc"
#undef KELM_ERROR
};
static_assert(sizeof kNames / sizeof kNames[0] == ERR_LAST_CODE + 1);

// Long enough for the longest name and for "invalid error number " with any
// 32-bit value.
char g_result[64];

}  // namespace

const char* err_name(int32_t code) {
    if (code == NO_ERROR)
        std::snprintf(g_result, sizeof g_result, "%s", "NO_ERROR");
    else if (code > 0 && code <= ERR_LAST_CODE)
        std::snprintf(g_result, sizeof g_result, "%s", kNames[code]);
    else
        std::snprintf(g_result, sizeof g_result, "invalid error number %d", code);
    return g_result;
}

const char* err_name_can(int32_t code) { return err_name(code); }

void err_print(int32_t code) {
    if (code != NO_ERROR) gl_msg_print("%s\n", err_name(code));
}

void err_print_exit(int32_t code) {
    if (code == NO_ERROR) return;
    err_print(code);
    std::exit(1);
}
