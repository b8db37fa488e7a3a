// ftp_read_materials_file: reading the FTP materials file line by line,
// with one report per refused line.
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "calibration/ftp_material_line.h"
#include "calibration/ftp_materials.h"
#include "calibration/text_format.h"
#include "calibration/text_lines.h"
#include "errors/err_codes.h"
#include "errors/msg.h"
#include "platform/file.h"
#include "platform/path.h"
#include "util/memhooks.h"

namespace {

// A material list being built: it grows kFtpMaterialsGrowBy records at a
// time, zero-filled, and always keeps one zero record after the last used.
struct MaterialList {
    MaterialSpec* data = nullptr;
    int32_t count = 0;
    int32_t capacity = 0;

    MaterialList() = default;
    MaterialList(const MaterialList&) = delete;
    MaterialList& operator=(const MaterialList&) = delete;
    ~MaterialList() {
        if (data != nullptr) gl_mem_free(data);
    }

    // Room for one more record before the closing zero record.
    MaterialSpec* append() {
        if (count + 1 >= capacity) {
            const int32_t grown = capacity + kFtpMaterialsGrowBy;
            void* more = gl_mem_realloc(data, static_cast<size_t>(grown) * sizeof(MaterialSpec));
            if (more == nullptr) return nullptr;
            data = static_cast<MaterialSpec*>(more);
            std::memset(data + capacity, 0, static_cast<size_t>(grown - capacity) * sizeof(MaterialSpec));
            capacity = grown;
        }
        return &data[count++];
    }

    // Hands the records to `materials`, freeing the list it held.
    void move_into(FtpMaterials& materials) {
        if (materials.list != nullptr) gl_mem_free(materials.list);
        materials.list = data;
        materials.listCount = count;
        materials.listCapacity = capacity;
        data = nullptr;
        count = capacity = 0;
    }
};

// The error report: a header before the first error, then each error with
// the line it concerns; after kFtpMaterialsMaxErrors errors the reader is
// told to stop.
class ErrorReport {
public:
    // False when this error is one too many.
    bool add(const std::string& message, int32_t line_number, const std::string* line,
             const std::string& detail = {}) {
        if (++count_ > kFtpMaterialsMaxErrors) {
            gl_msg_print("Too many errors reading FTP materials file\n");
            return false;
        }
        if (count_ == 1) gl_msg_print("Error(s) reading FTP materials file:\n");
        gl_msg_print("\t%s\n", message.c_str());
        if (line != nullptr)
            gl_msg_print("\tError in line %d:\n  %s\n", line_number, line->c_str());
        else
            gl_msg_print("\tError in line %d\n", line_number);
        if (!detail.empty()) gl_msg_print("\t%s", detail.c_str());
        return true;
    }

private:
    int32_t count_ = 0;
};

void print_help() {
    gl_msg_print("No acceptable material specs found\n");
    gl_msg_print("File heading (required):\n\n## %s - %s %d\n", kFtpMaterialsTitle, kFtpMaterialsFormatWord,
                 kFtpMaterialsFormat);
    gl_msg_print("Line format description:\n\n%s\n", ftp_materials_line_format());
    gl_msg_print("Sample line:\n\n%s\n", kFtpMaterialsSampleLine);
}

// What reading the lines came to.
enum class Outcome { Complete, Stopped, NoMemory };

struct Counts {
    int32_t accepted = 0;
    int32_t material_lines = 0;
};

Outcome read_lines(FILE* stream, MaterialList& list, Counts& counts) {
    TextLineReader in(stream, kFtpMaterialsMaxLine);
    ErrorReport errors;
    std::string line;
    size_t length = 0;
    int32_t line_number = 0;
    bool have_heading = false;
    while (in.next(line, length)) {
        ++line_number;
        if (length > static_cast<size_t>(kFtpMaterialsMaxLine)) {
            errors.add(text_format("Line longer than %d characters", kFtpMaterialsMaxLine), line_number, nullptr);
            return Outcome::Stopped;
        }
        const size_t first = line.find_first_not_of(" \t\r\n");
        if (first == std::string::npos) continue;

        if (line[first] == '#') {
            int32_t format = 0;
            switch (ftp_check_heading(line, format)) {
                case FtpHeading::Valid:
                    have_heading = true;
                    continue;
                case FtpHeading::Unsupported:
                    errors.add(text_format("File format %d is not supported", format), line_number, &line);
                    return Outcome::Stopped;
                case FtpHeading::NoFormat:
                    errors.add("Heading is missing a file format specification", line_number, &line);
                    return Outcome::Stopped;
                case FtpHeading::None:
                    break;
            }
            if (line.compare(first, 2, "##") == 0) continue;
            MaterialSpec* comment = list.append();
            if (comment == nullptr) return Outcome::NoMemory;
            comment->index = -1;
            comment->comment.set(line);
            continue;
        }

        if (!have_heading) {
            errors.add("Missing heading", line_number, nullptr);
            return Outcome::Stopped;
        }
        ++counts.material_lines;
        MaterialSpec spec{};
        FtpLineError error;
        if (!ftp_parse_material_line(line, spec, error)) {
            if (!errors.add(error.message, line_number, &line, error.detail)) return Outcome::Stopped;
            continue;
        }
        if (counts.accepted > std::numeric_limits<int16_t>::max()) {
            errors.add(text_format("More than %d material specs", std::numeric_limits<int16_t>::max() + 1),
                       line_number, &line);
            return Outcome::Stopped;
        }
        MaterialSpec* record = list.append();
        if (record == nullptr) return Outcome::NoMemory;
        spec.index = static_cast<int16_t>(counts.accepted++);
        *record = spec;
    }
    return Outcome::Complete;
}

}  // namespace

