#include "fs/line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace pw {
namespace {

std::vector<std::string> linesOf(const std::string& bytes, size_t bufferSize, bool bom = false) {
    size_t position = 0;
    LineReader reader(
        [&](char* buffer, size_t capacity) -> long {
            size_t n = std::min(capacity, bytes.size() - position);
            std::copy_n(bytes.data() + position, n, buffer);
            position += n;
            return static_cast<long>(n);
        },
        bufferSize);
    if (bom) {
        reader.skipByteOrderMark();
    }
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

struct Case {
    const char* name;
    std::string input;
    std::vector<std::string> lines;
};

TEST(LineReader, EveryLineEndAndBufferSize) {
    const std::vector<Case> cases = {
        {"empty", "", {}},
        {"one line without end", "abc", {"abc"}},
        {"CR LF", "a\r\nb\r\n", {"a", "b"}},
        {"LF alone", "a\nb\n", {"a", "b"}},
        {"CR alone", "a\rb\r", {"a", "b"}},
        {"mixed", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"blank lines", "\r\n\r\nx\n\n", {"", "", "x", ""}},
        {"LF CR is two ends", "a\n\rb", {"a", "", "b"}},
        {"lone terminator", "\n", {""}},
        {"bytes kept", std::string("\xE9t\xE9\0z\n", 6), {std::string("\xE9t\xE9\0z", 5)}},
    };
    for (const Case& c : cases) {
        // Tiny buffers put terminators, CR LF pairs and long lines across refills.
        for (size_t size : {16, 17, 18, 19, 64, 65536}) {
            EXPECT_EQ(linesOf(c.input, size), c.lines) << c.name << ", buffer " << size;
        }
    }
}

TEST(LineReader, LongLinesAcrossManyBuffers) {
    std::string longLine(100000, 'x');
    std::string input = "a\r" + longLine + "\r\n" + longLine;
    auto lines = linesOf(input, 16);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], longLine);
    EXPECT_EQ(lines[2], longLine);
}

TEST(LineReader, ByteOrderMarkOnlyAtTheStartAndOnlyWhenAsked) {
    std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(linesOf(bom + "a;b\n" + bom + "c", 64, true),
              (std::vector<std::string>{"a;b", bom + "c"}));
    EXPECT_EQ(linesOf(bom + "a", 64, false), (std::vector<std::string>{bom + "a"}));
    // A file holding only the mark has no record; the mark and a line end make one blank.
    EXPECT_EQ(linesOf(bom, 64, true), (std::vector<std::string>{}));
    EXPECT_EQ(linesOf(bom + "\n", 64, true), (std::vector<std::string>{""}));
}

TEST(LineReader, ByteOrderMarkArrivingInShortReadsOrAlone) {
    // A pipe may hand over the mark a byte at a time; a file may hold nothing else.
    const std::string bytes = "\xEF\xBB\xBFname;title\r\nsecond";
    for (size_t chunk : {1, 2, 3, 4}) {
        size_t position = 0;
        LineReader reader(
            [&](char* buffer, size_t capacity) -> long {
                size_t n = std::min({capacity, chunk, bytes.size() - position});
                std::copy_n(bytes.data() + position, n, buffer);
                position += n;
                return static_cast<long>(n);
            },
            16);
        reader.skipByteOrderMark();
        std::vector<std::string> lines;
        std::string_view line;
        while (reader.next(line)) {
            lines.emplace_back(line);
        }
        EXPECT_EQ(lines, (std::vector<std::string>{"name;title", "second"})) << chunk;
    }
    EXPECT_TRUE(linesOf("\xEF\xBB\xBF", 16, true).empty());
    EXPECT_EQ(linesOf("\xEF\xBB\xBF\n", 16, true), std::vector<std::string>{""});
}

TEST(LineReader, CountsAndRestarts) {
    LineReader reader = LineReader::fromMemory("a\nb\r\n\nc");
    EXPECT_EQ(reader.countRemaining(), 4u);
    EXPECT_EQ(LineReader::fromMemory("").countRemaining(), 0u);
}

}  // namespace
}  // namespace pw
