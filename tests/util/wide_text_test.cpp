#include "util/wide_text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdarg>
#include <string>

#include "platform/path.h"

namespace {

// Formats as a caller does: count the conversions, then format them.
int32_t format_wide(char16_t* buffer, int32_t capacity, bool* uses_wide, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int32_t count = -1;
    const int32_t returned = u_format_uses_wide(args, format, &count, uses_wide);
    EXPECT_EQ(returned, count);
    const int32_t n = u_format_wide(args, count, format, buffer, capacity);
    va_end(args);
    return n;
}

int32_t count_conversions(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int32_t count = -1;
    u_format_uses_wide(args, format, &count, nullptr);
    va_end(args);
    return count;
}

int32_t format_first(int32_t count, char16_t* buffer, int32_t capacity, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int32_t n = u_format_wide(args, count, format, buffer, capacity);
    va_end(args);
    return n;
}

TEST(WideText, ConvertsBothWays) {
    const std::string narrow = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80";  // two units for the last
    char16_t wide[32];
    EXPECT_EQ(u_to_wide(narrow.c_str(), wide, 32), 10);
    EXPECT_EQ(std::u16string(wide), u"Gr\u00FC\u00DFe \u20AC \U0001F600");
    char back[32];
    EXPECT_EQ(u_to_narrow(wide, back, 32), static_cast<int32_t>(narrow.size()));
    EXPECT_EQ(std::string(back), narrow);
}

TEST(WideText, ConversionThatDoesNotFitLeavesEmptyText) {
    char16_t wide[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(u_to_wide("abcd", wide, 4), 0);
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(u_to_wide("abc", wide, 4), 3);  // exact fit with the terminator
    char narrow[3] = {'x', 'x', 'x'};
    EXPECT_EQ(u_to_narrow(u"\u00FCb", narrow, 3), 0);  // three bytes plus terminator
    EXPECT_EQ(narrow[0], '\0');
}

TEST(WideFormat, CountsConversionsAndFindsWidePaths) {
    EXPECT_EQ(count_conversions("plain"), 0);
    EXPECT_EQ(count_conversions("100%% % done %d", 5), 1);
    EXPECT_EQ(count_conversions("%*.*f %s %c", 8, 2, 1.5, "a", 'c'), 3);

    const std::string wide = plat::make_wide_path("name");
    char16_t buffer[64];
    bool uses_wide = true;
    format_wide(buffer, 64, &uses_wide, "%d/%s", 1, "narrow");
    EXPECT_FALSE(uses_wide);
    format_wide(buffer, 64, &uses_wide, "%d/%s/%s", 1, "narrow", wide.c_str());
    EXPECT_TRUE(uses_wide);
    format_wide(buffer, 64, &uses_wide, "%S", wide.c_str());
    EXPECT_TRUE(uses_wide);
}

TEST(WideFormat, FormatsLikePrintfAndMarksTheResult) {
    const std::string wide_le = plat::make_wide_path("f\xC3\xBCr");
    const std::string wide_be = plat::make_wide_path("be", true);
    char16_t buffer[128];
    bool uses_wide = false;
    const std::u16string path = u"\uFEFF/data/f\u00FCr/be.dat";
    EXPECT_EQ(format_wide(buffer, 128, &uses_wide, "%s/%s/%s.dat", "/data", wide_le.c_str(), wide_be.c_str()),
              static_cast<int32_t>(path.size()));
    EXPECT_EQ(std::u16string(buffer), path);

    format_wide(buffer, 128, &uses_wide, "%05d|%-4x|%X|%o|%u|%c%C|%i", 42, 255, 255u, 8u, 7u, 'a', 0x20AC, -3);
    EXPECT_EQ(std::u16string(buffer), u"\uFEFF00042|ff  |FF|10|7|a\u20AC|-3");
    format_wide(buffer, 128, &uses_wide, "%.2f %e %g %*.*f|%ld|%lld|%zu", 3.14159, 1.5, 0.25, 7, 1, 2.25,
                123456789012L, -5LL, size_t{9});
    EXPECT_EQ(std::u16string(buffer), u"\uFEFF3.14 1.500000e+00 0.25     2.2|123456789012|-5|9");
    format_wide(buffer, 128, &uses_wide, "%6s|%-6s|%.2s|%s", "ab", "cd", "efgh", static_cast<const char*>(nullptr));
    EXPECT_EQ(std::u16string(buffer), u"\uFEFF    ab|cd    |ef|(null)");
    format_wide(buffer, 128, &uses_wide, "100%% % x");
    EXPECT_EQ(std::u16string(buffer), u"\uFEFF100% % x");
    format_wide(buffer, 128, &uses_wide, "");
    EXPECT_EQ(std::u16string(buffer), u"\uFEFF");
}

TEST(WideFormat, ConversionsPastTheCountStayText) {
    char16_t buffer[64];
    EXPECT_EQ(format_first(1, buffer, 64, "%d-%d", 1, 2), 5);
    EXPECT_EQ(std::u16string(buffer), u"\uFEFF1-%d");
    format_first(0, buffer, 64, "%s", "unused");
    EXPECT_EQ(std::u16string(buffer), u"\uFEFF%s");
}

TEST(WideFormat, NeverWritesPastItsCapacity) {
    const std::string wide = plat::make_wide_path("wide");
    const std::u16string full = u"\uFEFFpath/wide/000042.dat";
    constexpr char16_t kGuard = 0xAAAA;
    for (int32_t capacity = 1; capacity <= static_cast<int32_t>(full.size()) + 2; ++capacity) {
        std::array<char16_t, 64> area;
        area.fill(kGuard);
        bool uses_wide = false;
        const int32_t n = format_wide(area.data(), capacity, &uses_wide, "path/%s/%06d.dat", wide.c_str(), 42);
        const bool fits = capacity > static_cast<int32_t>(full.size());
        EXPECT_EQ(n, fits ? static_cast<int32_t>(full.size()) : -1) << "capacity " << capacity;
        const std::u16string written(area.data());
        EXPECT_EQ(written, full.substr(0, static_cast<size_t>(capacity - 1))) << "capacity " << capacity;
        for (size_t i = static_cast<size_t>(capacity); i < area.size(); ++i)
            ASSERT_EQ(area[i], kGuard) << "written past capacity " << capacity << " at " << i;
    }
}

TEST(WideFormat, HugeWidthIsCutAtTheBuffer) {
    std::array<char16_t, 16> area;
    area.fill(0xAAAA);
    bool uses_wide = false;
    EXPECT_EQ(format_wide(area.data(), 8, &uses_wide, "%*d|%1000000000s", 2'000'000'000, 1, "x"), -1);
    EXPECT_EQ(std::u16string(area.data()), u"\uFEFF      ");
    EXPECT_EQ(area[8], 0xAAAA);
    EXPECT_EQ(format_first(0, nullptr, 8, "x"), -1);
    EXPECT_EQ(format_first(0, area.data(), 0, "x"), -1);
}

}  // namespace
