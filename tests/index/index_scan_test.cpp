#include "index/index_scan.h"

#include <gtest/gtest.h>

#include <ostream>

#include <random>

namespace pw {
namespace {

struct ScanCase {
    const char* name;
    std::string page;
    bool found;
    std::string criterion;
    std::string linkText;
};

class IndexScan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(IndexScan, CapturesTheLinesAfterTheMarkers) {
    const ScanCase& c = GetParam();
    std::optional<PageCapture> capture = scanIndexPage(c.page, "<!--tag3-->", "<!--tag4-->");
    ASSERT_EQ(capture.has_value(), c.found);
    if (c.found) {
        EXPECT_EQ(capture->criterion, c.criterion);
        EXPECT_EQ(capture->linkText, c.linkText);
    }
}

// Names the case in the test list instead of dumping its bytes.
void PrintTo(const ScanCase& c, std::ostream* out) {
    *out << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IndexScan,
    ::testing::Values(
        ScanCase{"both", "<!--tag3-->\r\nParis\r\n<!--tag4-->\r\nHotel\r\n", true, "Paris",
                 "Hotel"},
        ScanCase{"leading_blanks_kept", "<!--tag3-->\n  Paris \n", true, "  Paris ", ""},
        ScanCase{"no_text_tag", "<!--tag3-->\nParis\n", true, "Paris", ""},
        ScanCase{"text_tag_only", "<!--tag4-->\nHotel\n", false, "", ""},
        ScanCase{"marker_on_last_line", "x\n<!--tag3-->", false, "", ""},
        ScanCase{"marker_inside_other_html", "<td><!--tag3--></td>\rLyon\r", true, "Lyon", ""},
        ScanCase{"last_occurrence_wins", "<!--tag3-->\nA\n<!--tag3-->\nB\n", true, "B", ""},
        ScanCase{"empty_criterion", "<!--tag3-->\n\n<!--tag4-->\nt\n", true, "", "t"},
        ScanCase{"both_markers_on_a_line", "<!--tag3--><!--tag4-->\nT\n", false, "", ""},
        ScanCase{"criterion_line_is_itself_a_marker", "<!--tag3-->\n<!--tag3-->\nC\n", true, "C",
                 ""},
        ScanCase{"text_line_holds_criterion_marker", "<!--tag4-->\n<!--tag3-->\nC\n", true, "C",
                 "<!--tag3-->"},
        ScanCase{"case_matters", "<!--TAG3-->\nX\n", false, "", ""},
        ScanCase{"other_number_is_not_the_marker", "<!--tag33-->\nX\n<!--tag13-->\nY\n", false, "",
                 ""},
        ScanCase{"crlf_split_across_lines", "<!--tag3-->\r\n\r\nx", true, "", ""},
        ScanCase{"empty_page", "", false, "", ""},
        ScanCase{"exclamation_marks_around", "!<!<!--tag3-->!\n!Paris!\n<!-tag4-->\nno\n", true,
                 "!Paris!", ""},
        ScanCase{"marker_cut_by_page_end", "<!--tag3-->\nA\n<!--tag3-", true, "A", ""},
        ScanCase{"later_marker_on_last_line_keeps_earlier", "<!--tag3-->\nA\n<td><!--tag3-->", true,
                 "A", ""},
        ScanCase{"text_marker_later_on_criterion_line", "<!--tag3--> <!--tag4-->\nT\n", false, "",
                 ""},
        ScanCase{"cr_then_crlf", "<!--tag3-->\r\r\nx\n<!--tag4-->\r\n\r\n", true, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IndexScan, MarkerHoldingALineEndNeverMatches) {
    std::string page = "<!--tag3\n-->\nA\n<!--tag4\n-->\nB\n";
    EXPECT_FALSE(scanIndexPage(page, "<!--tag3\n-->", "<!--tag4-->").has_value());
    std::optional<PageCapture> capture =
        scanIndexPage("<!--tag3-->\nA\n" + page, "<!--tag3-->", "<!--tag4\n-->");
    ASSERT_TRUE(capture.has_value());
    EXPECT_EQ(capture->criterion, "A");
    EXPECT_EQ(capture->linkText, "");
}

// Whatever the markers, the page read whole gives what its lines fed one by one give.
TEST(IndexScan, AnyMarkersGiveWhatTheLineByLineScanGives) {
    const std::vector<std::pair<std::string, std::string>> markers = {
        {"<!--tag3-->", "<!--tag4-->"},
        {"<!--tag3-->", "<!--tag3-->"},
        {"C:", "T:"},
        {"<!C", "T!"},
        {"", "T:"},
        {"C:", ""},
        {"!", "!!"},
        {"C:", "C:"},
        {"<!--tag3-->", "T"}};
    const std::vector<std::string> pieces = {
        "<!--tag3-->", "<!--tag4-->", "C:", "T:", "!", "<!C", "T!", "x", "\n", "\r", "\r\n", " "};
    std::mt19937 random(8122026);
    for (int round = 0; round < 3000; ++round) {
        std::string page;
        for (int i = static_cast<int>(random() % 14); i > 0; --i) {
            page += pieces[random() % pieces.size()];
        }
        for (const auto& [criterion, text] : markers) {
            IndexPageScanner scanner(criterion, text);
            size_t start = 0;
            for (size_t i = 0; i < page.size(); ++i) {
                if (page[i] == '\r' || page[i] == '\n') {
                    scanner.feed(std::string_view(page).substr(start, i - start));
                    if (page[i] == '\r' && i + 1 < page.size() && page[i + 1] == '\n') {
                        ++i;
                    }
                    start = i + 1;
                }
            }
            if (start < page.size()) {
                scanner.feed(std::string_view(page).substr(start));
            }
            std::optional<PageCapture> expected = scanner.capture();
            std::optional<PageCapture> whole = scanIndexPage(page, criterion, text);
            ASSERT_EQ(whole.has_value(), expected.has_value()) << page << " / " << criterion;
            if (expected) {
                EXPECT_EQ(whole->criterion, expected->criterion) << page;
                EXPECT_EQ(whole->linkText, expected->linkText) << page;
            }
        }
    }
}

TEST(IndexScan, CountsLinesAsTheLineReaderDoes) {
    struct {
        const char* bytes;
        uint64_t lines;
    } cases[] = {{"", 0},      {"a", 1},    {"a\n", 1},  {"a\r\n", 1},  {"a\r", 1},
                 {"a\n\n", 2}, {"\r\n", 1}, {"\n\r", 2}, {"a\r\rb", 3}, {"a\nb\r\nc", 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(countLines(c.bytes), c.lines) << c.bytes;
    }
}

TEST(IndexScanner, ResetForgetsTheEarlierPage) {
    IndexPageScanner scanner("<!--tag1-->", "<!--tag2-->");
    scanner.feed("<!--tag1-->");
    scanner.feed("A");
    scanner.feed("<!--tag2-->");
    scanner.reset();
    scanner.feed("text of the next page");
    EXPECT_FALSE(scanner.capture().has_value());
    scanner.feed("<!--tag1-->");
    scanner.feed("B");
    ASSERT_TRUE(scanner.capture().has_value());
    EXPECT_EQ(scanner.capture()->criterion, "B");
    EXPECT_EQ(scanner.capture()->linkText, "");
}

TEST(IndexNames, ListedAndIndexPages) {
    struct {
        const char* name;
        bool listed;
        bool index;
    } cases[] = {
        {"a.htm", true, false},        {"A.HTM", true, false},
        {"b.Htm", true, false},        {"c.html", false, false},
        {".hidden.htm", false, false}, {".htm", false, false},
        {"htm", false, false},         {"index_Paris.htm", true, true},
        {"INDEX.htm", true, true},     {"Index_One_Page.htm", true, true},
        {"indeX2.htm", true, true},    {"inde.htm", true, false},
        {"my_index.htm", true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isListedPageName(c.name), c.listed) << c.name;
        EXPECT_EQ(isIndexPageName(c.name), c.index) << c.name;
    }
}

}  // namespace
}  // namespace pw
