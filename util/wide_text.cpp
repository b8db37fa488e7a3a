#include "util/wide_text.h"

#include <algorithm>
#include <string>

#include "platform/path.h"

namespace {

template <typename Char>
int32_t copy_terminated(const std::basic_string<Char>& text, Char* buffer, int32_t size) {
    if (buffer == nullptr || size <= 0) return 0;
    if (text.size() >= static_cast<size_t>(size)) {
        buffer[0] = 0;
        return 0;
    }
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    return static_cast<int32_t>(text.size());
}

}  // namespace

int32_t u_to_narrow(const char16_t* wide, char* buffer, int32_t size) {
    const std::u16string_view text = wide != nullptr ? std::u16string_view(wide) : std::u16string_view();
    return copy_terminated(plat::utf16_to_utf8(text), buffer, size);
}

int32_t u_to_wide(const char* narrow, char16_t* buffer, int32_t size) {
    const std::string_view text = narrow != nullptr ? std::string_view(narrow) : std::string_view();
    return copy_terminated(plat::utf8_to_utf16(text), buffer, size);
}
