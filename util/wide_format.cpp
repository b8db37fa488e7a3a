// The wide-path formatter: printf-style formatting into a bounded UTF-16
// buffer whose string arguments may be narrow texts or wide paths.
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "platform/path.h"
#include "util/wide_text.h"

namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;

enum class ArgKind {
    None, Int, Long, LongLong, IntMax, PtrDiff,
    UInt, ULong, ULongLong, USizeT, UIntMax, Double, LongDouble, String, Char, Pointer
};

// One conversion of a format, as written.
struct Conversion {
    size_t end = 0;  // one past its letter
    std::string flags;
    std::optional<int> width;       // none, or a number from the text
    std::optional<int> precision;
    bool width_star = false;
    bool precision_star = false;
    std::string length;
    char letter = 0;
    ArgKind kind = ArgKind::None;   // None: an unknown letter, copied as text
};

// The arguments being walked; a wrapper so that helpers may advance them.
struct Args {
    va_list ap;
};

ArgKind kind_of(char letter, std::string_view length) {
    const bool is_signed = letter == 'd' || letter == 'i';
    const bool is_unsigned = letter == 'o' || letter == 'u' || letter == 'x' || letter == 'X';
    if (is_signed || is_unsigned) {
        if (length == "l") return is_signed ? ArgKind::Long : ArgKind::ULong;
        if (length == "ll") return is_signed ? ArgKind::LongLong : ArgKind::ULongLong;
        if (length == "z") return is_signed ? ArgKind::PtrDiff : ArgKind::USizeT;
        if (length == "j") return is_signed ? ArgKind::IntMax : ArgKind::UIntMax;
        if (length == "t") return is_signed ? ArgKind::PtrDiff : ArgKind::USizeT;
        return is_signed ? ArgKind::Int : ArgKind::UInt;  // hh, h and none are promoted
    }
    switch (letter) {
    case 'e': case 'E': case 'f': case 'g': case 'G':
        return length == "L" ? ArgKind::LongDouble : ArgKind::Double;
    case 's': case 'S': return ArgKind::String;
    case 'c': case 'C': return ArgKind::Char;
    case 'p': return ArgKind::Pointer;
    default: return ArgKind::None;
    }
}

int read_number(std::string_view format, size_t& i) {
    long value = 0;
    while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
        if (value < 1'000'000'000) value = value * 10 + (format[i] - '0');
        ++i;
    }
    return static_cast<int>(value);
}

// Parses the conversion whose '%' is at `at` (already known not to be
// followed by a blank, another '%' or the end).
Conversion parse_conversion(std::string_view format, size_t at) {
    Conversion c;
    size_t i = at + 1;
    while (i < format.size() && std::string_view("-+#0 ").find(format[i]) != std::string_view::npos)
        c.flags.push_back(format[i++]);
    if (i < format.size() && format[i] == '*') {
        c.width_star = true;
        ++i;
    } else if (i < format.size() && format[i] >= '1' && format[i] <= '9') {
        c.width = read_number(format, i);
    }
    if (i < format.size() && format[i] == '.') {
        ++i;
        if (i < format.size() && format[i] == '*') {
            c.precision_star = true;
            ++i;
        } else {
            c.precision = read_number(format, i);
        }
    }
    while (i < format.size() && std::string_view("hlLzjt").find(format[i]) != std::string_view::npos)
        c.length.push_back(format[i++]);
    if (i < format.size()) c.letter = format[i++];
    c.end = i;
    c.kind = kind_of(c.letter, c.length);
    return c;
}

// What a '%' at `at` starts: a conversion, or plain text.
bool starts_conversion(std::string_view format, size_t at) {
    return at + 1 < format.size() && format[at + 1] != ' ' && format[at + 1] != '%';
}

// Takes the '*' numbers and the value of a conversion from the arguments.
struct Value {
    long long i = 0;
    unsigned long long u = 0;
    long double d = 0;
    const char* s = nullptr;
    void* p = nullptr;
};

