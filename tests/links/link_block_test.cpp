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

}  // namespace
}  // namespace pw
