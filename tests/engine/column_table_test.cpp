#include "engine/column_table.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pw
