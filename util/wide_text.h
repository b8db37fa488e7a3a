// Wide text (UTF-16 code units) and a formatter that builds wide paths.
//
// The system's narrow code page is UTF-8. A wide path in the library's path
// convention starts with the byte-order mark U+FEFF (see platform/path.h);
// the formatter produces such paths from a printf-style format whose
// string arguments may be narrow texts or wide paths.
#pragma once

#include <cstdarg>
#include <cstdint>

// Converts zero-terminated wide text to narrow text in `buffer` (`size`
// bytes, terminator included). Returns the converted length without the
// terminator, or 0 with an empty buffer when it does not fit.
int32_t u_to_narrow(const char16_t* wide, char* buffer, int32_t size);

// Converts zero-terminated narrow text to wide text in `buffer` (`size`
// units, terminator included). Returns the converted length in units
// without the terminator, or 0 with an empty buffer when it does not fit.
int32_t u_to_wide(const char* narrow, char16_t* buffer, int32_t size);

// Counts the conversions of `format` into `*count`: a '%' that is not
// followed by a blank or another '%' ("%%" is skipped). Walks `arguments`
// along the conversions; `*uses_wide` becomes true when a string argument
// ("%s" or "%S") is a wide path. Returns the count. `arguments` itself is
// left unread (it is copied). Either output pointer may be null.
int32_t u_format_uses_wide(va_list arguments, const char* format, int32_t* count, bool* uses_wide);

// Formats the first `count` conversions of `format` into the wide buffer
// `buffer` of `capacity` units (terminator included), as printf does:
// s and S take a string argument (a wide path is used without its mark,
// narrow text is converted), c and C a character code, d i o u x X an
// integer, e E f g G a double, p a pointer. Width, precision ('*' too),
// flags and the length modifiers hh h l ll z j t L apply. Conversions past
// `count`, and those with an unknown letter, are copied as text. The result
// starts with the byte-order mark U+FEFF, so it is itself a wide path.
// Nothing is written past `capacity`. Returns the length in units (mark
// included, terminator not), or -1 when the result did not fit (the buffer
// then holds as much as fits, terminated). The arguments must match the
// format, as for printf.
int32_t u_format_wide(va_list arguments, int32_t count, const char* format, char16_t* buffer, int32_t capacity);
