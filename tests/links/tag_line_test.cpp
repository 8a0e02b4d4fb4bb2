#include "links/tag_line.h"

#include <gtest/gtest.h>

#include "links_test_support.h"

#include <algorithm>
#include <random>
#include <set>

namespace pw {
namespace {

using Kind = TagLine::Kind;

struct TagLineCase {
    const char* name;
    std::string bytes;
    Kind kind;
    std::string text;
};

TEST(TagLine, FirstLineAfterTheFirstMarkerLineThatDoesNotHoldTheMarker) {
    const std::string m = "<!--tag2-->";
    const std::vector<TagLineCase> cases = {
        {"pages run layout", "<p>\r\n" + m + "\r\nLyon\r\n<!--/tag2-->\r\n", Kind::Line, "Lyon"},
        {"leading blanks kept", m + "\n  Lyon \n", Kind::Line, "  Lyon "},
        {"repeated marker lines skipped", m + "\n<b>" + m + "\nLyon\n", Kind::Line, "Lyon"},
        {"later marker ignored", m + "\nLyon\n" + m + "\nParis\n", Kind::Line, "Lyon"},
        {"empty tag line", m + "\r\n\r\nLyon\r\n", Kind::Line, ""},
        {"value beside the marker is not read", m + " Lyon\nParis", Kind::Line, "Paris"},
        {"last line without terminator", m + "\rLyon", Kind::Line, "Lyon"},
        {"LF, CR and CR LF end lines", "a\r" + m + "\r\nb\nc", Kind::Line, "b"},
        {"closer is an ordinary line", m + "\n<!--/tag2-->\n", Kind::Line, "<!--/tag2-->"},
        {"no marker", "<p>\nLyon\n", Kind::NotFound, ""},
        {"marker on the last line", "<p>\n" + m + "\n", Kind::NotFound, ""},
        {"marker on every line", m + "\n" + m, Kind::NotFound, ""},
        {"capital letters are no marker", "<!--TAG2-->\nLyon\n", Kind::NotFound, ""},
        {"tag20 is not tag2", "<!--tag20-->\nLyon\n", Kind::NotFound, ""},
        {"one empty line", "\n", Kind::NotFound, ""},
        {"empty file", "", Kind::EmptyFile, ""},
    };
    for (const TagLineCase& c : cases) {
        TagLine line = tagLineOf(c.bytes, m);
        EXPECT_EQ(line.kind, c.kind) << c.name;
        EXPECT_EQ(line.text, c.text) << c.name;
        // A large page streams line by line, a few bytes at a time, to the same tag line.
        size_t fed = 0;
        LineReader reader([&](char* buffer, size_t capacity) {
            const size_t n = std::min({capacity, size_t{3}, c.bytes.size() - fed});
            c.bytes.copy(buffer, n, fed);
            fed += n;
            return static_cast<long>(n);
        });
        PageTags streamed;
        ASSERT_TRUE(readPageTags(reader, m, m, streamed));
        EXPECT_EQ(streamed.link.kind, c.kind) << c.name;
        EXPECT_EQ(streamed.link.text, c.text) << c.name;
    }
}

TEST(TagLine, BothTagsOfAPageInOnePass) {
    PageTags tags =
        pageTagsOf("<!--tag2-->\nLyon\n<!--tag3-->\nVille de Lyon\n", "<!--tag2-->", "<!--tag3-->");
    EXPECT_EQ(tags.link.text, "Lyon");
    EXPECT_EQ(tags.text.text, "Ville de Lyon");
    tags = pageTagsOf("<!--tag2-->\nLyon\n", "<!--tag2-->", "<!--tag2-->");
    EXPECT_EQ(tags.text.text, "Lyon");
    tags = pageTagsOf("<!--tag3-->\n", "<!--tag2-->", "<!--tag3-->");
    EXPECT_EQ(tags.link.kind, Kind::NotFound);
    EXPECT_EQ(tags.text.kind, Kind::NotFound);
}

// The bytes pass whole exactly when writing their lines back, each with CR LF, gives them again.
TEST(TagLine, BytesWhoseEveryLineEndsWithCrLfAreTheirLinesWrittenBack) {
    const auto writtenBack = [](std::string_view bytes) {
        LineReader reader = LineReader::fromMemory(bytes);
        std::string out;
        std::string_view line;
        while (reader.next(line)) {
            out += line;
            out += "\r\n";
        }
        return out;
    };
    const std::string block(15, 'a');
    const std::vector<std::string> cases = {
        "\r\n",
        "a\r\n\r\nb\r\n",
        "a\nb\r\n",
        "a\rb\r\n",
        "a\r\r\n",
        "a\r\nb",
        "a\r\n\n",
        block + "\r\n" + block + "\r\n",    // a CR LF across two 16-byte pieces
        block + "\r\r\n" + block + "\r\n",  // a lone CR closing a piece
        block + "a\n" + block + "\r\n",     // a lone LF opening a piece
    };
    for (const std::string& bytes : cases) {
        EXPECT_EQ(endsEveryLineWithCrLf(bytes), writtenBack(bytes) == bytes) << bytes;
    }
    std::mt19937 random(17);
    const char alphabet[] = {'a', '\r', '\n', '\n', '\r'};
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(1 + random() % 70, 'a');
        for (char& c : bytes) {
            c = alphabet[random() % 5];
        }
        bytes += random() % 2 ? "\r\n" : "";
        ASSERT_EQ(endsEveryLineWithCrLf(bytes), writtenBack(bytes) == bytes) << bytes;
    }
}

TEST(TagLine, KeysCompareWithoutLeadingAndTrailingSpaces) {
    EXPECT_EQ(trimSpaces("  Lyon  "), "Lyon");
    EXPECT_EQ(trimSpaces("\tLyon "), "\tLyon");
    EXPECT_EQ(trimSpaces("   "), "");
    EXPECT_EQ(linkKeyOf(TagLine{Kind::Line, " a b "}), std::optional<std::string_view>("a b"));
    EXPECT_EQ(linkKeyOf(TagLine{Kind::Line, "  "}), std::optional<std::string_view>(""));
    EXPECT_EQ(linkKeyOf(TagLine{Kind::EmptyFile, ""}), std::optional<std::string_view>(""));
    EXPECT_EQ(linkKeyOf(TagLine{Kind::NotFound, ""}), std::nullopt);
}

TEST(TagLine, NotFoundValuesAreNomAndANumberBelowOneMillionDrawnAnew) {
    NotFoundValues values(7);
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i) {
        std::string value = values.next();
        EXPECT_TRUE(test::isNotFoundValue(value)) << value;
        seen.insert(value);
    }
    EXPECT_GT(seen.size(), 990u);
    TagLine missing{Kind::NotFound, ""};
    EXPECT_NE(textOf(missing, values), textOf(missing, values));
    EXPECT_EQ(textOf(TagLine{Kind::EmptyFile, ""}, values), "");
    EXPECT_EQ(textOf(TagLine{Kind::Line, " Lyon"}, values), " Lyon");
}

}  // namespace
}  // namespace pw
