#include "settings/ini_document.h"

#include <ostream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace pw {
namespace {

constexpr std::size_t kNoLimit = 1000;

// `ascii` as UTF-16 with its byte-order mark, little- or big-endian.
std::string utf16(std::string_view ascii, bool bigEndian, bool withMark = true) {
    std::string out = withMark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (char c : ascii) {
        out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return out;
}

struct ReadCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    std::size_t limit;
    std::string expected;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class IniReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniReadTest, ReadsLikeTheWindowsProfileFunctions) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(IniDocument::parse(c.file).read(c.section, c.key, "dflt", c.limit), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniReadTest,
    ::testing::Values(
        ReadCase{"missing_key", "[S]\r\na=1\r\n", "S", "b", kNoLimit, "dflt"},
        ReadCase{"missing_section", "[S]\r\na=1\r\n", "T", "a", kNoLimit, "dflt"},
        ReadCase{"blanks_trimmed", "[S]\r\nk=   spaced value   \r\n", "S", "k", kNoLimit,
                 "spaced value"},
        ReadCase{"tabs_trimmed", "[S]\r\nk=\tx\t\r\n", "S", "k", kNoLimit, "x"},
        ReadCase{"padded_key_and_section", "[ Padded ]\r\n  spacedkey   =v2\r\n", "Padded",
                 "spacedkey", kNoLimit, "v2"},
        ReadCase{"query_with_blanks", "[Padded]\r\nspacedkey=v2\r\n", " Padded ", " spacedkey ",
                 kNoLimit, "v2"},
        ReadCase{"case_of_section_and_key", "[Section]\r\nTextesource=abc\r\n", "SECTION",
                 "textesource", kNoLimit, "abc"},
        ReadCase{"case_folding_is_ascii_only", "[\xC3\x89t\xC3\xA9]\r\nk=1\r\n",
                 "\xC3\xA9t\xC3\xA9", "k", kNoLimit, "dflt"},
        ReadCase{"double_quotes", "[S]\r\nq=\"abc\"\r\n", "S", "q", kNoLimit, "abc"},
        ReadCase{"single_quotes", "[S]\r\nq='abc'\r\n", "S", "q", kNoLimit, "abc"},
        ReadCase{"quotes_after_trim", "[S]\r\nq=  \"  padded  \"  \r\n", "S", "q", kNoLimit,
                 "  padded  "},
        ReadCase{"unmatched_leading_quote", "[S]\r\nq=\"abc\r\n", "S", "q", kNoLimit, "\"abc"},
        ReadCase{"unmatched_trailing_quote", "[S]\r\nq=abc\"\r\n", "S", "q", kNoLimit, "abc\""},
        ReadCase{"mismatched_quotes", "[S]\r\nq=\"abc'\r\n", "S", "q", kNoLimit, "\"abc'"},
        ReadCase{"inner_quotes", "[S]\r\nq=a\"b\"c\r\n", "S", "q", kNoLimit, "a\"b\"c"},
        ReadCase{"quote_then_text", "[S]\r\nq=\"abc\"def\r\n", "S", "q", kNoLimit, "\"abc\"def"},
        ReadCase{"one_pair_only", "[S]\r\nq=\"\"baz\"\"\r\n", "S", "q", kNoLimit, "\"baz\""},
        ReadCase{"empty_quotes", "[S]\r\nq=\"\"\r\n", "S", "q", kNoLimit, ""},
        ReadCase{"limit_after_unquote", "[S]\r\nq=\"abc\"\r\n", "S", "q", 2, "ab"},
        ReadCase{"no_inline_comment", "[S]\r\nk=value ; comment\r\n", "S", "k", kNoLimit,
                 "value ; comment"},
        ReadCase{"semicolon_line_is_comment", "[S]\r\n;c3=hidden\r\n", "S", "c3", kNoLimit, "dflt"},
        ReadCase{"indented_semicolon_comment", "[S]\r\n  ;c5=x\r\n", "S", "c5", kNoLimit, "dflt"},
        ReadCase{"hash_is_a_key", "[S]\r\n#c4=hash\r\n", "S", "#c4", kNoLimit, "hash"},
        ReadCase{"empty_value_not_default", "[S]\r\nempty=\r\n", "S", "empty", kNoLimit, ""},
        ReadCase{"blank_value_not_default", "[S]\r\nblank=   \r\n", "S", "blank", kNoLimit, ""},
        ReadCase{"line_without_equals", "[S]\r\nnovalue\r\n", "S", "novalue", kNoLimit, "dflt"},
        ReadCase{"first_duplicate_key_wins", "[S]\r\nk=first\r\nK=second\r\n", "S", "k", kNoLimit,
                 "first"},
        ReadCase{"only_first_section_searched", "[S]\r\na=1\r\n[T]\r\n[S]\r\nk=third\r\n", "S", "k",
                 kNoLimit, "dflt"},
        ReadCase{"value_with_equals", "[S]\r\nk=a=b\r\n", "S", "k", kNoLimit, "a=b"},
        ReadCase{"key_with_inner_blank", "[S]\r\nkey name=v\r\n", "S", "key name", kNoLimit, "v"},
        ReadCase{"unclosed_bracket_keeps_section", "[S]\r\n[T\r\nk=v\r\n", "S", "k", kNoLimit, "v"},
        ReadCase{"text_after_bracket", "[T] junk\r\nk=1\r\n", "T", "k", kNoLimit, "1"},
        ReadCase{"key_before_any_section", "k=1\r\n[S]\r\n", "S", "k", kNoLimit, "dflt"},
        ReadCase{"lf_only", "[A]\na=1\n[B]\nb=2\n", "B", "b", kNoLimit, "2"},
        ReadCase{"cr_only", "[A]\ra=1\rb=2\r[B]\rc=3\r", "A", "b", kNoLimit, "2"},
        ReadCase{"no_final_line_end", "[A]\r\na=1", "A", "a", kNoLimit, "1"},
        ReadCase{"utf8_bom", "\xEF\xBB\xBF[A]\r\na=1\r\n", "A", "a", kNoLimit, "1"},
        ReadCase{"limit_counts_characters", "[S]\r\nk=\xC3\xA9\xC3\xA9\xC3\xA9\r\n", "S", "k", 2,
                 "\xC3\xA9\xC3\xA9"},
        ReadCase{"limit_one_keeps_one", "[S]\r\nk=Fr\r\n", "S", "k", 1, "F"},
        ReadCase{"limit_zero", "[S]\r\nk=Fr\r\n", "S", "k", 0, ""},
        ReadCase{"windows1252_degree", std::string("[S]\r\nk=Tag N\xB0") + "2\r\n", "S", "k",
                 kNoLimit,
                 "Tag N\xC2\xB0"
                 "2"},
        ReadCase{"windows1252_limit_counts_characters", "[S]\r\nk=\xE9\xE9\xE9\r\n", "S", "k", 2,
                 "\xC3\xA9\xC3\xA9"},
        // Each line is decoded on its own: one Windows-1252 line leaves the UTF-8 ones UTF-8.
        ReadCase{"utf8_line_beside_windows1252", "[S]\r\na=Fran\xC3\xA7\r\nb=N\xB0\r\n", "S", "a",
                 kNoLimit, "Fran\xC3\xA7"},
        ReadCase{"windows1252_line_beside_utf8", "[S]\r\na=Fran\xC3\xA7\r\nb=N\xB0\r\n", "S", "b",
                 kNoLimit, "N\xC2\xB0"},
        ReadCase{"utf8_bom_then_windows1252", "\xEF\xBB\xBF[S]\r\nk=caf\xE9\r\n", "S", "k",
                 kNoLimit, "caf\xC3\xA9"},
        ReadCase{"utf16_little_endian", utf16("[S]\r\nk=v\r\n", false), "S", "k", kNoLimit, "v"},
        ReadCase{"utf16_big_endian", utf16("[S]\nk=v", true), "S", "k", kNoLimit, "v"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(IniDefaultTest, DefaultLosesTrailingBlanksOnlyAndIsCut) {
    const IniDocument empty;
    EXPECT_EQ(empty.read("S", "k", "dflt  ", kNoLimit), "dflt");
    EXPECT_EQ(empty.read("S", "k", "  dflt", kNoLimit), "  dflt");
    EXPECT_EQ(empty.read("S", "k", "True ", 4), "True");
    EXPECT_EQ(empty.read("S", "k", "default", 3), "def");
}

struct WriteCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.name;
}

class IniWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(IniWriteTest, ChangesOnlyTheAffectedLine) {
    const WriteCase& c = GetParam();
    IniDocument document = IniDocument::parse(c.before);
    ASSERT_TRUE(document.write(c.section, c.key, c.value).ok());
    EXPECT_EQ(document.serialize(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniWriteTest,
    ::testing::Values(
        WriteCase{"creates_section", "", "New", "k", "v", "[New]\r\nk=v\r\n"},
        WriteCase{"missing_section_at_end", "[A]\r\na=1\r\n[B]\r\nb=1\r\n", "C", "c", "1",
                  "[A]\r\na=1\r\n[B]\r\nb=1\r\n[C]\r\nc=1\r\n"},
        WriteCase{"new_key_after_last_key", "[A]\r\na=1\r\n\r\n; note\r\n[B]\r\nb=1\r\n", "A", "a2",
                  "2", "[A]\r\na=1\r\na2=2\r\n\r\n; note\r\n[B]\r\nb=1\r\n"},
        WriteCase{"new_key_in_empty_section", "[A]\r\n\r\n[B]\r\n", "a", "k", "v",
                  "[A]\r\nk=v\r\n\r\n[B]\r\n"},
        WriteCase{"keeps_key_spelling", "[Section]\r\nTextesource=abc\r\n", "SECTION",
                  "textesource", "xyz", "[Section]\r\nTextesource=xyz\r\n"},
        WriteCase{"keeps_blanks_before_value", "[S]\n  k = old\nz=1\n", "S", "k", "new",
                  "[S]\n  k =new\r\nz=1\n"},
        WriteCase{"value_unchanged_with_blank", "", "Sec", "flag", "True ",
                  "[Sec]\r\nflag=True \r\n"},
        WriteCase{"empty_value", "[S]\r\na=1\r\n", "S", "a", "", "[S]\r\na=\r\n"},
        WriteCase{"first_duplicate_updated",
                  "[S]\r\nk=first\r\nK=second\r\n[T]\r\nt=1\r\n[S]\r\nk=third\r\n", "S", "k", "new",
                  "[S]\r\nk=new\r\nK=second\r\n[T]\r\nt=1\r\n[S]\r\nk=third\r\n"},
        WriteCase{"new_key_in_first_duplicate_section", "[S]\r\na=1\r\n[S]\r\nb=2\r\n", "S", "c",
                  "3", "[S]\r\na=1\r\nc=3\r\n[S]\r\nb=2\r\n"},
        WriteCase{"comments_blank_lines_and_line_ends_kept",
                  "; mine\n\n[A]\r\na=1\r\n\r\n# hash=1\rjunk line\n[B]\nb=2", "A", "a", "9",
                  "; mine\n\n[A]\r\na=9\r\n\r\n# hash=1\rjunk line\n[B]\nb=2"},
        WriteCase{"final_line_end_added_before_append", "[A]\r\na=1", "A", "b", "2",
                  "[A]\r\na=1\r\nb=2\r\n"},
        WriteCase{"final_line_end_added_before_section", "[A]\na=1", "B", "b", "2",
                  "[A]\na=1\r\n[B]\r\nb=2\r\n"},
        WriteCase{"changed_last_line_gets_line_end", "[A]\na=1", "A", "a", "2", "[A]\na=2\r\n"},
        WriteCase{"commented_key_not_replaced", "[S]\r\n;k=old\r\n", "S", "k", "v",
                  "[S]\r\nk=v\r\n;k=old\r\n"},
        WriteCase{"bom_kept", "\xEF\xBB\xBF[A]\na=1\n", "A", "a", "2", "\xEF\xBB\xBF[A]\na=2\r\n"},
        WriteCase{"windows1252_lines_keep_their_bytes",
                  "[S]\r\nt=Tag N\xB0"
                  "2\n[T]\r\n",
                  "T", "k", "\xC3\xA9",
                  "[S]\r\nt=Tag N\xB0"
                  "2\n[T]\r\nk=\xC3\xA9\r\n"},
        WriteCase{"utf8_bom_then_windows1252_header_found", "\xEF\xBB\xBF[S]\r\nk=caf\xE9\r\n", "S",
                  "k", "x", "\xEF\xBB\xBF[S]\r\nk=x\r\n"},
        WriteCase{"utf16_little_endian_stays", utf16("[S]\r\na=1\r\nb=2", false), "S", "a", "9",
                  utf16("[S]\r\na=9\r\nb=2", false)},
        WriteCase{"utf16_big_endian_stays", utf16("[S]\na=1\n", true), "T", "k", "\xC3\xA9",
                  utf16("[S]\na=1\n[T]\r\nk=", true) + std::string("\0\xE9\0\r\0\n", 6)}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST(IniWriteRefusalTest, RefusesWhatWouldBreakTheLayout) {
    IniDocument document = IniDocument::parse("[S]\r\nk=v\r\n");
    EXPECT_FALSE(document.write("S", "k", "two\r\n[Evil]").ok());
    EXPECT_FALSE(document.write("S", "k", "line\nend").ok());
    EXPECT_FALSE(document.write("S", "a=b", "v").ok());
    EXPECT_FALSE(document.write("S", "", "v").ok());
    EXPECT_FALSE(document.write("S", ";c", "v").ok());
    EXPECT_FALSE(document.write("S]x", "k", "v").ok());
    EXPECT_FALSE(document.write("", "k", "v").ok());
    EXPECT_FALSE(document
                     .write("S", "k",
                            "Tag N\xB0"
                            "2")
                     .ok());
    EXPECT_EQ(document.serialize(), "[S]\r\nk=v\r\n");
}

TEST(IniRoundTripTest, UnchangedDocumentSerializesToItsBytes) {
    const std::string bytes = "x\r\n\r\n[A] tail\n  k = v \r;c\n[B\n=noname\r\n\xEF\xBB\xBFz=1";
    EXPECT_EQ(IniDocument::parse(bytes).serialize(), bytes);
}

}  // namespace
}  // namespace pw
