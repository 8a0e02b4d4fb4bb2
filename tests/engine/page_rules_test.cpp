#include "engine/page_rules.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

std::string assemble(const std::string& page, const std::string& record,
                     long long titleColumn = 1) {
    ColumnTable columns;
    columns.split(record, ';');
    return assemblePageText(page, columns, columns.at(titleColumn));
}

struct Case {
    const char* name;
    std::string page;
    std::string expected;
};

TEST(PageRules, WholePagesByteForByte) {
    const std::vector<Case> cases = {
        {"region replaced, LF input gives CR LF output", "<!--tag2-->\nold\n<!--/tag2-->\n",
         "<!--tag2-->\r\nc\r\n<!--/tag2-->\r\n"},
        {"hand edits outside regions kept, no final line end added to input but written",
         "hand edit\r\n<!--tag0-->\r\nx\r\ny\r\n<!--/tag0-->\r\nmore",
         "hand edit\r\n<!--tag0-->\r\na\r\n<!--/tag0-->\r\nmore\r\n"},
        {"two openers: the smaller number wins", "<!--tag2--><!--tag1-->\n<!--/tag1-->",
         "<!--tag1-->\r\nb\r\n<!--/tag1-->\r\n"},
        {"invalid openers vanish and leave the state alone",
         "<!--tag101-->\n<!--tagx-->\nkept\n<!--tag02-->\n", "kept\r\n"},
        {"closer before any opener has no number", "<!--/tag5-->\nz", "<!--/tag-->\r\nz\r\n"},
        {"closer takes the open region's number", "<!--tag1-->\n<!--/tag7-->",
         "<!--tag1-->\r\nb\r\n<!--/tag1-->\r\n"},
        {"generator plus title on one line is the generator line",
         "<meta name=\"GENERATOR\" content=\"old\"><title>t</title>",
         "<meta name=\"GENERATOR\" content=\"Pagewright\">\r\n"},
        {"title line replaced, continuation copied", "<title>Old\ncontinued</title>",
         "<title>b</title>\r\ncontinued</title>\r\n"},
        {"text on a marker line is lost", "<p><!--tag0--></p>\n<!--/tag0--> tail",
         "<!--tag0-->\r\na\r\n<!--/tag0-->\r\n"},
        {"region never closed keeps the later lines", "top\n<!--tag2-->\nstill here\nand here",
         "top\r\n<!--tag2-->\r\nc\r\n<!--/tag2-->\r\nstill here\r\nand here\r\n"},
        {"region opened and closed on one line is filled in place",
         "<p><!--tag1-->old<!--/tag1--></p>\nnext", "<p><!--tag1-->b<!--/tag1--></p>\r\nnext\r\n"},
        {"generator and title inside a region are old content",
         "<!--tag0-->\n<title>x</title>\n<!--/tag0-->", "<!--tag0-->\r\na\r\n<!--/tag0-->\r\n"},
        {"CR-only page", "<!--tag2-->\rold\r<!--/tag2-->\rx\r",
         "<!--tag2-->\r\nc\r\n<!--/tag2-->\r\nx\r\n"},
        {"empty page stays empty", "", ""},
        {"tag beyond the record keeps the table's value (empty here)", "<!--tag9-->\n<!--/tag9-->",
         "<!--tag9-->\r\n\r\n<!--/tag9-->\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(assemble(c.page, "a;b;c"), c.expected) << c.name;
    }
}

TEST(PageRules, RunningAgainChangesOnlyRegionsGeneratorAndTitle) {
    std::string model =
        "<html>\r\n<meta name=\"GENERATOR\" content=\"Editor\">\r\n<title>x</title>\r\n"
        "<!--tag2-->\r\n\r\n<!--/tag2-->\r\n<p>footer</p>\r\n";
    std::string first = assemble(model, "a;b;c");
    std::string edited = first;
    edited.replace(edited.find("<p>footer</p>"), 13, "<p>footer, edited by hand</p>");
    std::string second = assemble(edited, "a;B;C");
    EXPECT_EQ(second,
              "<html>\r\n<meta name=\"GENERATOR\" content=\"Pagewright\">\r\n<title>B</title>\r\n"
              "<!--tag2-->\r\nC\r\n<!--/tag2-->\r\n<p>footer, edited by hand</p>\r\n");
    EXPECT_EQ(assemble(second, "a;B;C"), second);
}

TEST(PageRules, ValuesAreWrittenUnescaped) {
    EXPECT_EQ(assemble("<!--tag0-->\n<!--/tag0-->", "<b>x & y</b>"),
              "<!--tag0-->\r\n<b>x & y</b>\r\n<!--/tag0-->\r\n");
}

TEST(PageRules, ATemplateKnowsItsRenderingAndNothingElse) {
    // Empty values and title included: a piece of no bytes must compare too.
    const PageTemplate model(
        "<title>x</title>\n<!--tag0-->\n<!--/tag0-->\n<!--tag2-->\n<!--/tag2-->\n<p>end</p>");
    for (const char* record : {"a;T;v", ";;", "a;T"}) {
        ColumnTable columns;
        columns.split(record, ';');
        std::string rendered;
        model.render(columns, columns.at(1), rendered);
        EXPECT_TRUE(model.rendersAs(columns, columns.at(1), rendered)) << record;
        std::vector<std::string> others = {rendered.substr(0, rendered.size() - 1), rendered + "x",
                                           "", "x" + rendered};
        for (size_t at = 0; at < rendered.size(); ++at) {
            others.push_back(rendered);
            others.back()[at] ^= 1;
        }
        for (const std::string& other : others) {
            EXPECT_FALSE(model.rendersAs(columns, columns.at(1), other)) << record << ": " << other;
        }
    }
}

}  // namespace
}  // namespace pw
