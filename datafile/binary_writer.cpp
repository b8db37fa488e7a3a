#include <algorithm>
#include <array>
#include <cstring>

#include "datafile/binary.h"
#include "datafile/open_file.h"
#include "errors/err_codes.h"
#include "platform/file.h"
#include "util/byteorder.h"
#include "util/memhooks.h"

namespace {

// The record's numbers, as runs of equal-width numbers at their header
// offsets: the header converts exactly these to big-endian. Texts, reserved
// bytes and the machine-order field stay as they are.
struct NumberRun {
    uint16_t offset;
    uint8_t width;
    uint8_t count;
};
constexpr NumberRun kRecordNumbers[] = {
#define KELM_RECORD_NUMBER(type, name, offset) {offset, sizeof(type), 1},
#define KELM_RECORD_NUMBERS(type, name, count, offset) {offset, sizeof(type), count},
#define KELM_RECORD_NATIVE(type, name, offset)
#define KELM_RECORD_TEXT(name, size, offset)
#define KELM_RECORD_BYTES(name, size, offset)
#include "datafile/record_fields.inc"
#undef KELM_RECORD_NUMBER
#undef KELM_RECORD_NUMBERS
#undef KELM_RECORD_NATIVE
#undef KELM_RECORD_TEXT
#undef KELM_RECORD_BYTES
};

// Record positions from this header offset on exist only in format 3.
constexpr size_t kLongHeaderOnlyFrom = 838;

using Header = std::array<uint8_t, DATAFILE_LONG_HEADER_SIZE>;

// Byte counts are signed 32-bit products; computed wide, then wrapped.
int32_t byte_count(int64_t elements, int64_t element_size) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(elements * element_size)));
}

void store_ident(Header& h, const datafile_ident& id) {
    kelm::store_be(&h[10], id.l2_1);
    std::memcpy(&h[12], id.l2_5, sizeof id.l2_5);
    kelm::store_be(&h[42], id.l2_2);
    kelm::store_be(&h[44], id.l2_3);
    kelm::store_be(&h[46], id.l2_4);
}

void store_intens(Header& h, const intens_matrix& m) {
    kelm::store_be(&h[48], m.x);
    kelm::store_be(&h[50], m.y);
    kelm::store_be(&h[52], m.width);
    kelm::store_be(&h[54], m.height);
    kelm::store_be(&h[56], m.n_buckets);
    kelm::store_be(&h[58], m.aux);
    kelm::store_be(&h[60], byte_count(intens_element_count(m), 2));
}

void store_phase(Header& h, const phase_matrix& m) {
    kelm::store_be(&h[64], m.x);
    kelm::store_be(&h[66], m.y);
    kelm::store_be(&h[68], m.width);
    kelm::store_be(&h[70], m.height);
    kelm::store_be(&h[72], byte_count(phase_element_count(m), 4));
}

void store_record(Header& h, const datafile_record& r) {
    std::memcpy(&h[DATAFILE_RECORD_OFFSET], &r, sizeof r);
    for (const NumberRun& run : kRecordNumbers)
        for (int i = 0; i < run.count; ++i) u_swap_bytes(&h[run.offset + size_t{run.width} * i], run.width);
}

// A working buffer from the allocator hooks, released on scope exit.
class WorkBuffer {
public:
    static constexpr size_t kBytes = 64 * 1024;
    WorkBuffer() : data_(gl_mem_alloc(kBytes)) {}
    ~WorkBuffer() {
        if (data_ != nullptr) gl_mem_free(data_);
    }
    WorkBuffer(const WorkBuffer&) = delete;
    WorkBuffer& operator=(const WorkBuffer&) = delete;
    void* get() const { return data_; }

private:
    void* data_;
};

// Writes `count` values big-endian through the bounded buffer, chunk by
// chunk, leaving the caller's array as it is.
template <typename T>
int32_t write_values_be(FILE* stream, const T* values, size_t count, WorkBuffer& buffer) {
    constexpr size_t kChunk = WorkBuffer::kBytes / sizeof(T);
    T* chunk = static_cast<T*>(buffer.get());
    for (size_t done = 0; done < count;) {
        const size_t n = std::min(kChunk, count - done);
        for (size_t i = 0; i < n; ++i) chunk[i] = kelm::to_big_endian(values[done + i]);
        if (std::fwrite(chunk, sizeof(T), n, stream) != n) return ERR_CANT_WRITE_FILE;
        done += n;
    }
    return NO_ERROR;
}

