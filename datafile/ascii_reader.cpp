#include <cstring>

#include "datafile/ascii.h"
#include "datafile/line_scan.h"
#include "datafile/open_file.h"
#include "datafile/text_source.h"
#include "errors/err_codes.h"
#include "errors/msg.h"
#include "platform/file.h"

namespace {

using kelm::datafile::ScannedValue;
using kelm::datafile::TextSource;

constexpr const char* kFormatLines[] = {"Kelm ASCII Data File - Format 1\n",
                                        "Kelm ASCII Data File - Format 2\n"};

// Header lines are read whole, up to 511 characters with the line end.
constexpr size_t kLineCapacity = 512;

struct Target {
    datafile_ident& ident;
    datafile_record& record;
    intens_matrix* intens;
    phase_matrix* phase;
};

int16_t i16(const ScannedValue& v) { return static_cast<int16_t>(v.integer); }

// Copies a text value of the field's width (its size less the NUL) and
// trims it.
template <size_t N>
void store_text(char (&field)[N], const ScannedValue& v) {
    std::memcpy(field, v.text, N - 1);
    field[N - 1] = '\0';
    u_trim(field);
}

// One header line after the first: its read format, the number of values it
// must yield, and where they go. A matrix's line is read but not parsed
// when that matrix is not given.
struct HeaderLine {
    const char* format;
    int values;
    enum { Always, IntensOnly, PhaseOnly } needs;
    void (*store)(const ScannedValue* v, Target& t);
};

const HeaderLine kHeaderLines[] = {
    {"%hd %hd %hd %hd \"%29c\"", 5, HeaderLine::Always,
     [](const ScannedValue* v, Target& t) {
         t.ident.l2_1 = i16(v[0]);
         t.ident.l2_2 = i16(v[1]);
         t.ident.l2_3 = i16(v[2]);
         t.ident.l2_4 = i16(v[3]);
         store_text(t.ident.l2_5, v[4]);
     }},
    {"%hd %hd %hd %hd %hd %hd", 6, HeaderLine::IntensOnly,
     [](const ScannedValue* v, Target& t) {
         t.intens->x = i16(v[0]);
         t.intens->y = i16(v[1]);
         t.intens->width = i16(v[2]);
         t.intens->height = i16(v[3]);
         t.intens->n_buckets = i16(v[4]);
         t.intens->aux = i16(v[5]);
     }},
    {"%hd %hd %hd %hd", 4, HeaderLine::PhaseOnly,
     [](const ScannedValue* v, Target& t) {
         t.phase->x = i16(v[0]);
         t.phase->y = i16(v[1]);
         t.phase->width = i16(v[2]);
         t.phase->height = i16(v[3]);
     }},
    {"\"%81c\"", 1, HeaderLine::Always, [](const ScannedValue* v, Target& t) { store_text(t.record.l5_1, v[0]); }},
    {"\"%39c\"", 1, HeaderLine::Always, [](const ScannedValue* v, Target& t) { store_text(t.record.l6_1, v[0]); }},
    {"\"%39c\"", 1, HeaderLine::Always, [](const ScannedValue* v, Target& t) { store_text(t.record.l7_1, v[0]); }},
    {"%hd %f %f %f %f %f %f %d", 8, HeaderLine::Always,
     [](const ScannedValue* v, Target& t) {
         t.record.l8_1 = i16(v[0]);
         t.record.l8_2 = v[1].real;
         t.record.l8_3 = v[2].real;
         t.record.l8_4 = v[3].real;
         t.record.l8_5 = v[4].real;
         t.record.l8_6 = v[5].real;
         t.record.l8_7 = v[6].real;
         t.record.l8_8 = v[7].integer;
     }},
    {"%hd %hd %hd %hd %d %hd \"%11c\"", 7, HeaderLine::Always,
     [](const ScannedValue* v, Target& t) {
         t.record.l9_1 = i16(v[0]);
         t.record.l9_2 = i16(v[1]);
         t.record.l9_3 = i16(v[2]);
         t.record.l9_4 = i16(v[3]);
         // A value that grew beyond 16 bits: the low half always, the whole
         // value when it needs more than 16 bits.
         t.record.l9_5 = static_cast<int16_t>(static_cast<uint16_t>(v[4].integer & 0xFFFF));
         t.record.l9_5_wide = v[4].integer > 65535 ? v[4].integer : 0;
         t.record.l9_6 = i16(v[5]);
         store_text(t.record.l9_7, v[6]);
     }},
    {"%hd %hd %hd %hd %hd %hd %f %f %d %d", 10, HeaderLine::Always,
     [](const ScannedValue* v, Target& t) {
         t.record.l10_1 = i16(v[0]);
         t.record.l10_2 = i16(v[1]);
         t.record.l10_3 = i16(v[2]);
         t.record.l10_4 = i16(v[3]);
         t.record.l10_5 = i16(v[4]);
         t.record.l10_6 = i16(v[5]);
         t.record.l10_7 = v[6].real;
         t.record.l10_8 = v[7].real;
         t.record.l10_9 = v[8].integer;
         t.record.l10_10 = v[9].integer;
     }},
    {"%hd %hd %d %hd %f %hd %hd %hd %hd", 9, HeaderLine::Always,
     [](const ScannedValue* v, Target& t) {
         t.record.l11_1 = i16(v[0]);
         t.record.l11_2 = i16(v[1]);
         t.record.l11_3 = v[2].integer;
         t.record.l11_4 = i16(v[3]);
         t.record.l11_5 = v[4].real;
         t.record.l11_6 = i16(v[5]);
         t.record.l11_7 = i16(v[6]);
         t.record.l11_8 = i16(v[7]);
         t.record.l11_9 = i16(v[8]);
     }},
    {"%hd \"%27c\"", 2, HeaderLine::Always,
     [](const ScannedValue* v, Target& t) {
         t.record.l12_1 = i16(v[0]);
         store_text(t.record.l12_2, v[1]);
     }},
    {"%f %f", 2, HeaderLine::Always,
     [](const ScannedValue* v, Target& t) {
         t.record.l13_1 = v[0].real;
         t.record.l13_2 = v[1].real;
     }},
    {"\"%7c\"", 1, HeaderLine::Always, [](const ScannedValue* v, Target& t) { store_text(t.record.l14_1, v[0]); }},
};
constexpr int kMaxValuesPerLine = 10;

class AsciiReader {
public:
    AsciiReader(FILE* stream, Target target) : source_(stream), target_(target) {}