Value take_value(Args& args, Conversion& c) {
    if (c.kind == ArgKind::None) return {};
    if (c.width_star) {
        int w = va_arg(args.ap, int);
        if (w < 0) {
            c.flags.push_back('-');
            w = w == -2147483647 - 1 ? 2147483647 : -w;
        }
        c.width = w;
    }
    if (c.precision_star) {
        const int p = va_arg(args.ap, int);
        if (p >= 0) c.precision = p;  // a negative precision is as if omitted
    }
    Value v;
    switch (c.kind) {
    case ArgKind::Int: case ArgKind::Char: v.i = va_arg(args.ap, int); break;
    case ArgKind::Long: v.i = va_arg(args.ap, long); break;
    case ArgKind::LongLong: v.i = va_arg(args.ap, long long); break;
    case ArgKind::IntMax: v.i = va_arg(args.ap, intmax_t); break;
    case ArgKind::PtrDiff: v.i = va_arg(args.ap, ptrdiff_t); break;
    case ArgKind::UInt: v.u = va_arg(args.ap, unsigned); break;
    case ArgKind::ULong: v.u = va_arg(args.ap, unsigned long); break;
    case ArgKind::ULongLong: v.u = va_arg(args.ap, unsigned long long); break;
    case ArgKind::USizeT: v.u = va_arg(args.ap, size_t); break;
    case ArgKind::UIntMax: v.u = va_arg(args.ap, uintmax_t); break;
    case ArgKind::Double: v.d = va_arg(args.ap, double); break;
    case ArgKind::LongDouble: v.d = va_arg(args.ap, long double); break;
    case ArgKind::String: v.s = va_arg(args.ap, const char*); break;
    case ArgKind::Pointer: v.p = va_arg(args.ap, void*); break;
    case ArgKind::None: break;
    }
    return v;
}

// A bounded writer into the caller's buffer; the byte-order mark goes in
// front of the first unit unless that unit is the mark itself.
class WideOut {
public:
    WideOut(char16_t* buffer, size_t capacity) : buffer_(buffer), capacity_(capacity) {}

    void put(char16_t unit) {
        if (len_ == 0 && unit != kByteOrderMark) store(kByteOrderMark);
        store(unit);
    }
    void put(std::u16string_view text) {
        for (char16_t unit : text) put(unit);
    }
    void pad(size_t count) {
        for (size_t k = 0; k < count && !overflow_; ++k) put(u' ');
    }
    // Terminates the buffer; the length, or -1 when something was cut.
    int32_t finish() {
        if (len_ == 0) store(kByteOrderMark);
        if (capacity_ > 0) buffer_[len_] = 0;
        return overflow_ ? -1 : static_cast<int32_t>(len_);
    }
    // No width wider than the buffer can matter: cap it so that a huge
    // width in a format costs no huge temporary text.
    int limit() const { return capacity_ > 1'000'000 ? 1'000'001 : static_cast<int>(capacity_) + 1; }

private:
    void store(char16_t unit) {
        if (len_ + 1 < capacity_) buffer_[len_++] = unit;
        else overflow_ = true;
    }
    char16_t* buffer_;
    size_t capacity_;
    size_t len_ = 0;
    bool overflow_ = false;
};

std::u16string string_text(const char* s) {
    if (s == nullptr) return u"(null)";
    // A wide path is used without its mark; narrow text is converted.
    return plat::utf8_to_utf16(plat::native_path(s));
}

std::u16string char_text(long long code) {
    const auto cp = static_cast<char32_t>(code & 0x1FFFFF);
    if (cp < 0x10000) return std::u16string(1, static_cast<char16_t>(cp));
    const char32_t v = cp - 0x10000;
    return {static_cast<char16_t>(0xD800 + (v >> 10)), static_cast<char16_t>(0xDC00 + (v & 0x3FF))};
}

void put_padded(WideOut& out, const Conversion& c, std::u16string text) {
    if (c.letter != 'c' && c.letter != 'C' && c.precision && text.size() > static_cast<size_t>(*c.precision))
        text.resize(static_cast<size_t>(*c.precision));
    const size_t width = c.width ? static_cast<size_t>(*c.width) : 0;
    const size_t fill = width > text.size() ? width - text.size() : 0;
    const bool left = c.flags.find('-') != std::string::npos;
    if (!left) out.pad(fill);
    out.put(text);
    if (left) out.pad(fill);
}