bool present(const intens_matrix* m) { return m != nullptr && m->matrix != nullptr; }
bool present(const phase_matrix* m) { return m != nullptr && m->matrix != nullptr; }

// Values a present block contributes: its element count, none when that is
// not positive.
size_t values_of(int64_t count) { return count > 0 ? static_cast<size_t>(count) : 0; }

template <typename M>
bool exceeds_stated_size(const M& m, int64_t count) {
    return m.size != 0 && count > int64_t{m.size};
}

}  // namespace

namespace kelm::datafile {

int binary_header_format(const datafile_record* record) {
    if (record == nullptr) return 1;
    const auto* bytes = reinterpret_cast<const uint8_t*>(record);
    const size_t from = kLongHeaderOnlyFrom - DATAFILE_RECORD_OFFSET;
    if (std::any_of(bytes + from, bytes + sizeof *record, [](uint8_t b) { return b != 0; })) return 3;
    return record->l11_1 >= 2 ? 2 : 1;
}

}  // namespace kelm::datafile

int32_t datafile_write_binary_stream(FILE* stream, const datafile_ident* ident, const datafile_record* record,
                                     const intens_matrix* intens, const phase_matrix* phase) {
    const bool with_intens = present(intens);
    const bool with_phase = present(phase);
    if (!with_intens && !with_phase) return ERR_INVALID_PARAM;
    const size_t intens_values = with_intens ? values_of(intens_element_count(*intens)) : 0;
    const size_t phase_values = with_phase ? values_of(phase_element_count(*phase)) : 0;
    // Never read past an array whose allocated size is stated.
    if ((with_intens && exceeds_stated_size(*intens, static_cast<int64_t>(intens_values))) ||
        (with_phase && exceeds_stated_size(*phase, static_cast<int64_t>(phase_values))))
        return ERR_INVALID_PARAM;
    if (std::fseek(stream, 0, SEEK_END) != 0) return ERR_CANT_WRITE_FILE;

    const int format = kelm::datafile::binary_header_format(record);
    static constexpr uint32_t kMagic[] = {DATAFILE_MAGIC_FORMAT1, DATAFILE_MAGIC_FORMAT2, DATAFILE_MAGIC_FORMAT3};
    const size_t header_size = format == 3 ? DATAFILE_LONG_HEADER_SIZE : DATAFILE_SHORT_HEADER_SIZE;

    Header header{};
    kelm::store_be(&header[0], kMagic[format - 1]);
    kelm::store_be(&header[4], static_cast<int16_t>(format));
    kelm::store_be(&header[6], static_cast<int32_t>(header_size));
    if (ident != nullptr) store_ident(header, *ident);
    if (with_intens) store_intens(header, *intens);
    if (with_phase) store_phase(header, *phase);
    if (record != nullptr) store_record(header, *record);
    if (std::fwrite(header.data(), 1, header_size, stream) != header_size) return ERR_CANT_WRITE_FILE;

    WorkBuffer buffer;
    if (buffer.get() == nullptr) return ERR_NO_MEM;
    if (const int32_t err = write_values_be(stream, with_intens ? intens->matrix : nullptr, intens_values, buffer);
        err != NO_ERROR)
        return err;
    return write_values_be(stream, with_phase ? phase->matrix : nullptr, phase_values, buffer);
}

int32_t datafile_write_binary(const char* path, const datafile_ident* ident, const datafile_record* record,
                              const intens_matrix* intens, const phase_matrix* phase) {
    kelm::datafile::OpenFile file(plat::open_file(path, "wb"));
    if (!file) return ERR_CANT_CREATE_FILE;
    const int32_t result = datafile_write_binary_stream(file.get(), ident, record, intens, phase);
    // Data still in the stream's buffer is written at close.
    const bool closed = file.close();
    return result == NO_ERROR && !closed ? ERR_CANT_WRITE_FILE : result;
}
