#include "engine/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace pw {
namespace {

TEST(Utf8ValidityTest, AcceptsWellFormedAndRejectsTheRest) {
    EXPECT_TRUE(isWellFormedUtf8(""));
    EXPECT_TRUE(isWellFormedUtf8(std::string("a\0b", 3)));
    EXPECT_TRUE(
        isWellFormedUtf8("Tag N\xC2\xB0"
                         "2 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(
        isWellFormedUtf8("Tag N\xB0"
                         "2"));                          // a lone Windows-1252 byte
    EXPECT_FALSE(isWellFormedUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(isWellFormedUtf8("\xE0\x80\xAF"));      // overlong
    EXPECT_FALSE(isWellFormedUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(isWellFormedUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_FALSE(isWellFormedUtf8("\xE2\x82"));          // cut short
}

}  // namespace
}  // namespace pw
