#include "index/index_pages.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(IndexGroups, FirstOccurrenceOrderExactCriteriaAndVideLeftOut) {
    std::vector<IndexEntry> entries = {
        {"Paris", "a", "a.htm"}, {"Lyon", "b", "b.htm"},  {"paris", "c", "c.htm"},
        {"vide", "d", "d.htm"},  {"Paris", "e", "e.htm"}, {" Paris", "f", "f.htm"},
        {"Lyon", "g", "g.htm"},  {"", "h", "h.htm"},
    };
    std::vector<IndexGroup> groups = groupByCriterion(entries);
    ASSERT_EQ(groups.size(), 5u);
    EXPECT_EQ(groups[0].criterion, "Paris");
    EXPECT_EQ(groups[0].entries, (std::vector<size_t>{0, 4}));
    EXPECT_EQ(groups[1].criterion, "Lyon");
    EXPECT_EQ(groups[1].entries, (std::vector<size_t>{1, 6}));
    EXPECT_EQ(groups[2].criterion, "paris");
    EXPECT_EQ(groups[3].criterion, " Paris");
    EXPECT_EQ(groups[4].criterion, "");
}

TEST(IndexPageText, ExactLinesWithCrLf) {
    std::vector<IndexEntry> entries = {{"Paris", "Hotel <b>A</b>", "a.htm"},
                                       {"Paris", "", "b.htm"}};
    IndexGroup group{"Paris", {0, 1}};
    EXPECT_EQ(indexPageText(group, entries),
              "<!doctype html public \"-//w3c//dtd html 4.0 transitional//en\">\r\n"
              "<html>\r\n<head>\r\n"
              "<meta name=\"Author\" content=\"Pagewright\">\r\n"
              "<meta name=\"GENERATOR\" content=\"Pagewright\">\r\n"
              "<title>Index Paris</title>\r\n</head>\r\n<body>\r\n"
              "<a href=\"a.htm\">Hotel <b>A</b></a><br>\r\n"
              "<a href=\"b.htm\"></a><br>\r\n"
              "</body>\r\n</html>\r\n");
}

// Which names are files is the file-system layer's table; here what the prefix and suffix add.
TEST(IndexPageName, NamesThatCannotBeFilesAreRefused) {
    EXPECT_EQ(indexPageName("Paris"), "index_Paris.htm");
    EXPECT_EQ(indexPageName(""), "index_.htm");
    EXPECT_EQ(indexPageName(".."), "index_...htm");
    EXPECT_EQ(indexPageName(" a b "), "index_ a b .htm");
    EXPECT_FALSE(indexPageName("a/b"));
    EXPECT_TRUE(indexPageName(std::string(245, 'x')));
    EXPECT_FALSE(indexPageName(std::string(246, 'x')));
}

}  // namespace
}  // namespace pw
