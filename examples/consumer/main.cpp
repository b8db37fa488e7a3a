// Looks up an error name and prints it through the library's printer.
#include <cstring>

#include "errors/err_name.h"
#include "errors/msg.h"

int main() {
    gl_msg_print = msg_to_stdout;
    gl_msg_print("%s\n", err_name(ERR_CANT_OPEN_FILE));
    return std::strcmp(err_name(ERR_CANT_OPEN_FILE), "ERR_CANT_OPEN_FILE") == 0 ? 0 : 1;
}
