#include "links/link_block.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

const std::vector<Link> kLinks = {{"lyon.htm", "Lyon"}, {"b.htm", " Ville B"}};
const std::string kBlock =
    "<!--tag99-->\r\n<a href =\"lyon.htm\">Lyon</a><br>\r\n<a href =\"b.htm\"> Ville B</a><br>\r\n";

struct BlockCase {
    const char* name;
    std::string page;
    std::string expected;
};

TEST(LinkBlock, RegeneratesTheBlockAndCopiesEveryOtherLine) {
    const std::vector<BlockCase> cases = {
        {"block replaced, end line kept whole",
         "<p>\r\n<b><!--tag99--></b>\r\nold 1\r\nold 2\r\n  <!--/tag99--> end\r\n</p>\r\n",
         "<p>\r\n" + kBlock + "  <!--/tag99--> end\r\n</p>\r\n"},
        {"empty block", "<!--tag99-->\n<!--/tag99-->\n", kBlock + "<!--/tag99-->\r\n"},
        {"no block: lines copied with CR LF and a final line end", "a\nb\rc\r\nd",
         "a\r\nb\r\nc\r\nd\r\n"},
        {"empty page", "", ""},
        {"blank lines kept", "\n\n", "\r\n\r\n"},
        {"end marker before any start is copied", "<!--/tag99-->\nx\n", "<!--/tag99-->\r\nx\r\n"},
        {"every start line gets the links", "<!--tag99-->\na\n<!--tag99-->\nb\n<!--/tag99-->\nc\n",
         kBlock + kBlock + "<!--/tag99-->\r\nc\r\n"},
        {"start with no end marker after it is closed, later lines kept",
         "x\n<!--tag99-->\nkept 1\nkept 2\n",
         "x\r\n" + kBlock + "<!--/tag99-->\r\nkept 1\r\nkept 2\r\n"},
        {"end markers only before the start do not close it", "<!--/tag99-->\n<!--tag99-->\nkept\n",
         "<!--/tag99-->\r\n" + kBlock + "<!--/tag99-->\r\nkept\r\n"},
        {"opened and closed on one line, later lines kept",
         "<!--tag99--><a>old</a><!--/tag99-->\nkept\n<!--/tag99-->\nz\n",
         kBlock + "<!--/tag99-->\r\nkept\r\n<!--/tag99-->\r\nz\r\n"},
        {"end then start on one line opens a block",
         "<!--/tag99--> <!--tag99-->\nold\n<!--/tag99-->\n", kBlock + "<!--/tag99-->\r\n"},
        {"end then start on one line, never closed", "<!--/tag99--> <!--tag99-->\nkept",
         kBlock + "<!--/tag99-->\r\nkept\r\n"},
        {"start on the last line without terminator", "a\r\n<!--tag99-->",
         "a\r\n" + kBlock + "<!--/tag99-->\r\n"},
        {"other tags untouched", "<!--tag2-->\nLyon\n<!--/tag2-->\n",
         "<!--tag2-->\r\nLyon\r\n<!--/tag2-->\r\n"},
        {"capital letters are no marker", "<!--TAG99-->\nx\n", "<!--TAG99-->\r\nx\r\n"},
    };
    for (const BlockCase& c : cases) {
        EXPECT_EQ(p_ajoute_lien(c.page, kLinks, ""), c.expected) << c.name;
    }
}

TEST(LinkBlock, PrefixIsTrimmedAndWrittenInsideTheQuotesAsGiven) {
    const std::string page = "<!--tag99-->\r\n<!--/tag99-->\r\n";
    EXPECT_EQ(p_ajoute_lien(page, {{"a.htm", "A"}}, "  http://site/dir/ "),
              "<!--tag99-->\r\n<a href =\"http://site/dir/a.htm\">A</a><br>\r\n<!--/tag99-->\r\n");
    EXPECT_EQ(p_ajoute_lien(page, {{"a.htm", "<i>A</i>"}}, "\" onclick=\"x\" x=\""),
              "<!--tag99-->\r\n<a href =\"\" onclick=\"x\" x=\"a.htm\"><i>A</i></a><br>\r\n"
              "<!--/tag99-->\r\n");
    EXPECT_EQ(p_ajoute_lien(page, {}, ""), page);
}

TEST(LinkBlock, RegeneratingTwiceGivesTheSamePage) {
    const std::vector<std::string> pages = {
        "<p>\n<!--tag99-->\nold\n<!--/tag99-->\n</p>", "x\n<!--tag99-->\nkept\n",
        "<!--tag99--><a>old</a><!--/tag99-->\nkept\n", "<!--/tag99--><!--tag99-->\n",
        "<!--tag99-->\n<!--tag99-->\n<!--/tag99-->\n", "no block\r"};
    for (const std::string& page : pages) {
        std::string once = p_ajoute_lien(page, kLinks, " p/ ");
        EXPECT_EQ(p_ajoute_lien(once, kLinks, " p/ "), once) << page;
    }
}

// The start markers of a run with link tag 2 and text tag 3.
const std::vector<std::string> kTagMarkers = {"<!--tag2-->", "<!--tag3-->"};

