#include "engine/data_check.h"

#include <gtest/gtest.h>

#include "engine/data_check_text.h"
#include "tests/support/temp_dir.h"

namespace pw {
namespace {

using test::writeFile;

const std::string kModel =
    "<html>\n<meta charset=\"utf-8\">\n<title>t</title>\n<!--tag2-->\nx\n<!--/tag2-->\n</html>\n";

// What a check found of one kind: the kind, how many, and the lines of the first ones.
struct Found {
    CheckKind kind;
    uint64_t count;
    std::vector<uint64_t> lines;
    bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Found& f) {
    out << "{kind " << static_cast<int>(f.kind) << ", count " << f.count << ", lines";
    for (uint64_t line : f.lines) {
        out << ' ' << line;
    }
    return out << '}';
}

struct Case {
    const char* name;
    std::string data;
    std::vector<Found> found;
    std::string model = kModel;
    // Naming tags (composed names when the first is set) and title tag.
    std::array<std::string, 4> namingTags = {};
    bool yearbook = false;
    // The text of the last group's first finding, when it matters.
    std::string text = {};
};

std::ostream& operator<<(std::ostream& out, const Case& c) {
    return out << c.name;
}

class DataCheckKinds : public ::testing::TestWithParam<Case> {};

TEST_P(DataCheckKinds, EachKindWithItsLines) {
    const Case& c = GetParam();
    test::TempDir dir;
    writeFile(dir / "data.txt", c.data);
    writeFile(dir / "model.htm", c.model);
    CheckRequest request;
    request.dataPath = dir / "data.txt";
    request.modelPath = dir / "model.htm";
    request.keep = 5;
    request.composedNames = !c.namingTags[0].empty();
    request.namingTags = c.namingTags;
    if (c.yearbook) {
        request.namesPages = false;
        request.highestColumnTag = 99;
    }
    CheckReport report;
    ASSERT_TRUE(checkDataAndModel(Env::system(), request, report).ok());
    std::vector<Found> found;
    for (const CheckGroup& group : report.groups) {
        Found f{group.kind, group.count, {}};
        for (const CheckFinding& finding : group.first) {
            f.lines.push_back(finding.line);
        }
        found.push_back(f);
    }
    EXPECT_EQ(found, c.found);
    if (!c.text.empty() && !report.groups.empty()) {
        EXPECT_EQ(report.groups.back().first.front().text, c.text);
    }
    // Every group can be worded in both languages, each finding on its line.
    for (Language language : {Language::French, Language::English}) {
        for (const CheckGroup& group : report.groups) {
            EXPECT_FALSE(checkGroupLines(group, report, language).front().empty());
        }
    }
}

const std::string kLatin1Model =
    "<meta http-equiv=\"Content-Type\" content=\"text/html; "
    "charset=ISO-8859-1\">\n<!--tag0-->\n<!--/tag0-->\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, DataCheckKinds,
    ::testing::Values(
        Case{"clean", "a;A;1\nb;B;2\n", {}},
        Case{"blank_lines_with_spaces_or_only_separators",
             "a;A;1\n\n;;\nb;B;2\n \t\n",
             {{CheckKind::BlankLine, 3, {2, 3, 5}}}},
        Case{"short_for_the_model", "a;A;1\nb;B\nc;C;3\n", {{CheckKind::ShortForModel, 1, {2}}}},
        Case{"short_for_the_name_and_an_empty_name",
             "a;A;1;x\nb;B;2\n",
             {{CheckKind::ShortForName, 1, {2}}, {CheckKind::HiddenName, 1, {2}}},
             kModel,
             {"Tag N°3", "", "", ""}},
        Case{"quoted_fields_split_or_whole",
             "a;\"x;y\";1\nb;\"B\";2\nc;C;3\n",
             {{CheckKind::QuotedField, 2, {1, 2}}}},
        Case{"first_line_may_be_a_header",
             "Name;Title;Kind\na;A;x\nb;B;y\n",
             {{CheckKind::MaybeHeader, 1, {1}}}},
        Case{"no_header_when_a_value_recurs", "Name;Title;Kind\na;A;Kind\n", {}},
        Case{"no_header_when_a_value_is_a_number", "Name;Title;€12\na;A;x\n", {}},
        Case{"duplicate_names_say_which_line_they_overwrite",
             "a;A;1\nb;B;2\na;C;3\na;D;4\n",
             {{CheckKind::DuplicateName, 2, {3, 4}}}},
        Case{"a_quoted_value_split_at_the_separator",
             "a;\"x;y;z\";1\n",
             {{CheckKind::QuotedField, 1, {1}}},
             kModel,
             {},
             false,
             "\"x;y;z\""},
        Case{"refused_names",
             "a/b;A;1\n" + std::string(300, 'n') + ";B;2\nc;C;3\n",
             {{CheckKind::RefusedName, 2, {1, 2}}}},
        Case{"hidden_names", ";A;1\n.x;B;2\n", {{CheckKind::HiddenName, 2, {1, 2}}}},
        Case{"latin1_data_under_a_utf8_model",
             "caf\xE9;A;1\ncafé;B;2\n",
             {{CheckKind::DataNotUtf8, 1, {1}}}},
        Case{"utf8_data_under_a_latin1_model",
             "caf\xE9\ncafé\n",
             {{CheckKind::DataUtf8ModelNot, 1, {2}}},
             kLatin1Model},
        Case{"model_without_a_character_set",
             "café;A;1\n",
             {{CheckKind::ModelNoCharset, 1, {0}}},
             "<title>t</title>\n<!--tag2-->\n<!--/tag2-->\n"},
        Case{"utf16_data_ends_the_check",
             std::string("\xFF\xFE"
                         "a\0;\0A\0\r\0\n\0\n\0",
                         14),
             {{CheckKind::DataUtf16, 1, {0}}}},
        Case{"separator_missing_names_the_one_every_line_holds",
             "a,A,1\nb\tB\t2\nc,C,3\n",
             {{CheckKind::SeparatorMissing, 1, {0}}},
             kModel,
             {},
             false,
             ","},
        Case{"model_without_markers",
             "a;A;1\n",
             {{CheckKind::NoRegionMarkers, 1, {0}}},
             "<title>t</title>\n<p>x</p>\n"},
        Case{"model_lines_the_run_keeps_only_part_of",
             "a;A;1\n",
             {{CheckKind::MarkupDropped, 6, {1, 3, 4, 5, 6}}},
             "<meta name=\"GENERATOR\" content=\"x\"><br>\n<!--tag0-->x<!--/tag0-->\n"
             "<head><title>t</title>\n<p><!--tag2-->\n<!--/tag2--></p>\n<!--tag200-->\n"
             "<title>open\n"},
        Case{"marker_lookalikes",
             "a;A;1\n",
             {{CheckKind::NoRegionMarkers, 1, {0}}, {CheckKind::MarkerLookalike, 3, {1, 2, 3}}},
             "<!--TAG2-->\n<!-- tag2 -->\n<!--/ Tag2-->\n"},
        Case{"only_the_first_few_are_kept",
             "a;A;1\n\n\n\n\n\n\n\n",
             {{CheckKind::BlankLine, 7, {2, 3, 4, 5, 6}}}},
        Case{"a_yearbook_names_no_page",
             "a;A;1\na;A;1\n;B;2\n",
             {},
             "<!--tag100-->\n<!--tag2-->\n<!--/tag2-->\n<!--/tag100-->\n<meta charset=utf-8>\n",
             {},
             true}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(DataCheck, UnreadableFilesSayWhichOne) {
    test::TempDir dir;
    writeFile(dir / "model.htm", kModel);
    CheckRequest request;
    request.dataPath = dir / "missing.txt";
    request.modelPath = dir / "model.htm";
    CheckReport report;
    EXPECT_FALSE(checkDataAndModel(Env::system(), request, report).ok());
    EXPECT_EQ(report.unreadable, CheckInput::Data);
    request.modelPath = dir / "missing.htm";
    EXPECT_FALSE(checkDataAndModel(Env::system(), request, report).ok());
    EXPECT_EQ(report.unreadable, CheckInput::Model);
}

TEST(DataCheck, ExcerptsAreSafeToShow) {
    EXPECT_EQ(shownExcerpt("café"), "café");
    EXPECT_EQ(shownExcerpt("caf\xE9\x1b[2J"), "caf\\xE9\\x1B[2J");
    EXPECT_EQ(shownExcerpt("abcdéf", 4), "abcd...");
    EXPECT_EQ(shownExcerpt("\xF0\x9F\x98\x80!", 1), "\xF0\x9F\x98\x80...");
}

}  // namespace
}  // namespace pw
