#include "index/yearbook_rules.h"

#include <gtest/gtest.h>

#include <ostream>

#include "fs/line_reader.h"

namespace pw {
namespace {

std::string crlf(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

const std::string kRowModel =
    crlf({"<html>", "<title>Staff</title>", "<table>", "<!--tag100-->", "<tr><td>", "<!--tag2-->",
          "placeholder", "<!--/tag2-->", "</td></tr>", "<!--/tag100-->", "</table>", "</html>"});

TEST(YearbookPage, EachRecordAddsAFilledBlockOnlyTheLastKeepsItsMarkers) {
    EXPECT_EQ(yearbookPageText(kRowModel, "x;y;a\nx;y;b\n", ';'),
              crlf({"<html>", "<title>Index</title>", "<table>", "<tr><td>", "a", "</td></tr>",
                    "<!--tag100-->", "<tr><td>", "b", "</td></tr>", "<!--/tag100-->", "</table>",
                    "</html>"}));
}

TEST(YearbookPage, OneRecordKeepsTheMarkersAroundItsBlock) {
    EXPECT_EQ(yearbookPageText(kRowModel, "x;y;a", ';'),
              crlf({"<html>", "<title>Index</title>", "<table>", "<!--tag100-->", "<tr><td>", "a",
                    "</td></tr>", "<!--/tag100-->", "</table>", "</html>"}));
}

TEST(YearbookPage, EmptyDataLeavesTheModelByteForByte) {
    std::string model = "<html>\n<!--tag100-->\n<!--tag0-->\nv\n<!--/tag0-->\n<!--/tag100-->";
    EXPECT_EQ(yearbookPageText(model, "", ';'), model);
}

TEST(YearbookPage, MarkerLinesWithOtherHtml) {
    std::string model = crlf({"<table><!--tag100--></table>", "<td><!--tag0--></td>", "old",
                              "<!--/tag0-->", "<p><!--/tag100--></p>"});
    // The first pass writes the bare markers; later copies take the model's lines as they are.
    EXPECT_EQ(yearbookPageText(model, "A", ';'), crlf({"<!--tag100-->", "A", "<!--/tag100-->"}));
    EXPECT_EQ(yearbookPageText(model, "A\nB\nC", ';'),
              crlf({"A", "B", "<table><!--tag100--></table>", "C", "<p><!--/tag100--></p>"}));
}

TEST(YearbookPage, GeneratorAndTitleLinesAreRewritten) {
    std::string model =
        crlf({"<meta name=\"GENERATOR\" content=\"Other 4.0\">", "<title>Mine</title>",
              "<meta name=\"GENERATOR\" content=\"x\"><title>both</title>"});
    EXPECT_EQ(yearbookPageText(model, "r", ';'),
              crlf({"<meta name=\"GENERATOR\" content=\"Pagewright\">", "<title>Index</title>",
                    "<meta name=\"GENERATOR\" content=\"Pagewright\">"}));
}

TEST(YearbookPage, ColumnTagsOutsideTheBlockFollowTheBlockCopy) {
    std::string model =
        crlf({"<html>", "<!--tag0-->", "head", "<!--/tag0-->", "after", "<!--tag100-->",
              "<!--tag1-->", "x", "<!--/tag1-->", "<!--/tag100-->", "end"});
    EXPECT_EQ(yearbookPageText(model, "A;1\nB;2", ';'),
              crlf({"<html>", "A", "after", "1", "B", "after", "<!--tag100-->", "2",
                    "<!--/tag100-->", "end"}));
}

TEST(YearbookPage, ModelWithoutBlockIsFilledByTheFirstRecordOnly) {
    std::string model = crlf({"<p>", "<!--tag0-->", "x", "<!--/tag0-->", "</p>"});
    EXPECT_EQ(yearbookPageText(model, "one\ntwo\nthree", ';'), crlf({"<p>", "one", "</p>"}));
}

TEST(YearbookPage, ColumnsAShortRecordDoesNotReachAreEmpty) {
    std::string model = crlf({"<!--tag100-->", "<!--tag0-->", "<!--/tag0-->", "<!--tag1-->",
                              "<!--/tag1-->", "<!--/tag100-->"});
    EXPECT_EQ(yearbookPageText(model, "a;b\nc", ';'),
              crlf({"a", "b", "<!--tag100-->", "c", "", "<!--/tag100-->"}));
}

// A value that holds a marker is data: it stands in its block as it is, and every record adds
// exactly one block, whatever the earlier records held.
struct MarkerValueCase {
    const char* name;
    std::string value;
};

class YearbookMarkerValue : public ::testing::TestWithParam<MarkerValueCase> {};

TEST_P(YearbookMarkerValue, StaysDataAndEachRecordAddsOneBlock) {
    const std::string& v = GetParam().value;
    std::string data = "x;y;" + v + "\nx;y;b\nx;y;" + v + "\nx;y;c\n";
    EXPECT_EQ(yearbookPageText(kRowModel, data, ';'),
              crlf({"<html>", "<title>Index</title>", "<table>", "<tr><td>", v, "</td></tr>",
                    "<tr><td>", "b", "</td></tr>", "<tr><td>", v, "</td></tr>", "<!--tag100-->",
                    "<tr><td>", "c", "</td></tr>", "<!--/tag100-->", "</table>", "</html>"}));

    // A thousand such records: a thousand blocks, and the page grows by one block per record.
    std::string many;
    for (int i = 0; i < 1000; ++i) {
        many += "x;y;" + v + "\n";
    }
    std::string page = yearbookPageText(kRowModel, many, ';');
    size_t blocks = 0;
    for (size_t at = page.find("<tr><td>"); at != std::string::npos;
         at = page.find("<tr><td>", at + 1)) {
        ++blocks;
    }
    EXPECT_EQ(blocks, 1000u);
    EXPECT_EQ(page.size(),
              yearbookPageText(kRowModel, "x;y;a\n", ';').size() +
                  999 * (std::string("<tr><td>\r\n\r\n</td></tr>\r\n").size() + v.size()) +
                  v.size() - 1);
}

// Names the case in the test list instead of dumping its bytes.
void PrintTo(const MarkerValueCase& c, std::ostream* out) {
    *out << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Values, YearbookMarkerValue,
    ::testing::Values(MarkerValueCase{"block_end", "<!--/tag100-->"},
                      MarkerValueCase{"block_start", "<!--tag100-->"},
                      MarkerValueCase{"column_start", "<!--tag3-->"},
                      MarkerValueCase{"own_column_start", "<td><!--tag2--></td>"},
                      MarkerValueCase{"column_end", "<!--/tag2-->"},
                      MarkerValueCase{"bare_prefix", "<!--tag"},
                      MarkerValueCase{"both_ends", "<!--/tag100--><!--tag100--><!--tag1-->"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(YearbookPage, ValueInAColumnTagAboveTheBlockStaysData) {
    std::string model = crlf({"<h1>", "<!--tag0-->", "x", "<!--/tag0-->", "</h1>", "<!--tag100-->",
                              "<!--tag1-->", "<!--/tag1-->", "<!--/tag100-->"});
    EXPECT_EQ(yearbookPageText(model, "<!--/tag100-->;1\nq;2", ';'),
              crlf({"<h1>", "<!--/tag100-->", "</h1>", "1", "q", "</h1>", "<!--tag100-->", "2",
                    "<!--/tag100-->"}));
}

TEST(YearbookPage, ValueWithTheTitleIsRewrittenByTheNextPassLikeAnyLine) {
    // Values are data for the markers only: the title and generator rules still reach them,
    // as they reach every line a later pass reads.
    EXPECT_EQ(yearbookPageText(kRowModel, "x;y;<title>t</title>\nx;y;<title>u</title>", ';'),
              crlf({"<html>", "<title>Index</title>", "<table>", "<tr><td>", "<title>Index</title>",
                    "</td></tr>", "<!--tag100-->", "<tr><td>", "<title>u</title>", "</td></tr>",
                    "<!--/tag100-->", "</table>", "</html>"}));
}

TEST(YearbookBuilder, SettledHeadPlusRestIsThePageAtEveryRecord) {
    YearbookBuilder builder(kRowModel);
    ColumnTable columns;
    std::string head;
    std::string data;
    for (int i = 0; i < 50; ++i) {
        std::string line = "x;y;v" + std::to_string(i);
        data += line + "\n";
        columns.split(line, ';');
        builder.addRecord(columns);
        builder.takeSettled(head);
        std::string page = head;
        builder.finish(page);
        ASSERT_EQ(page, yearbookPageText(kRowModel, data, ';')) << i;
        uint64_t lines = 0;
        LineReader reader = LineReader::fromMemory(page);
        lines = reader.countRemaining();
        ASSERT_EQ(builder.pageLines(), lines);
    }
    // Everything but the last block and what follows it is settled.
    EXPECT_GT(head.size(), 45 * std::string("<tr><td>\r\nv10\r\n</td></tr>\r\n").size());
}

TEST(YearbookBlockTemplate, ScansTheModelFromItsFirstLine) {
    std::vector<std::string> model = {"a",
                                      "<!--tag3-->",
                                      "b",
                                      "<!--/tag3-->",
                                      "c",
                                      "<x><!--tag100-->",
                                      "<!--tag100--><!--tag4-->",
                                      "d",
                                      "<!--/tag4-->",
                                      "e",
                                      "<!--/tag100 -->",
                                      "f"};
    std::vector<BlockItem> block = blockTemplateOf(model);
    ASSERT_EQ(block.size(), 7u);
    EXPECT_EQ(block[0].column, 3);
    EXPECT_EQ(block[1].line, "c");
    EXPECT_EQ(block[2].line, "<x><!--tag100-->");
    EXPECT_EQ(block[3].line, "<!--tag100--><!--tag4-->");
    EXPECT_EQ(block[4].column, 4);
    EXPECT_EQ(block[5].line, "e");
    EXPECT_EQ(block[6].line, "<!--/tag100 -->");
}

}  // namespace
}  // namespace pw
