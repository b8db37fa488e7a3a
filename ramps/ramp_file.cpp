// Reading and writing ramp data files.
#include <cstring>
#include <memory>

#include "errors/err_codes.h"
#include "platform/file.h"
#include "ramps/ramp_header.h"
#include "util/byteorder.h"
#include "util/memhooks.h"

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Converts the big-endian words of a raw header between file and host order.
void swap_header_words(rr_ramp_hdr_t& header) {
    auto* bytes = reinterpret_cast<unsigned char*>(&header);
    for (int offset = 0; offset < RR_RAMP_BIG_ENDIAN_BYTES; offset += 4) {
        uint32_t word;
        std::memcpy(&word, bytes + offset, 4);
        word = kelm::to_big_endian(word);
        std::memcpy(bytes + offset, &word, 4);
    }
}

void release_points(uint16_t** points) {
    if (points != nullptr && *points != nullptr) {
        gl_mem_free(*points);
        *points = nullptr;
    }
}

}  // namespace

int32_t rr_read_ramp_file(const char* path, rr_ramp_hdr_t* header, uint16_t** points) {
    if (header == nullptr) return ERR_INVALID_PARAM;
    std::memset(header, 0, sizeof *header);
    release_points(points);

    FilePtr file(plat::open_file(path, "rb"));
    if (!file) return ERR_CANT_OPEN_FILE;
    unsigned char magic[4];
    if (std::fread(magic, 1, sizeof magic, file.get()) != sizeof magic) return ERR_PREMATURE_EOF;
    if (kelm::load_be<int32_t>(magic) != RR_RAMP_MAGIC) return ERR_NOT_A_RAMP_FILE;
    std::rewind(file.get());
    if (std::fread(header, 1, sizeof *header, file.get()) != sizeof *header) return ERR_PREMATURE_EOF;
    swap_header_words(*header);

    if (header->nPoints <= 0 || points == nullptr) return NO_ERROR;
    // The count comes from the file: it must fit what the file holds before
    // anything is allocated for it.
    const auto size = plat::stream_size(file.get());
    const uint64_t wanted = static_cast<uint64_t>(header->nPoints) * sizeof(uint16_t);
    if (!size || *size < sizeof *header || *size - sizeof *header < wanted) return ERR_CORRUPT_RAMP_FILE;
    auto* array = static_cast<uint16_t*>(gl_mem_alloc(wanted));
    if (array == nullptr) return ERR_NO_MEM;
    if (std::fread(array, sizeof(uint16_t), static_cast<size_t>(header->nPoints), file.get()) !=
        static_cast<size_t>(header->nPoints)) {
        gl_mem_free(array);
        return ERR_CORRUPT_RAMP_FILE;
    }
    for (int32_t i = 0; i < header->nPoints; ++i) array[i] = kelm::to_big_endian(array[i]);
    *points = array;
    return NO_ERROR;
}

int32_t rr_write_ramp_file(const char* path, const rr_ramp_hdr_t* header, const uint16_t* points) {
    if (header == nullptr || points == nullptr) return ERR_INVALID_PARAM;
    rr_ramp_hdr_t disk = *header;
    disk.magicNumber = RR_RAMP_MAGIC;
    swap_header_words(disk);
    const size_t count = header->nPoints > 0 ? static_cast<size_t>(header->nPoints) : 0;
    auto* swapped = static_cast<uint16_t*>(gl_mem_alloc(count > 0 ? count * sizeof(uint16_t) : 1));
    if (swapped == nullptr) return ERR_NO_MEM;
    std::unique_ptr<uint16_t, decltype(gl_mem_free)> owned(swapped, gl_mem_free);
    for (size_t i = 0; i < count; ++i) swapped[i] = kelm::to_big_endian(points[i]);

    FILE* raw = plat::open_file(path, "wb");
    if (raw == nullptr) return ERR_CANT_CREATE_FILE;
    const bool written = std::fwrite(&disk, 1, sizeof disk, raw) == sizeof disk &&
                         std::fwrite(swapped, sizeof(uint16_t), count, raw) == count;
    // A failed close means the data may not have reached the disk.
    const bool closed = std::fclose(raw) == 0;
    return written && closed ? NO_ERROR : ERR_CANT_WRITE_FILE;
}