    int line_number() const { return line_number_; }

    int32_t read() {
        if (!source_.ok()) return ERR_NO_MEM;
        if (const int32_t err = read_format_line(); err != NO_ERROR) return err;
        const int last_line = format_ == 1 ? 13 : 14;
        for (const HeaderLine& spec : kHeaderLines) {
            if (line_number_ == last_line) break;
            ++line_number_;
            if (const int32_t err = read_header_line(spec); err != NO_ERROR) return err;
        }
        source_.skip_short_line(2);
        if (const int32_t err = read_intensities(); err != NO_ERROR) return err;
        source_.skip_short_line(2);
        return read_phases();
    }

private:
    enum class LineCheck { Ok, End, Bad, Cut };

    // Reads one header line; a line that is too long, holds a NUL byte or
    // has no line end is never parsed.
    LineCheck next_line() {
        size_t length = 0;
        switch (source_.read_line(line_, sizeof line_, length)) {
        case TextSource::Line::End: return LineCheck::End;
        case TextSource::Line::TooLong: return LineCheck::Bad;
        case TextSource::Line::NoLineEnd: return LineCheck::Cut;
        case TextSource::Line::Ok: break;
        }
        return std::memchr(line_, '\0', length) != nullptr ? LineCheck::Bad : LineCheck::Ok;
    }

    int32_t read_format_line() {
        const LineCheck check = next_line();
        if (check == LineCheck::End) return ERR_PREMATURE_EOF;
        for (int i = 0; i < 2; ++i) {
            if (check == LineCheck::Ok && std::strcmp(line_, kFormatLines[i]) == 0) {
                format_ = i + 1;
                return NO_ERROR;
            }
        }
        return ERR_UNKNOWN_ASCII_FORMAT_TYPE;
    }

    int32_t read_header_line(const HeaderLine& spec) {
        switch (next_line()) {
        case LineCheck::End:
        case LineCheck::Cut: return ERR_PREMATURE_EOF;
        case LineCheck::Bad: return ERR_CORRUPT_DATA_FILE;
        case LineCheck::Ok: break;
        }
        if ((spec.needs == HeaderLine::IntensOnly && target_.intens == nullptr) ||
            (spec.needs == HeaderLine::PhaseOnly && target_.phase == nullptr))
            return NO_ERROR;
        ScannedValue values[kMaxValuesPerLine];
        if (kelm::datafile::scan_line(line_, spec.format, values, kMaxValuesPerLine) < spec.values)
            return ERR_CORRUPT_DATA_FILE;
        spec.store(values, target_);
        return NO_ERROR;
    }

    int32_t read_intensities() {
        intens_matrix* m = target_.intens;
        if (m == nullptr) return NO_ERROR;
        const int64_t count = intens_element_count(*m);
        if (count <= 0) return NO_ERROR;
        // More elements than the allocator's 32-bit count can describe.
        if (count > int64_t{UINT32_MAX}) return ERR_NO_MEM;
        if (intens_matrix_alloc(m) != NO_ERROR) return ERR_NO_MEM;
        return source_.read_values(m->matrix, static_cast<size_t>(count)) ? NO_ERROR : ERR_CANT_READ_FILE;
    }

    int32_t read_phases() {
        phase_matrix* m = target_.phase;
        if (m == nullptr) return NO_ERROR;
        const int64_t count = phase_element_count(*m);
        if (count <= 0) return NO_ERROR;
        if (phase_matrix_alloc(m) != NO_ERROR) return ERR_NO_MEM;
        return source_.read_values(m->matrix, static_cast<size_t>(count)) ? NO_ERROR : ERR_CANT_READ_FILE;
    }

    TextSource source_;
    Target target_;
    int line_number_ = 1;
    int format_ = 0;
    char line_[kLineCapacity];
};

}  // namespace

int32_t datafile_read_ascii(const char* path, datafile_ident* ident, datafile_record* record,
                            intens_matrix* intens, phase_matrix* phase) {
    if (ident == nullptr || record == nullptr) return ERR_INVALID_PARAM;
    std::memset(ident, 0, sizeof *ident);
    std::memset(record, 0, sizeof *record);

    int32_t result = NO_ERROR;
    int line_number = 0;  // no line has been read when the file cannot be opened
    {
        // Binary: the source itself drops a CR before an LF, as text mode would.
        kelm::datafile::OpenFile file(plat::open_file(path, "rb"));
        if (!file) {
            result = ERR_CANT_OPEN_FILE;
        } else {
            AsciiReader reader(file.get(), Target{*ident, *record, intens, phase});
            result = reader.read();
            line_number = reader.line_number();
        }
    }
    if (result != NO_ERROR) {
        gl_msg_print("-***- Error in Line %d -***-\n", line_number);
        if (intens != nullptr) intens_matrix_free(intens);
        if (phase != nullptr) phase_matrix_free(phase);
    }
    return result;
}
