// Reading the camera bad-pixel file, section by section.
#include "calibration/bad_pixel_file.h"

#include <algorithm>
#include <new>

#include "calibration/text_format.h"
#include "errors/err_codes.h"
#include "platform/file.h"
#include "util/memhooks.h"
#include "util/scan.h"

namespace {

constexpr const char* kDelimiters = " \t\r\n";
// Characters of a line kept for scanning and for the error report; longer
// lines are refused anyway.
constexpr size_t kLineKeep = 999;

// Where the first word of a line starts; npos for a line of blanks only.
size_t first_word(const std::string& line) { return line.find_first_not_of(kDelimiters); }

// Reads the five header values that follow the first word of `line`.
bool read_header(const std::string& line, size_t word, BadPixelSection& section, char* why) {
    const size_t after = line.find_first_of(kDelimiters, word);
    const char* rest = after == std::string::npos ? "" : line.c_str() + after;
    int32_t mode = 0, under = 0, size_x = 0, size_y = 0;
    double rate = 0;
    if (!u_scan_int(rest, kDelimiters, "grab mode", 0, 10, nullptr, why, &mode) ||
        !u_scan_int(nullptr, kDelimiters, "grab under", 0, 10, nullptr, why, &under) ||
        !u_scan_int(nullptr, kDelimiters, "size x", 0, 32767, nullptr, why, &size_x) ||
        !u_scan_int(nullptr, kDelimiters, "size y", 0, 32767, nullptr, why, &size_y) ||
        !u_scan_real(nullptr, kDelimiters, "grab rate", 0, 500, nullptr, why, &rate))
        return false;
    section.grabMode = mode;
    section.grabUnder = under;
    section.sizeX = static_cast<int16_t>(size_x);
    section.sizeY = static_cast<int16_t>(size_y);
    section.grabRate = static_cast<float>(rate);
    return true;
}

// Gives back the room reserved beyond `count` pixels. A failed shrink keeps
// the larger block, which still holds every pixel.
void shrink_to_count(BadPixelList& list) {
    if (list.data == nullptr || list.count == list.size) return;
    if (list.count == 0) {
        BadPixelList_free(&list);
        return;
    }
    void* smaller = gl_mem_realloc(list.data, list.count * sizeof(BadPixel));
    if (smaller == nullptr) return;
    list.data = static_cast<BadPixel*>(smaller);
    list.size = list.count;
}

void free_sections(BadPixelSection* sections, int32_t count) {
    for (int32_t i = 0; i < count; ++i) BadPixelList_free(&sections[i].pixels);
}

}  // namespace

int32_t bad_pixel_section_read(TextLineReader& in, BadPixelSection* section, int32_t* line_number, bool* at_end,
                               std::string& message) {
    *section = BadPixelSection{};
    *at_end = true;
    bool have_header = false;
    std::string line;
    size_t length = 0;
    char why[U_SCAN_MESSAGE_SIZE];

    // Composes the failure report: the reason, then where it happened.
    auto fail = [&](const std::string& reason, bool show_line, int32_t code) {
        BadPixelList_free(&section->pixels);
        message = reason;
        if (show_line)
            message += text_format("Error in line %d:\r\n  %s\n", *line_number, line.c_str());
        else
            message += text_format("Error in line %d\r\n", *line_number);
        return code;
    };

    while (in.next(line, length)) {
        ++*line_number;
        if (length > static_cast<size_t>(kBadPixelMaxLine))
            return fail(text_format("Line longer than %d characters\r\n", kBadPixelMaxLine), false,
                        ERR_CB_FILE_INVALID);
        const size_t word = first_word(line);
        if (word == std::string::npos || line[word] == '#') continue;
        *at_end = false;

        if (line[word] == '[') {
            if (have_header) {
                // The next section's header: leave it for the next call.
                in.push_back();
                --*line_number;
                break;
            }
            if (!read_header(line, word, *section, why)) return fail(why, true, ERR_CB_FILE_INVALID);
            have_header = true;
            continue;
        }

        if (!have_header) return fail("Missing camera information.\r\n", true, ERR_CB_FILE_INVALID);
        BadPixelList& pixels = section->pixels;
        if (pixels.data == nullptr) {
            if (BadPixelList_resize(&pixels, kBadPixelMaxPixels, false) != NO_ERROR)
                return fail("Out of memory.\r\n", true, ERR_NO_MEM);
            pixels.count = 0;
        }
        if (pixels.count >= static_cast<uint32_t>(kBadPixelMaxPixels))
            return fail(text_format("Too many pixels: a section holds at most %d.\r\n", kBadPixelMaxPixels), true,
                        ERR_CB_FILE_INVALID);
        int32_t x = 0, y = 0;
        if (!u_scan_int(line.c_str(), kDelimiters, "coord x", 0, section->sizeX - 1, nullptr, why, &x) ||
            !u_scan_int(nullptr, kDelimiters, "coord y", 0, section->sizeY - 1, nullptr, why, &y))
            return fail(why, true, ERR_CB_FILE_INVALID);
        pixels.data[pixels.count++] = BadPixel{x, y, 0};
    }
    shrink_to_count(section->pixels);
    return NO_ERROR;
}

int32_t bad_pixel_file_load(const char* path, BadPixelSection* sections, int32_t capacity, int32_t* count,
                            char* message, size_t message_size) {
    text_copy_bounded({}, message, message_size);
    if (count == nullptr) return ERR_INVALID_PARAM;
    *count = 0;
    if (path == nullptr || sections == nullptr || capacity < 0) return ERR_INVALID_PARAM;
    FILE* stream = plat::open_file(path, "r");
    if (stream == nullptr) {
        text_copy_bounded(text_format("Cannot open camera bad file \"%s\"\r\n", path), message, message_size);
        return ERR_CANT_OPEN_FILE;
    }
    int32_t result = NO_ERROR;
    std::string why;
    try {
        TextLineReader in(stream, kLineKeep);
        int32_t line_number = 0;
        for (;;) {
            bool at_end = false;
            BadPixelSection extra{};
            BadPixelSection* target = *count < capacity ? &sections[*count] : &extra;
            result = bad_pixel_section_read(in, target, &line_number, &at_end, why);
            if (result != NO_ERROR || at_end) break;
            if (target == &extra) {
                // One section more than the table holds.
                BadPixelList_free(&extra.pixels);
                why = text_format("Too many sections: a bad pixel file holds at most %d.\r\n", capacity);
                result = ERR_CB_FILE_INVALID;
                break;
            }
            ++*count;
        }
    } catch (const std::bad_alloc&) {
        why = "Out of memory.\r\n";
        result = ERR_NO_MEM;
    }
    std::fclose(stream);
    if (result != NO_ERROR) {
        free_sections(sections, *count);
        *count = 0;
        text_copy_bounded(text_format("Error reading bad pixel file \"%s\"\r\n", path) + why, message,
                          message_size);
    }
    return result;
}

void bad_pixel_list_normalise(BadPixelList* list) {
    if (list == nullptr || list->data == nullptr || list->count < 2) return;
    auto same = [](const BadPixel& a, const BadPixel& b) { return a.x == b.x && a.y == b.y; };
    auto before = [](const BadPixel& a, const BadPixel& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; };
    BadPixel* begin = list->data;
    BadPixel* end = begin + list->count;
    std::sort(begin, end, before);
    list->count = static_cast<uint32_t>(std::unique(begin, end, same) - begin);
    shrink_to_count(*list);
}
