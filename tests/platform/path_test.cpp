#include "platform/path.h"

#include <gtest/gtest.h>

namespace {

TEST(WidePath, NarrowPathIsUsedAsItIs) {
    EXPECT_FALSE(plat::is_wide_path("/tmp/x"));
    EXPECT_FALSE(plat::is_wide_path(""));
    EXPECT_FALSE(plat::is_wide_path(nullptr));
    EXPECT_EQ(plat::native_path("/tmp/\xff"), "/tmp/\xff");
}

TEST(WidePath, LittleAndBigEndianDecodeToUtf8) {
    const std::string name = "/tmp/caf\xC3\xA9_\xF0\x9F\x93\x88.asc";  // BMP and astral characters
    for (bool big : {false, true}) {
        const std::string wide = plat::make_wide_path(name, big);
        ASSERT_TRUE(plat::is_wide_path(wide.c_str()));
        EXPECT_EQ(plat::native_path(wide.c_str()), name);
    }
}

TEST(WidePath, HandBuiltLittleEndianBytes) {
    const char bytes[] = {'\xFF', '\xFE', '/', 0, 'a', 0, 'b', 0, 0, 0};
    EXPECT_EQ(plat::native_path(bytes), "/ab");
}

TEST(WidePath, UnpairedSurrogateBecomesReplacementCharacter) {
    const std::u16string units = {u'a', static_cast<char16_t>(0xD800), u'b'};
    EXPECT_EQ(plat::utf16_to_utf8(units), "a\xEF\xBF\xBD" "b");
}

TEST(WidePath, BackslashesBecomeSlashes) {
    EXPECT_EQ(plat::to_posix_separators("..\\cfg\\ramps"), "../cfg/ramps");
}

}  // namespace
