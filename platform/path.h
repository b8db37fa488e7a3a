// Path texts as the library receives them.
//
// A path whose first two bytes are a UTF-16 byte-order mark (FF FE for
// little-endian, FE FF for big-endian) is a wide-character path: UTF-16 code
// units follow the mark up to a zero unit. Such a path contains NUL bytes, so
// it is never measured with strlen; native_path() decodes it to UTF-8. Any
// other path is used as it is.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// True when `path` starts with a UTF-16 byte-order mark.
bool is_wide_path(const char* path);

// The path to hand to the operating system: a wide path decoded to UTF-8,
// any other path copied unchanged. A null path gives an empty text.
std::string native_path(const char* path);

// Builds a wide path (mark + UTF-16 units + zero unit) from UTF-8 text, as a
// caller holding a wide-character name would pass it.
std::string make_wide_path(std::string_view utf8, bool big_endian = false);

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16_to_utf8(std::u16string_view text);
std::u16string utf8_to_utf16(std::string_view text);

// Paths from configuration files and built-in defaults may use Windows
// separators; this turns every backslash into '/'.
std::string to_posix_separators(std::string_view path);

}  // namespace plat
