#include "platform/path.h"

#include <cstdint>

namespace plat {

namespace {

constexpr unsigned char kBomLe[2] = {0xFF, 0xFE};
constexpr unsigned char kBomBe[2] = {0xFE, 0xFF};

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

bool is_wide_path(const char* path) {
    if (path == nullptr || path[0] == '\0') return false;
    const auto* p = reinterpret_cast<const unsigned char*>(path);
    return (p[0] == kBomLe[0] && p[1] == kBomLe[1]) || (p[0] == kBomBe[0] && p[1] == kBomBe[1]);
}

std::string native_path(const char* path) {
    if (path == nullptr) return {};
    if (!is_wide_path(path)) return path;
    const auto* p = reinterpret_cast<const unsigned char*>(path);
    const bool big_endian = p[0] == kBomBe[0];
    std::u16string units;
    for (const unsigned char* u = p + 2;; u += 2) {
        const char16_t unit = big_endian ? static_cast<char16_t>((u[0] << 8) | u[1])
                                         : static_cast<char16_t>(u[0] | (u[1] << 8));
        if (unit == 0) break;
        units.push_back(unit);
    }
    return utf16_to_utf8(units);
}

std::string make_wide_path(std::string_view utf8, bool big_endian) {
    std::string out;
    const unsigned char* bom = big_endian ? kBomBe : kBomLe;
    out.push_back(static_cast<char>(bom[0]));
    out.push_back(static_cast<char>(bom[1]));
    std::u16string units = utf8_to_utf16(utf8);
    units.push_back(0);
    for (char16_t unit : units) {
        const char hi = static_cast<char>(unit >> 8);
        const char lo = static_cast<char>(unit & 0xFF);
        out.push_back(big_endian ? hi : lo);
        out.push_back(big_endian ? lo : hi);
    }
    return out;
}

std::string utf16_to_utf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        append_utf8(out, cp);
    }
    return out;
}

std::u16string utf8_to_utf16(std::string_view text) {
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        char32_t cp = 0xFFFD;
        size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c >> 5) == 0x6) {
            len = 2;
        } else if ((c >> 4) == 0xE) {
            len = 3;
        } else if ((c >> 3) == 0x1E) {
            len = 4;
        }
        if (len > 1) {
            if (i + len > text.size()) {
                len = 1;
            } else {
                cp = c & (0xFF >> (len + 1));
                for (size_t k = 1; k < len; ++k) {
                    const auto cc = static_cast<unsigned char>(text[i + k]);
                    if ((cc & 0xC0) != 0x80) {
                        cp = 0xFFFD;
                        len = k;
                        break;
                    }
                    cp = (cp << 6) | (cc & 0x3F);
                }
            }
        }
        i += len;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string to_posix_separators(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

}  // namespace plat