TEST(LinkBlock, LinkLinesNeverHoldAMarkerTheNextRunWouldRead) {
    struct LineCase {
        const char* name;
        std::string prefix;
        Link link;
        std::string expected;
    };
    const std::vector<LineCase> cases = {
        {"start marker taken out of the text",
         "",
         {"b.htm", "<!--tag99-->"},
         "<a href =\"b.htm\"></a><br>"},
        {"end marker taken out of the text",
         "",
         {"b.htm", " x<!--/tag99-->y"},
         "<a href =\"b.htm\"> xy</a><br>"},
        {"a marker left by taking one out is taken out too",
         "",
         {"b.htm", "<!--tag<!--tag99-->99-->"},
         "<a href =\"b.htm\"></a><br>"},
        {"link and text tags' start markers taken out",
         "",
         {"b.htm", "<!--tag2-->Lyon<!--tag3-->"},
         "<a href =\"b.htm\">Lyon</a><br>"},
        {"other tags' markers and end markers kept",
         "",
         {"b.htm", "<!--tag5-->a<!--/tag3--><!--tag22-->"},
         "<a href =\"b.htm\"><!--tag5-->a<!--/tag3--><!--tag22--></a><br>"},
        {"marker in a file name written &lt; in the address",
         "",
         {"<!--tag99-->.htm", "T"},
         "<a href =\"&lt;!--tag99-->.htm\">T</a><br>"},
        {"marker in the prefix",
         "x/<!--/tag99-->",
         {"b.htm", "T"},
         "<a href =\"x/&lt;!--/tag99-->b.htm\">T</a><br>"},
        {"marker made of the prefix and the file name",
         "<!--tag",
         {"2-->.htm", "T"},
         "<a href =\"&lt;!--tag2-->.htm\">T</a><br>"},
    };
    for (const LineCase& c : cases) {
        std::string line;
        appendLinkLine(line, c.prefix, c.link.target, c.link.text, kTagMarkers);
        EXPECT_EQ(line, c.expected + "\r\n") << c.name;

        const std::string page = "<!--tag99-->\r\nold\r\n<!--/tag99-->\r\n<!--tag2-->\r\nv\r\n";
        std::string once = p_ajoute_lien(page, {c.link}, c.prefix, kTagMarkers);
        EXPECT_EQ(once,
                  "<!--tag99-->\r\n" + c.expected + "\r\n<!--/tag99-->\r\n<!--tag2-->\r\nv\r\n")
            << c.name;
        EXPECT_EQ(p_ajoute_lien(once, {c.link}, c.prefix, kTagMarkers), once) << c.name;
    }
}

TEST(LinkBlock, ARegionBoundedBeforeTheStartMarkerKeepsItsLine) {
    const std::string block = "<!--tag99-->\r\n<a href =\"b.htm\">B</a><br>\r\n";
    const std::vector<BlockCase> cases = {
        {"text region opened and closed before the marker",
         "<!--tag3-->Paris<!--/tag3--><!--tag99-->\nold\n<!--/tag99-->\n",
         "<!--tag3-->Paris<!--/tag3-->\r\n" + block + "<!--/tag99-->\r\n"},
        {"text region closed before the marker", "<!--tag3-->\n<!--/tag3--> <!--tag99-->\n",
         "<!--tag3-->\r\n<!--/tag3--> \r\n" + block + "<!--/tag99-->\r\n"},
        {"link region opened before the marker", "<p><!--tag2-->Lyon<!--tag99--><!--/tag99-->",
         "<p><!--tag2-->Lyon\r\n" + block + "<!--/tag99-->\r\n"},
        {"another tag's region goes with the line", "<!--tag5-->x<!--/tag5--><!--tag99-->\n",
         block + "<!--/tag99-->\r\n"},
        {"a region after the marker is inside the block", "<!--tag99--><!--tag3-->x\n",
         block + "<!--/tag99-->\r\n"},
        {"a block closed later on the line holds the text before the marker",
         "<!--tag99-->\n<!--tag3--><!--tag99--><!--/tag99-->\n",
         block + block + "<!--/tag99-->\r\n"},
        {"an end marker before the region closes the open block",
         "<!--tag99-->\nold\n<!--/tag99--><!--tag3-->x<!--tag99-->\n<!--/tag99-->\n",
         block + "<!--/tag99--><!--tag3-->x\r\n" + block + "<!--/tag99-->\r\n"},
        {"inside an open block the line is not split",
         "<!--tag99-->\n<!--tag3-->x<!--tag99-->\n<!--/tag99-->\n",
         block + block + "<!--/tag99-->\r\n"},
    };
    for (const BlockCase& c : cases) {
        std::string once = p_ajoute_lien(c.page, {{"b.htm", "B"}}, "", kTagMarkers);
        EXPECT_EQ(once, c.expected) << c.name;
        EXPECT_EQ(p_ajoute_lien(once, {{"b.htm", "B"}}, "", kTagMarkers), once) << c.name;
    }
}

}  // namespace
}  // namespace pw
