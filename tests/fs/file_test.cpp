// Names a run takes from its data: only a plain name becomes a file, and only inside the
// directory it writes.
#include "fs/file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "fs/directory.h"
#include "fs/work_file.h"
#include "tests/support/temp_dir.h"

namespace pw {
namespace {

TEST(FileNames, OnlyPlainNamesBecomeFilesAndNothingLeavesTheDirectory) {
    struct Case {
        std::string name;
        bool written;  // else refused
    };
    const std::vector<Case> cases = {
        {"../escape.htm", false},
        {"../../escape.htm", false},
        {"../outside/target.htm", false},
        {"a/b.htm", false},
        {"/tmp/absolute.htm", false},
        {"..", false},
        {".", false},
        {"", false},
        {std::string("nul\0byte.htm", 12), false},
        {std::string(256, 'n'), false},
        {std::string(251, 'm') + ".htm", true},
        {"...htm", true},
        {"..htm", true},
        {"sub\x01"
         "ctl.htm",
         true},
        {"tab\there.htm", true},
        {"esc\x1b[2J.htm", true},
        {"Case.htm", true},
        {"CASE.htm", true},
        {"case.htm", true},
        {"-dash.htm", true},
        {" space .htm", true},
        {"\xE9t\xE9.htm", true},
        {"\xFF\xFE.htm", true},
    };
    // Files beside, above and below the directory written: none may change.
    test::TempDir tree;
    test::writeFile(tree / "escape.htm", "sentinel above\n");
    test::writeFile(tree / "outside/target.htm", "sentinel target\n");
    test::writeFile(tree / "site/keep.htm", "sentinel inside\n");
    const auto around = test::folderState(tree.path());
    Directory site(Env::system(), tree / "site");
    ASSERT_TRUE(site.ok());
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(isPlainFileName(c.name), c.written || c.name.size() > 255) << c.name;
        Delivery delivery = Delivery::kUnchanged;
        const std::string bytes = "page " + std::to_string(i);
        const Status status = replaceFile(site, c.name, bytes, Durability::kAtomic, delivery);
        EXPECT_EQ(status.ok(), c.written) << c.name;
        if (c.written) {
            EXPECT_EQ(test::readFile(tree / "site/" + c.name), bytes) << c.name;
        }
    }
    auto after = test::folderState(tree.path());
    size_t written = 0;
    for (const Case& c : cases) {
        written += c.written ? after.erase("site/" + c.name) : 0;
    }
    EXPECT_EQ(after, around);
    EXPECT_EQ(written, 13u);  // each letter case its own file
}

TEST(FileNames, ListingOrderReadsLowerCaseAsUpperCaseThenComparesBytes) {
    // Shorter first on a common folded start; a-z fold onto A-Z, which puts them before '[' and
    // '_' and every byte above 'Z'; names that fold alike go by their bytes.
    const std::vector<std::string> expected = {
        "a",          "A.htm", "a.htm", "ab.htm", "B.htm",  "b.htm",        "item-10.htm",
        "item-9.htm", "Z.htm", "z.htm", "[.htm",  "_a.htm", "\xC3\xA9.htm", "\xFF.htm"};
    std::vector<std::string> names = expected;
    std::mt19937 random(5);
    for (int round = 0; round < 20; ++round) {
        std::shuffle(names.begin(), names.end(), random);
        sortInListingOrder(names);
        ASSERT_EQ(names, expected);
    }
    // Names with a long common start, ending before, within and past the bytes compared as a
    // number: the order of a plain fold-then-bytes comparison.
    auto fold = [](std::string name) {
        for (char& c : name) {
            c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
        }
        return name;
    };
    const std::string alphabet = "aAzZ09._\xC3\xFF";
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> many;
        const std::string start = round % 3 == 0 ? "" : "page-000";
        for (size_t i = 0; i < 1 + random() % 40; ++i) {
            std::string name = start;
            for (size_t length = random() % 14; length > 0; --length) {
                name += alphabet[random() % alphabet.size()];
            }
            many.push_back(name);
        }
        std::vector<std::string> reference = many;
        std::sort(reference.begin(), reference.end(),
                  [&](const std::string& a, const std::string& b) {
                      const int order = fold(a).compare(fold(b));
                      return order != 0 ? order < 0 : a < b;
                  });
        sortInListingOrder(many);
        ASSERT_EQ(many, reference) << "round " << round;
    }
}

}  // namespace
}  // namespace pw
