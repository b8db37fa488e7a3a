#include "calibration/ftp_material_line.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>

#include "calibration/ftp_materials.h"
#include "calibration/text_format.h"

namespace {

constexpr std::string_view kDelimiters = " \t\r\n";
constexpr double kUnknown = std::numeric_limits<double>::infinity();
constexpr double kTwoPi = 2 * std::numbers::pi;

}  // namespace

// Fields 2 to 8, in file order.
const FtpNumericField kFtpNumericFields[kFtpNumericFieldCount] = {
    {"N", 0, 100},
    {"K", 0, 100},
    {"PCOR", -kTwoPi, kTwoPi},
    {"Disper[0]", -kTwoPi, kTwoPi},
    {"Disper[1]", -kTwoPi, kTwoPi},
    {"Disper[2]", -kTwoPi, kTwoPi},
    {"Disper[3]", -kTwoPi, kTwoPi},
};

namespace {

// Walks the words of a line.
struct Words {
    std::string_view line;
    size_t pos = 0;

    // The next word, empty at the end of the line; `start` is where it begins.
    std::string_view next(size_t& start) {
        start = line.find_first_not_of(kDelimiters, pos);
        if (start == std::string_view::npos) {
            pos = line.size();
            return {};
        }
        size_t end = line.find_first_of(kDelimiters, start);
        if (end == std::string_view::npos) end = line.size();
        pos = end;
        return line.substr(start, end - start);
    }
};

// A number that fills the whole word and lies within [lo, hi]; '*' and '?'
// mean unknown. NaN is refused: it would pass no comparison.
bool parse_value(std::string_view word, double lo, double hi, double& value) {
    if (word == "*" || word == "?") {
        value = kUnknown;
        return true;
    }
    char text[kFtpMaterialsMaxLine + 1];
    if (word.empty() || word.size() > kFtpMaterialsMaxLine) return false;
    word.copy(text, word.size());
    text[word.size()] = '\0';
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (end != text + word.size() || std::isnan(parsed) || parsed < lo || parsed > hi) return false;
    value = parsed;
    return true;
}

bool invalid_name(std::string_view word, FtpLineError& error) {
    error.message = text_format("Invalid %s value \"%.*s\" (field %d)", "Name", static_cast<int>(word.size()),
                                word.data(), 1);
    error.detail =
        text_format("The %s must be quoted text up to %d characters long\n", "Name", kFtpMaterialNameMax);
    return false;
}

// Field 1: the name in double or single quotes, blanks allowed inside.
bool parse_name(Words& words, MaterialSpec& spec, FtpLineError& error) {
    size_t start = 0;
    const std::string_view first = words.next(start);
    const std::string_view line = words.line;
    const char quote = first.empty() ? '\0' : first[0];
    if (quote != '"' && quote != '\'') return invalid_name(first, error);
    const size_t close = line.find(quote, start + 1);
    if (close == std::string_view::npos) return invalid_name(line.substr(start), error);
    const std::string_view name = line.substr(start + 1, close - start - 1);
    const size_t after = close + 1;
    if (after < line.size() && kDelimiters.find(line[after]) == std::string_view::npos) {
        size_t end = line.find_first_of(kDelimiters, after);
        if (end == std::string_view::npos) end = line.size();
        return invalid_name(line.substr(start, end - start), error);
    }
    if (name.size() > static_cast<size_t>(kFtpMaterialNameMax)) return invalid_name(name, error);
    spec.name.set(name);
    words.pos = after;
    return true;
}

}  // namespace

FtpHeading ftp_check_heading(std::string_view line, int32_t& format) {
    const size_t title = line.find(kFtpMaterialsTitle);
    if (title == std::string_view::npos) return FtpHeading::None;
    const std::string_view word = kFtpMaterialsFormatWord;
    const size_t at = line.find(word, title + std::string_view(kFtpMaterialsTitle).size());
    if (at == std::string_view::npos) return FtpHeading::NoFormat;
    const size_t digits = line.find_first_not_of(" \t", at + word.size());
    if (digits == std::string_view::npos) return FtpHeading::NoFormat;
    const char* end = line.data() + line.size();
    const auto [next, ec] = std::from_chars(line.data() + digits, end, format);
    if (ec != std::errc{} || (next != end && kDelimiters.find(*next) == std::string_view::npos))
        return FtpHeading::NoFormat;
    return format == kFtpMaterialsFormat ? FtpHeading::Valid : FtpHeading::Unsupported;
}

bool ftp_parse_material_line(std::string_view line, MaterialSpec& spec, FtpLineError& error) {
    Words words{line};
    if (!parse_name(words, spec, error)) return false;

    double* targets[kFtpNumericFieldCount] = {&spec.n, &spec.k, &spec.pcor, &spec.disper[0], &spec.disper[1], &spec.disper[2],
                          &spec.disper[3]};
    size_t start = 0;
    for (int i = 0; i < kFtpNumericFieldCount; ++i) {
        const FtpNumericField& field = kFtpNumericFields[i];
        const int number = i + 2;
        const std::string_view word = words.next(start);
        // A comment ends the line: the fields it hides are missing.
        if (word.empty() || word[0] == '#') {
            error.message = text_format("Missing %s value (field %d)", field.name, number);
            return false;
        }
        if (!parse_value(word, field.lo, field.hi, *targets[i])) {
            error.message = text_format("Invalid %s value \"%.*s\" (field %d)", field.name,
                                        static_cast<int>(word.size()), word.data(), number);
            error.detail = text_format(
                "\tThe %s value must be a number\n\tgreater than or equal to %g and\n\tless than or equal to %g\n",
                field.name, field.lo, field.hi);
            return false;
        }
    }

    const std::string_view rest = words.next(start);
    if (rest.empty()) return true;
    if (rest[0] != '#') {
        error.message = text_format("Unexpected token \"%.*s\" (field %d)", static_cast<int>(rest.size()),
                                    rest.data(), 9);
        return false;
    }
    spec.comment.set(line.substr(start));
    return true;
}
