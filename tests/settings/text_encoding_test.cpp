#include "settings/text_encoding.h"

#include "engine/utf8.h"

#include <string>

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(Windows1252Test, MapsEveryByte) {
    EXPECT_EQ(windows1252ToUtf8("N\xB0"), "N\xC2\xB0");
    EXPECT_EQ(windows1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(windows1252ToUtf8("\x81\x9D"), "\xC2\x81\xC2\x9D");
    EXPECT_EQ(windows1252ToUtf8("\xE9\xFF"), "\xC3\xA9\xC3\xBF");
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_TRUE(isWellFormedUtf8(windows1252ToUtf8(all)));
}

TEST(FirstCharactersTest, CountsCodePoints) {
    EXPECT_EQ(firstCharacters("\xC3\xA9t\xC3\xA9", 2), "\xC3\xA9t");
    EXPECT_EQ(firstCharacters("\xF0\x9F\x98\x80x", 1), "\xF0\x9F\x98\x80");
    EXPECT_EQ(firstCharacters("abc", 5), "abc");
    EXPECT_EQ(firstCharacters("abc", 0), "");
}

}  // namespace
}  // namespace pw
