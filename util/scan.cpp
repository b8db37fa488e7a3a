#include "util/scan.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "errors/msg.h"
#include "util/memhooks.h"

namespace {

// The process-wide tokenizer: a private copy of the line being scanned, so
// the caller's buffer is never modified or kept.
struct Tokenizer {
    std::string line;
    size_t pos = 0;
    bool active = false;

    const char* next(const char* start_line, const char* delimiters, std::string& token) {
        if (start_line != nullptr) {
            line = start_line;
            pos = 0;
            active = true;
        }
        if (!active) return nullptr;
        const char* delims = delimiters != nullptr ? delimiters : " \t";
        const size_t begin = line.find_first_not_of(delims, pos);
        if (begin == std::string::npos) {
            pos = line.size();
            return nullptr;
        }
        size_t end = line.find_first_of(delims, begin);
        if (end == std::string::npos) end = line.size();
        token.assign(line, begin, end - begin);
        pos = end < line.size() ? end + 1 : end;
        return token.c_str();
    }
};

Tokenizer g_tokens;

// Appends formatted text to a message buffer of at least
// U_SCAN_MESSAGE_SIZE (number scanners) characters.
struct MessageBuilder {
    char* out;
    size_t cap;
    size_t len = 0;
    void add(const char* format, ...) KELM_PRINTF(2, 3) {
        if (out == nullptr || len + 1 >= cap) return;
        va_list args;
        va_start(args, format);
        const int n = std::vsnprintf(out + len, cap - len, format, args);
        va_end(args);
        if (n > 0) len = std::min(cap - 1, len + static_cast<size_t>(n));
    }
};

void add_label(MessageBuilder& msg, const char* label) {
    msg.add("Expected");
    if (label != nullptr && label[0] != '\0') msg.add(" '%.40s'", label);
}

// How a number scan ended; the failures name their reason.
enum class ScanOutcome { Ok, KeywordMismatch, Missing, NotANumber, ExtraCharacters, OutOfRange };

const char* reason_of(ScanOutcome outcome) {
    switch (outcome) {
    case ScanOutcome::Missing: return "Missing number.\n";
    case ScanOutcome::NotANumber: return "Not a number.\n";
    case ScanOutcome::ExtraCharacters: return "Extra characters after number.\n";
    default: return "Number out of range.\n";
    }
}

// Takes the next token and converts it: `convert(text, end)` returns the
// value and where the conversion stopped; `acceptable(value)` checks it.
template <typename T, typename Convert, typename Acceptable>
ScanOutcome scan_number(const char* line, const char* delimiters, const char* keyword, T& value, Convert convert,
                        Acceptable acceptable) {
    std::string token;
    if (g_tokens.next(line, delimiters, token) == nullptr) return ScanOutcome::Missing;
    if (keyword != nullptr && strxcmp(token.c_str(), keyword) != 0) return ScanOutcome::KeywordMismatch;
    char* end = nullptr;
    const T parsed = convert(token.c_str(), &end);
    if (end == token.c_str()) return ScanOutcome::NotANumber;
    if (*end != '\0') return ScanOutcome::ExtraCharacters;
    if (!acceptable(parsed)) return ScanOutcome::OutOfRange;
    value = parsed;
    return ScanOutcome::Ok;
}

}  // namespace

bool u_scan_int(const char* line, const char* delimiters, const char* label, int32_t min, int32_t max,
                const char* keyword, char* message, int32_t* value) {
    if (message != nullptr) message[0] = '\0';
    if (value == nullptr) return false;
    *value = std::numeric_limits<int32_t>::max();
    const bool min_set = min != std::numeric_limits<int32_t>::min();
    const bool max_set = max != std::numeric_limits<int32_t>::max();
    bool overflow = false;
    long long parsed = 0;
    const ScanOutcome outcome = scan_number(
        line, delimiters, keyword, parsed,
        [&](const char* text, char** end) {
            errno = 0;
            const long long v = std::strtoll(text, end, 10);
            overflow = errno == ERANGE;
            return v;
        },
        [&](long long v) {
            // Beyond 32 bits is out of range whatever the limits say.
            return !overflow && v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max() &&
                   !(min_set && v < min) && !(max_set && v > max);
        });
    if (outcome == ScanOutcome::Ok) {
        *value = static_cast<int32_t>(parsed);
        return true;
    }
    if (outcome == ScanOutcome::KeywordMismatch || message == nullptr) return false;
    MessageBuilder msg{message, U_SCAN_MESSAGE_SIZE};
    msg.add("%s", reason_of(outcome));
    add_label(msg, label);
    msg.add(" an integer value");
    if (min_set && max_set)
        msg.add(" in the range [%d,%d]", min, max);
    else if (!min_set)
        msg.add(" less than or equal to %d", max);
    else
        msg.add(" greater than or equal to %d", min);
    msg.add("\n");
    return false;
}

