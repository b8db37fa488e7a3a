#include "convert/mapconv_driver.h"

#include <filesystem>
#include <string>

#include "datafile/ascii.h"
#include "datafile/binary.h"
#include "errors/err_codes.h"
#include "errors/err_name.h"
#include "errors/msg.h"
#include "platform/file.h"
#include "platform/path.h"
#include "util/files.h"

namespace {

int usage() {
    gl_msg_print("\nUsage:  mapconv [options] input output\n");
    gl_msg_print("\tinput  = existing Kelm ascii data file\n");
    gl_msg_print("\toutput = Kelm binary data file to create\n");
    gl_msg_print("\n\tOptions:\n");
    gl_msg_print("\t\t-f\twrites output even if file already exists\n");
    return MAPCONV_BAD_COMMAND_LINE;
}

void unable(const char* input, const char* output) {
    gl_msg_print("Unable to convert \"%s\" to \"%s\" because...\n", input, output);
}

// Writes the binary file under a temporary name in the output's folder and
// renames it over the output only when everything was written. A new
// output gets the permissions of a newly created file; an output that is
// replaced keeps its own.
int32_t write_output(const char* output, const datafile_ident& ident, const datafile_record& record,
                     const intens_matrix& intens, const phase_matrix& phase) {
    namespace fs = std::filesystem;
    const fs::path target(plat::native_path(output));
    if (plat::is_directory(target.c_str())) return ERR_CANT_CREATE_FILE;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string prefix(".");
    prefix.append(target.filename().string()).append(".part-");
    const auto temp = plat::temp_file_name(prefix.c_str(), folder.string());
    if (!temp) return ERR_CANT_CREATE_FILE;
    plat::remove_file(temp->c_str());

    int32_t result = datafile_write_binary(temp->c_str(), &ident, &record, &intens, &phase);
    if (result == NO_ERROR) {
        plat::match_file_mode(temp->c_str(), target.c_str());
        if (plat::rename_file(temp->c_str(), target.c_str()) != 0) result = ERR_CANT_CREATE_FILE;
    }
    if (result != NO_ERROR) plat::remove_file(temp->c_str());
    return result;
}

}  // namespace

int mapconv_run(int argc, const char* const* argv) {
    if (argc < 3) return usage();
    const char* input = nullptr;
    const char* output = nullptr;
    bool force = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] == '-') {
            if (arg[1] != 'f') return usage();
            force = true;
        } else if (input == nullptr) {
            input = arg;
        } else if (output == nullptr) {
            output = arg;
        } else {
            return usage();
        }
    }
    if (input == nullptr || output == nullptr) return usage();

    if (!u_file_exists(input)) {
        unable(input, output);
        gl_msg_print("\t\"%s\" does not exist\n", input);
        return MAPCONV_NO_INPUT;
    }
    if (!force && u_file_exists(output)) {
        unable(input, output);
        gl_msg_print("\t\"%s\" already exists\n", output);
        return MAPCONV_OUTPUT_EXISTS;
    }

    gl_msg_print("Converting \"%s\" to \"%s\"\n", input, output);
    datafile_ident ident{};
    datafile_record record{};
    intens_matrix intens{};
    phase_matrix phase{};
    if (const int32_t err = datafile_read_ascii(input, &ident, &record, &intens, &phase); err != NO_ERROR) {
        unable(input, output);
        gl_msg_print("\tthere was an error reading the file \"%s\"\n", input);
        gl_msg_print("\t%s\n", err_name(err));
        return MAPCONV_READ_FAILED;
    }
    const int32_t err = write_output(output, ident, record, intens, phase);
    intens_matrix_free(&intens);
    phase_matrix_free(&phase);
    if (err != NO_ERROR) {
        unable(input, output);
        gl_msg_print("\tthere was an error writing to the file \"%s\"\n", output);
        gl_msg_print("\t%s\n", err_name(err));
        return MAPCONV_WRITE_FAILED;
    }
    gl_msg_print("Conversion from \"%s\" to \"%s\" successful\n", input, output);
    return MAPCONV_OK;
}
