#include "settings/text_encoding.h"

#include <string>

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(Utf8ValidityTest, AcceptsWellFormedAndRejectsTheRest) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8(std::string("a\0b", 3)));
    EXPECT_TRUE(
        isValidUtf8("Tag N\xC2\xB0"
                    "2 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(
        isValidUtf8("Tag N\xB0"
                    "2"));                          // a lone Windows-1252 byte
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));      // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));          // cut short
}

TEST(Windows1252Test, MapsEveryByte) {
    EXPECT_EQ(windows1252ToUtf8("N\xB0"), "N\xC2\xB0");
    EXPECT_EQ(windows1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(windows1252ToUtf8("\x81\x9D"), "\xC2\x81\xC2\x9D");
    EXPECT_EQ(windows1252ToUtf8("\xE9\xFF"), "\xC3\xA9\xC3\xBF");
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_TRUE(isValidUtf8(windows1252ToUtf8(all)));
}

TEST(FirstCharactersTest, CountsCodePoints) {
    EXPECT_EQ(firstCharacters("\xC3\xA9t\xC3\xA9", 2), "\xC3\xA9t");
    EXPECT_EQ(firstCharacters("\xF0\x9F\x98\x80x", 1), "\xF0\x9F\x98\x80");
    EXPECT_EQ(firstCharacters("abc", 5), "abc");
    EXPECT_EQ(firstCharacters("abc", 0), "");
}

}  // namespace
}  // namespace pw
