#include "engine/column_table.h"

#include <gtest/gtest.h>

#include <random>

namespace pw {
namespace {

TEST(ColumnTable, SplitsExactlyAtEverySeparator) {
    struct Case {
        const char* line;
        char separator;
        std::vector<std::string> slots;
    };
    const std::vector<Case> cases = {
        {"a;b;c", ';', {"a", "b", "c"}},  {"a;;c", ';', {"a", "", "c"}},
        {"a;b;", ';', {"a", "b", ""}},    {";", ';', {"", ""}},
        {" a | b ", '|', {" a ", " b "}}, {"\"x,y\",z", ',', {"\"x", "y\"", "z"}},
    };
    for (const Case& c : cases) {
        ColumnTable table;
        table.split(c.line, c.separator);
        for (size_t k = 0; k < c.slots.size(); ++k) {
            EXPECT_EQ(table.at(static_cast<long long>(k)), c.slots[k]) << c.line << " slot " << k;
        }
    }
}

TEST(ColumnTable, SlotsBeyondTheRecordReadAsEmpty) {
    ColumnTable table;
    table.split("a;b;c", ';');
    table.split("x;y", ';');
    EXPECT_EQ(table.at(0), "x");
    EXPECT_EQ(table.at(1), "y");
    EXPECT_EQ(table.at(2), "");
    table.split("", ';');
    EXPECT_EQ(table.at(0), "");
    EXPECT_EQ(table.at(1), "");
}

TEST(ColumnTable, SlotHundredTakesTheFieldAfterTheHundredthSeparator) {
    std::string line;
    for (int k = 0; k <= 102; ++k) {
        line += "v" + std::to_string(k) + ";";
    }
    ColumnTable table;
    table.split(line, ';');
    EXPECT_EQ(table.at(99), "v99");
    EXPECT_EQ(table.at(100), "v100");
    EXPECT_EQ(table.at(101), "");
    EXPECT_EQ(table.at(-1), "");
}

// Lines of every length around the 16-byte steps the split reads, with separators anywhere
// (side by side, first, last, past the hundredth), '<' anywhere and bytes above 0x7F: the same
// fields as a search from each field's start, and each field's '<' found.
TEST(ColumnTable, SplitsLongLinesAsASearchFromEachFieldWould) {
    std::mt19937 random(8122026);
    const std::string bytes = "ab;;;\xC3\xA9\xFF<";
    ColumnTable table;
    for (int round = 0; round < 3000; ++round) {
        std::string line;
        const size_t length = random() % (round % 10 == 0 ? 400 : 70);
        for (size_t i = 0; i < length; ++i) {
            line += bytes[random() % bytes.size()];
        }
        table.split(line, ';');
        size_t start = 0;
        for (long long k = 0; k < ColumnTable::kSlots; ++k) {
            const size_t end = std::min(line.find(';', start), line.size());
            const std::string expected =
                start <= line.size() ? line.substr(start, end - start) : "";
            ASSERT_EQ(table.at(k), expected) << line << " slot " << k;
            ASSERT_EQ(table.holdsAngle(k), expected.find('<') != std::string::npos) << line;
            start = end == line.size() ? line.size() + 1 : end + 1;
        }
    }
}

}  // namespace
}  // namespace pw