bool u_scan_real(const char* line, const char* delimiters, const char* label, double min, double max,
                 const char* keyword, char* message, double* value) {
    if (message != nullptr) message[0] = '\0';
    if (value == nullptr) return false;
    *value = std::numeric_limits<double>::infinity();
    const bool limited = std::isfinite(min) || std::isfinite(max);
    double parsed = 0;
    const ScanOutcome outcome = scan_number(
        line, delimiters, keyword, parsed, [](const char* text, char** end) { return std::strtod(text, end); },
        // NaN passes every comparison: refuse it wherever a limit guards.
        [&](double v) { return !(limited && std::isnan(v)) && !(v < min) && !(v > max); });
    if (outcome == ScanOutcome::Ok) {
        *value = parsed;
        return true;
    }
    if (outcome == ScanOutcome::KeywordMismatch || message == nullptr) return false;
    MessageBuilder msg{message, U_SCAN_MESSAGE_SIZE};
    msg.add("%s", reason_of(outcome));
    add_label(msg, label);
    msg.add(" a floating point value");
    if (std::isfinite(min) && std::isfinite(max))
        msg.add(" in the range [%g,%g]", min, max);
    else if (std::isfinite(min))
        msg.add(" greater than or equal to %g", min);
    else
        msg.add(" less than or equal to %g", max);
    msg.add("\n");
    return false;
}

bool u_scan_text(const char* line, const char* delimiters, const char* label, int max_chars, char* message,
                 char* text) {
    if (message != nullptr) message[0] = '\0';
    if (text == nullptr || max_chars < 2) return false;
    text[0] = '\0';
    std::string token;
    bool missing = false;
    if (g_tokens.next(line, delimiters, token) == nullptr) {
        missing = true;
    } else if (token.size() <= static_cast<size_t>(max_chars)) {
        std::memcpy(text, token.c_str(), token.size() + 1);
        return true;
    }
    if (message != nullptr) {
        const bool has_label = label != nullptr && label[0] != '\0';
        MessageBuilder msg{message, U_SCAN_TEXT_MESSAGE_BASE + (has_label ? std::strlen(label) : 0)};
        if (missing)
            msg.add("Missing string.\n");
        else
            msg.add("String longer than maximum of %d characters.\n", max_chars);
        if (has_label)
            msg.add("Expected %s,", label);
        else
            msg.add("Expected");
        msg.add(" a string of up to %d characters\n", max_chars);
    }
    return false;
}

int u_remove_blanks(char* text) {
    if (text == nullptr) return 0;
    bool quoted = false;
    char* out = text;
    int removed = 0;
    for (const char* in = text; *in != '\0'; ++in) {
        if (*in == '"') quoted = !quoted;
        if (!quoted && std::isspace(static_cast<unsigned char>(*in))) {
            ++removed;
            continue;
        }
        *out++ = *in;
    }
    *out = '\0';
    return removed;
}

namespace {

// A working copy of a text, from the allocator hooks.
struct TextCopy {
    char* text = nullptr;
    explicit TextCopy(const char* source) {
        const char* from = source != nullptr ? source : "";
        const size_t n = std::strlen(from);
        text = static_cast<char*>(gl_mem_alloc(n + 1));
        if (text != nullptr) std::memcpy(text, from, n + 1);
    }
    ~TextCopy() {
        if (text != nullptr) gl_mem_free(text);
    }
    TextCopy(const TextCopy&) = delete;
    TextCopy& operator=(const TextCopy&) = delete;
    void normalise() {
        u_remove_blanks(text);
        for (char* c = text; *c != '\0'; ++c) *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    }
};

}  // namespace

int strxcmp(const char* a, const char* b) {
    TextCopy left(a);
    TextCopy right(b);
    if (left.text == nullptr || right.text == nullptr) {
        // Without copies nothing can be compared: never report a match.
        gl_msg_print("strxcmp: out of memory\n");
        return 1;
    }
    for (char* c = left.text; *c != '\0'; ++c)
        if (*c == ':') *c = ' ';
    left.normalise();
    right.normalise();
    const int cmp = std::strcmp(left.text, right.text);
    return cmp < 0 ? -1 : cmp > 0 ? 1 : 0;
}
