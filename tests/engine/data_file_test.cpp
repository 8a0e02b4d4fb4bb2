#include "engine/data_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace pw {
namespace {

// A run that shows no counter reads the file once, without counting: the same records in the
// same order, and a file that cannot be read is still known before the first record.
TEST(DataFile, CountedOrNotHandsOutTheSameRecords) {
    test::TempDir dir;
    test::writeFile(dir / "data.txt", "\xEF\xBB\xBF" "a;1\r\nb\n\rc\n\nd");
    for (bool counted : {true, false}) {
        DataFile records(Env::system(), dir / "data.txt", counted);
        ASSERT_TRUE(records.status().ok());
        EXPECT_EQ(records.count(), counted ? 6u : 0u);
        std::vector<std::string> lines;
        std::string_view line;
        while (records.next(line)) {
            lines.emplace_back(line);
        }
        EXPECT_EQ(lines, (std::vector<std::string>{"a;1", "b", "", "c", "", "d"})) << counted;
        EXPECT_TRUE(records.status().ok());
    }
    for (bool counted : {true, false}) {
        test::writeFile(dir / "empty.txt", "");
        DataFile empty(Env::system(), dir / "empty.txt", counted);
        std::string_view line;
        EXPECT_FALSE(empty.next(line));
        EXPECT_EQ(empty.count(), counted ? 1u : 0u);

        // A folder opens but cannot be read.
        DataFile folder(Env::system(), dir.path(), counted);
        EXPECT_FALSE(folder.status().ok()) << counted;
        EXPECT_FALSE(folder.next(line));
    }
}

}  // namespace
}  // namespace pw
