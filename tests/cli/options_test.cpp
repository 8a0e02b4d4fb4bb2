#include "cli/options.h"

#include <gtest/gtest.h>

namespace pw::cli {
namespace {

TEST(Options, TagsAndNamingForms) {
    UsageError error;
    auto o = parseOptions(
        {"pages", "--name-tags", "1,0,,Tag N°2", "--title-tag=second", "--separator", "|", "-q"},
        error);
    ASSERT_TRUE(o) << error.english;
    EXPECT_EQ(*o->nameTags, (std::vector<std::string>{"Tag N°1", "Tag N°0", "", "Tag N°2"}));
    EXPECT_EQ(*o->titleTag, "");
    EXPECT_EQ(*o->separator, '|');
    EXPECT_TRUE(o->quiet);

    o = parseOptions({"pages", "--name-tags", "first", "--title-tag", "Tag N°4"}, error);
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->nameFromFirstColumn);
    EXPECT_EQ(*o->titleTag, "Tag N°4");

    EXPECT_FALSE(parseOptions({"pages", "--name-tags", ",1"}, error));
    EXPECT_FALSE(parseOptions({"pages", "--name-tags", "1,2,3,4,5"}, error));
    EXPECT_FALSE(parseOptions({"links", "--link-tag", "101"}, error));
    EXPECT_TRUE(parseOptions({"links", "--link-tag", "100", "--prefix", ""}, error));
}

TEST(Options, SeparatorsOfTheListAndTab) {
    for (char c : {';', '|', ',', ':', '#', '&', '$', '\t'}) {
        EXPECT_EQ(separatorChoice(std::string(1, c)), c);
    }
    EXPECT_EQ(separatorChoice("tab"), '\t');
    for (const char* other : {"x", " ", ";;", "", "TAB"}) {
        EXPECT_FALSE(separatorChoice(other)) << other;
    }
}

TEST(Options, TagChoice) {
    EXPECT_EQ(tagChoice("2", 100), "Tag N°2");
    EXPECT_EQ(tagChoice("Tag N°07", 100), "Tag N°7");
    EXPECT_FALSE(tagChoice("-1", 100));
    EXPECT_FALSE(tagChoice("", 100));
    EXPECT_FALSE(tagChoice("99", 98));
}

}  // namespace
}  // namespace pw::cli