// Numbers are formatted by the C library from the conversion rebuilt with
// its '*' values filled in and the length that matches the value taken.
template <typename T>
std::string printf_text(const Conversion& c, std::string_view length, T value) {
    std::string directive(1, '%');
    directive.append(c.flags);
    if (c.width) directive.append(std::to_string(*c.width));
    if (c.precision) directive.append(1, '.').append(std::to_string(*c.precision));
    directive.append(length);
    directive.push_back(c.letter);
    const int n = std::snprintf(nullptr, 0, directive.c_str(), value);
    if (n <= 0) return {};
    std::string text(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(text.data(), text.size(), directive.c_str(), value);
    text.resize(static_cast<size_t>(n));
    return text;
}

std::string number_text(const Conversion& c, const Value& v) {
    // hh and h narrow a promoted int; any other length of an int is dropped.
    const std::string_view narrow = c.length == "h" || c.length == "hh" ? std::string_view(c.length) : "";
    switch (c.kind) {
    case ArgKind::Int: return printf_text(c, narrow, static_cast<int>(v.i));
    case ArgKind::UInt: return printf_text(c, narrow, static_cast<unsigned>(v.u));
    case ArgKind::Long: return printf_text(c, "l", static_cast<long>(v.i));
    case ArgKind::ULong: return printf_text(c, "l", static_cast<unsigned long>(v.u));
    case ArgKind::LongLong: return printf_text(c, "ll", v.i);
    case ArgKind::ULongLong: return printf_text(c, "ll", v.u);
    case ArgKind::IntMax: return printf_text(c, "j", static_cast<intmax_t>(v.i));
    case ArgKind::UIntMax: return printf_text(c, "j", static_cast<uintmax_t>(v.u));
    case ArgKind::PtrDiff: return printf_text(c, "t", static_cast<ptrdiff_t>(v.i));
    case ArgKind::USizeT: return printf_text(c, "z", static_cast<size_t>(v.u));
    case ArgKind::Double: return printf_text(c, "", static_cast<double>(v.d));
    case ArgKind::LongDouble: return printf_text(c, "L", v.d);
    case ArgKind::Pointer: return printf_text(c, "", v.p);
    default: return {};
    }
}

void put_conversion(WideOut& out, Conversion& c, const Value& v) {
    const int limit = out.limit();
    if (c.width && *c.width > limit) c.width = limit;
    if (c.precision && *c.precision > limit) c.precision = limit;
    if (c.kind == ArgKind::String) put_padded(out, c, string_text(v.s));
    else if (c.kind == ArgKind::Char) put_padded(out, c, char_text(v.i));
    else out.put(plat::utf8_to_utf16(number_text(c, v)));
}

}  // namespace

int32_t u_format_uses_wide(va_list arguments, const char* format, int32_t* count, bool* uses_wide) {
    int32_t found = 0;
    bool wide = false;
    if (format != nullptr) {
        const std::string_view text(format);
        Args args;
        va_copy(args.ap, arguments);
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '%') continue;
            if (!starts_conversion(text, i)) {
                if (i + 1 < text.size() && text[i + 1] == '%') ++i;
                continue;
            }
            Conversion c = parse_conversion(text, i);
            ++found;
            const Value v = take_value(args, c);
            if (c.kind == ArgKind::String && !wide && plat::is_wide_path(v.s)) wide = true;
            i = c.end - 1;
        }
        va_end(args.ap);
    }
    if (count != nullptr) *count = found;
    if (uses_wide != nullptr) *uses_wide = wide;
    return found;
}

int32_t u_format_wide(va_list arguments, int32_t count, const char* format, char16_t* buffer, int32_t capacity) {
    if (buffer == nullptr || capacity <= 0) return -1;
    WideOut out(buffer, static_cast<size_t>(capacity));
    if (format == nullptr) {
        out.finish();
        return -1;
    }
    const std::string_view text(format);
    Args args;
    va_copy(args.ap, arguments);
    int32_t done = 0;
    size_t plain = 0;  // start of the text not yet written
    auto flush_plain = [&](size_t upto) {
        out.put(plat::utf8_to_utf16(text.substr(plain, upto - plain)));
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (!starts_conversion(text, i)) {
            if (i + 1 < text.size() && text[i + 1] == '%') {
                flush_plain(i + 1);  // keeps one '%'
                plain = i + 2;
                ++i;
            }
            continue;
        }
        Conversion c = parse_conversion(text, i);
        // Conversions past the count, and unknown ones, stay in the text.
        const bool format_it = done < count && c.kind != ArgKind::None;
        if (done < count) ++done;
        if (!format_it) {
            i = c.end - 1;
            continue;
        }
        flush_plain(i);
        const Value v = take_value(args, c);
        put_conversion(out, c, v);
        plain = c.end;
        i = c.end - 1;
    }
    va_end(args.ap);
    flush_plain(text.size());
    return out.finish();
}
