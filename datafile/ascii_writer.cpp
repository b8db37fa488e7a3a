#include <charconv>
#include <cstring>

#include "datafile/ascii.h"
#include "datafile/open_file.h"
#include "errors/err_codes.h"
#include "platform/file.h"

namespace {

// Values go through this buffer and are written in large pieces rather than
// one stdio call each.
class ValueWriter {
public:
    explicit ValueWriter(FILE* stream) : stream_(stream) {}

    // Writes each value followed by a blank, ten to a line; a last partial
    // line is ended too.
    template <typename T>
    bool write_block(const T* values, int64_t count) {
        for (int64_t i = 0; i < count; ++i) {
            if (end_ - used_ < kRoomPerValue && !flush()) return false;
            used_ = std::to_chars(used_, end_, values[i]).ptr;
            *used_++ = ' ';
            if (i % 10 == 9 || i == count - 1) *used_++ = '\n';
        }
        return flush();
    }

private:
    static constexpr ptrdiff_t kRoomPerValue = 16;  // "-2147483648 \n"

    bool flush() {
        const size_t n = static_cast<size_t>(used_ - buffer_);
        used_ = buffer_;
        return n == 0 || std::fwrite(buffer_, 1, n, stream_) == n;
    }

    FILE* stream_;
    char buffer_[64 * 1024];
    char* used_ = buffer_;
    char* const end_ = buffer_ + sizeof buffer_;
};

// Prints a fixed-size text field left-justified and blank-padded to its
// width (the field's size less the NUL); never reads past the field.
template <size_t N>
void print_text_line(FILE* f, const char (&field)[N]) {
    constexpr int width = static_cast<int>(N - 1);
    std::fprintf(f, "\"%-*.*s\"\n", width, width, field);
}

// A matrix takes part with its values only when it holds its array.
bool holds(const intens_matrix* m) { return m != nullptr && m->matrix != nullptr; }
bool holds(const phase_matrix* m) { return m != nullptr && m->matrix != nullptr; }

}  // namespace

namespace kelm::datafile {

int32_t write_ascii_stream(FILE* f, int format, const datafile_ident* ident_in,
                           const datafile_record* record_in, const intens_matrix* intens,
                           const phase_matrix* phase) {
    if (intens == nullptr && phase == nullptr) return ERR_INVALID_PARAM;
    // A given matrix whose values should be there but whose array is not is
    // written as absent, as the binary writer treats it.
    if (intens != nullptr && intens_element_count(*intens) > 0 && !holds(intens)) intens = nullptr;
    if (phase != nullptr && phase_element_count(*phase) > 0 && !holds(phase)) phase = nullptr;
    const int64_t intens_count = intens != nullptr ? intens_element_count(*intens) : 0;
    const int64_t phase_count = phase != nullptr ? phase_element_count(*phase) : 0;
    // Never read past an array whose allocated size is stated.
    if ((intens != nullptr && intens->size != 0 && intens_count > intens->size) ||
        (phase != nullptr && phase->size != 0 && phase_count > phase->size))
        return ERR_INVALID_PARAM;

    static const datafile_ident kNoIdent{};
    static const datafile_record kNoRecord{};
    static const intens_matrix kNoIntens{};
    static const phase_matrix kNoPhase{};
    const datafile_ident& id = ident_in != nullptr ? *ident_in : kNoIdent;
    const datafile_record& r = record_in != nullptr ? *record_in : kNoRecord;
    const intens_matrix& in = intens != nullptr ? *intens : kNoIntens;
    const phase_matrix& ph = phase != nullptr ? *phase : kNoPhase;

    std::fprintf(f, "Kelm ASCII Data File - Format %d\n", format == 1 ? 1 : 2);
    std::fprintf(f, "%hd %hd %hd %hd \"%-*.*s\"\n", id.l2_1, id.l2_2, id.l2_3, id.l2_4, 29, 29, id.l2_5);
    std::fprintf(f, "%hd %hd %hd %hd %hd %hd\n", in.x, in.y, in.width, in.height, in.n_buckets, in.aux);
    std::fprintf(f, "%hd %hd %hd %hd\n", ph.x, ph.y, ph.width, ph.height);
    print_text_line(f, r.l5_1);
    print_text_line(f, r.l6_1);
    print_text_line(f, r.l7_1);
    std::fprintf(f, "%d %g %g %g %g %g %g %d\n", r.l8_1, double{r.l8_2}, double{r.l8_3}, double{r.l8_4},
                 double{r.l8_5}, double{r.l8_6}, double{r.l8_7}, r.l8_8);
    if (r.l9_5_wide != 0)
        std::fprintf(f, "%hd %hd %hd %hd %d %hd \"%-*.*s\"\n", r.l9_1, r.l9_2, r.l9_3, r.l9_4, r.l9_5_wide,
                     r.l9_6, 11, 11, r.l9_7);
    else
        std::fprintf(f, "%hd %hd %hd %hd %hd %hd \"%-*.*s\"\n", r.l9_1, r.l9_2, r.l9_3, r.l9_4, r.l9_5, r.l9_6,
                     11, 11, r.l9_7);
    std::fprintf(f, "%hd %hd %hd %hd %hd %hd %g %g %d %d\n", r.l10_1, r.l10_2, r.l10_3, r.l10_4, r.l10_5,
                 r.l10_6, double{r.l10_7}, double{r.l10_8}, r.l10_9, r.l10_10);
    std::fprintf(f, "%hd %hd %d %hd %g %hd %hd %hd %hd\n", r.l11_1, r.l11_2, r.l11_3, r.l11_4, double{r.l11_5},
                 r.l11_6, r.l11_7, r.l11_8, r.l11_9);
    std::fprintf(f, "%hd \"%-*.*s\"\n", r.l12_1, 27, 27, r.l12_2);
    std::fprintf(f, "%g %g\n", double{r.l13_1}, double{r.l13_2});
    if (format != 1) print_text_line(f, r.l14_1);

    ValueWriter values(f);
    std::fputs("#\n", f);
    if (intens_count > 0 && !values.write_block(in.matrix, intens_count)) return ERR_CANT_WRITE_FILE;
    std::fputs("#\n", f);
    if (phase_count > 0 && !values.write_block(ph.matrix, phase_count)) return ERR_CANT_WRITE_FILE;
    std::fputs("#\n", f);
    return std::fflush(f) == 0 ? NO_ERROR : ERR_CANT_WRITE_FILE;
}

}  // namespace kelm::datafile

int32_t datafile_write_ascii(const char* path, const datafile_ident* ident, const datafile_record* record,
                             const intens_matrix* intens, const phase_matrix* phase) {
    if (intens == nullptr && phase == nullptr) return ERR_INVALID_PARAM;
    kelm::datafile::OpenFile file(plat::open_file(path, "w"));
    if (!file) return ERR_CANT_CREATE_FILE;
    const int32_t result = kelm::datafile::write_ascii_stream(file.get(), 2, ident, record, intens, phase);
    const bool closed = file.close();
    return result == NO_ERROR && !closed ? ERR_CANT_WRITE_FILE : result;
}