const char* ftp_materials_line_format() {
    static const std::string description = [] {
        try {
            const FtpNumericField* f = kFtpNumericFields;
            return text_format(
                "##\n## Name      = Material name in quotes (up to %d chars)\n## N         = N [%g,%g]\n"
                "## K         = K [%g,%g]\n## PCOR      = Phase Change On Reflection [%g,%g] rad \n"
                "## Disper[0] = Dispersion for 0.8X mag (75mm FOV) [%g,%g] rad \n"
                "## Disper[1] = Dispersion for 1.0X mag (65mm FOV) [%g,%g] rad \n"
                "## Disper[2] = Dispersion for 1.7X mag (35mm FOV) [%g,%g] rad \n"
                "## Disper[3] = Dispersion for 4.0X mag (15mm FOV) [%g,%g] rad \n"
                "## Comment   = Optional comment beginning with '#' (up to %d chars)\n##",
                kFtpMaterialNameMax, f[0].lo, f[0].hi, f[1].lo, f[1].hi, f[2].lo, f[2].hi, f[3].lo, f[3].hi,
                f[4].lo, f[4].hi, f[5].lo, f[5].hi, f[6].lo, f[6].hi, kFtpMaterialCommentMax);
        } catch (const std::bad_alloc&) {
            return std::string();
        }
    }();
    return description.empty() ? nullptr : description.c_str();
}

int32_t ftp_read_materials_file(const char* path, FtpMaterials* materials) {
    if (ftp_materials_line_format() == nullptr) return ERR_NO_MEM;
    if (path == nullptr || path[0] == '\0' || materials == nullptr) return ERR_INVALID_PARAM;
    try {
        const std::string shown = plat::native_path(path);
        FILE* stream = plat::open_file(path, "r");
        if (stream == nullptr) {
            gl_msg_print("Cannot open FTP materials file \"%s\"\n", shown.c_str());
            return ERR_CANT_OPEN_FILE;
        }
        gl_msg_print("Reading FTP materials file \"%s\"\n", shown.c_str());
        MaterialList list;
        Counts counts;
        Outcome outcome = Outcome::NoMemory;
        try {
            outcome = read_lines(stream, list, counts);
        } catch (const std::bad_alloc&) {
        }
        std::fclose(stream);
        if (outcome == Outcome::NoMemory) return ERR_NO_MEM;
        if (outcome == Outcome::Stopped) return ERR_FTP_CORRUPT_MATLS_FILE;
        if (counts.accepted == 0) {
            print_help();
            return ERR_FTP_CORRUPT_MATLS_FILE;
        }
        if (counts.accepted < counts.material_lines)
            gl_msg_print("Accepted %d of %d material specs\n", counts.accepted, counts.material_lines);
        list.move_into(*materials);
        return NO_ERROR;
    } catch (const std::bad_alloc&) {
        return ERR_NO_MEM;
    }
}
