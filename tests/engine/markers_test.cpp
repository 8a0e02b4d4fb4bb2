#include "engine/markers.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(Markers, SmallestValidOpener) {
    struct Case {
        const char* line;
        std::optional<int> tag;
    };
    const std::vector<Case> cases = {
        {"<!--tag2-->", 2},
        {"x <!--tag7--> y <!--tag3-->", 3},
        {"<!--tag100-->", 100},
        {"<!--tag101-->", std::nullopt},
        {"<!--tag02-->", std::nullopt},
        {"<!--tag0-->", 0},
        {"<!--tagx-->", std::nullopt},
        {"<!--TAG2-->", std::nullopt},
        {"<!-- tag2 -->", std::nullopt},
        {"<!--tag2->", std::nullopt},
        {"<!--tag99999999999999999999-->", std::nullopt},
        {"<!--tag<!--tag5-->", 5},
        {"<!--/tag2-->", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(smallestOpenerTag(c.line, 100), c.tag) << c.line;
    }
    EXPECT_EQ(smallestOpenerTag("<!--tag100--><!--tag99-->", 99), 99);
    EXPECT_EQ(smallestOpenerTag("<!--tag100-->", 99), std::nullopt);
}

TEST(Markers, TagChoices) {
    EXPECT_EQ(tagText("Tag N°2"), "2");
    EXPECT_EQ(tagText("Tag N\xB0"
                      "12"),
              "12");
    EXPECT_EQ(tagText("7"), "7");
    EXPECT_EQ(startMarkerOf("Tag N°2"), "<!--tag2-->");
    EXPECT_EQ(startMarkerOf("abc"), "<!--tagabc-->");
    EXPECT_EQ(tagNumber("Tag N°98"), 98);
    EXPECT_EQ(tagNumber(" 4x"), 4);
    EXPECT_EQ(tagNumber(""), 0);
}

// The search by the marker's '!' finds what a plain search finds, wherever the '!' falls.
TEST(Markers, FindMarkerFindsTheFirstPlaceAsAPlainSearch) {
    const std::string m = "<!--tag2-->";
    const std::vector<std::string> texts = {"",
                                            "!",
                                            "<!",
                                            "<!--tag2--",
                                            m,
                                            "!" + m,
                                            "x" + m + m,
                                            "<!--tag20-->" + m,
                                            "a!b<!c<<!--tag2-->",
                                            "<!DOCTYPE html>\n<p>!</p>" + m,
                                            "<!--tag2->",
                                            "!!<!--/tag2-->"};
    for (const std::string& text : texts) {
        EXPECT_EQ(findMarker(text, m), text.find(m)) << text;
        EXPECT_EQ(findMarker(text, "<title>"), text.find("<title>")) << text;
        EXPECT_EQ(findMarker(text, "<!"), text.find("<!")) << text;
    }
}

}  // namespace
}  // namespace pw
