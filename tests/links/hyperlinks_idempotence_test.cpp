// Running the cross-links again over the pages of a run gives them back, over chosen directories
// and thousands of random ones.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "engine/markers.h"
#include "links/link_block.h"
#include "links/tag_line.h"
#include "links_test_support.h"
#include "random_pages.h"

namespace pw::test {
namespace {

using Snapshot = std::vector<std::pair<std::string, std::string>>;

// True when regenerating the page's block replaces or drops one of the lines its tag line for
// `marker` is read from (the first line holding the marker up to the tag line): the block and
// its start line are the run's to rewrite, so such a page reads differently once rewritten.
bool blockHoldsTagLine(const std::string& bytes, const std::string& marker) {
    std::vector<std::string> lines = linesOf(bytes);
    std::vector<bool> kept(lines.size(), true);
    bool inBlock = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (contains(lines[i], kLinkBlockEnd)) {
            inBlock = false;
        }
        size_t start = lines[i].find(kLinkBlockStart);
        if (start != std::string::npos) {
            kept[i] = false;
            bool closedLater = false;
            for (size_t k = i + 1; k < lines.size(); ++k) {
                closedLater = closedLater || contains(lines[k], kLinkBlockEnd);
            }
            inBlock = closedLater && lines[i].find(kLinkBlockEnd, start) == std::string::npos;
        } else if (inBlock) {
            kept[i] = false;
        }
    }
    size_t first = 0;
    while (first < lines.size() && !contains(lines[first], marker)) {
        ++first;
    }
    for (size_t i = first; i < lines.size(); ++i) {
        if (!kept[i]) {
            return true;
        }
        if (!contains(lines[i], marker)) {
            break;
        }
    }
    return false;
}

// Writes the files of `files` into `directory` over the files of the same names, in place, so
// that the directory lists its pages in the same order as before.
void overwrite(const std::string& directory, const Snapshot& files) {
    for (const auto& [name, bytes] : files) {
        if (bytes != "<not a file>") {
            std::ofstream(directory + name, std::ios::binary | std::ios::trunc) << bytes;
        }
    }
}

void expectSame(const Snapshot& expected, const Snapshot& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(expected[i].first, actual[i].first);
        ASSERT_EQ(maskNotFound(expected[i].second), maskNotFound(actual[i].second))
            << "file " << actual[i].first;
    }
}

// Running again over the pages of a run writes nothing: chosen directories, then thousands of
// random ones. A directory lists a page rewritten by renaming where the file system puts a new
// name, which on some file systems moves it: each random run starts from a directory that lists
// its pages as the first did, so that only the run itself is compared.
TEST(HyperlinksIdempotence, RunningAgainGivesThePagesOfTheFirstRun) {
    // The link text of a page is its text region's tag line; when that line is, or holds, the
    // block's start or end marker, the links must still not carry the marker into the block.
    auto beside = [](const std::string& region) {
        std::vector<std::pair<std::string, std::string>> pages;
        for (const char* text : {"A", "B"}) {
            std::string bytes = region;
            if (size_t at = bytes.find('T'); at != std::string::npos) {
                bytes.replace(at, 1, text);
            }
            pages.emplace_back(std::string(text) == "A" ? "a.htm" : "b.htm",
                               "<html>\r\n<!--tag2-->\r\nLyon\r\n<!--/tag2-->\r\n" + bytes +
                                   "<!--/tag99-->\r\n</html>\r\n");
        }
        return pages;
    };
    struct Chosen {
        const char* name;
        std::vector<std::pair<std::string, std::string>> pages;
        bool oneLinkEach;  // two pages: each block holds one link whatever the listing order
        std::string prefix = "";
    };
    const std::vector<Chosen> chosen = {
        {"blocks, no block, shared values with blanks, a block before the tags",
         {{"a.htm", makePage("Lyon", "A")},
          {"b.htm", makePage("Lyon", "B")},
          {"c.htm", makePage("Paris", "C")},
          {"d.htm", makePage(" Paris", "D", false)},
          {"e.htm", "<!--tag99-->\n<!--tag2-->\nLyon\n<!--tag3-->\nE\n"},
          {"f.htm", makePage("Lyon", "F")}},
         false,
         "x/"},
        {"one-line region on the line before the block",
         beside("<!--tag3-->T<!--/tag3-->\r\n<!--tag99-->\r\n"), true},
        {"one-line region on the block's start line",
         beside("<!--tag3-->T<!--/tag3--><!--tag99-->\r\n"), true},
        {"region closed on the block's start line",
         beside("<!--tag3-->\r\n<!--/tag3--><!--tag99-->\r\n"), true},
        {"region ending in a block marker",
         beside("<!--tag3-->\r\nT<!--/tag99-->\r\n<!--/tag3-->\r\n<!--tag99-->\r\n"), true},
    };
    for (const Chosen& c : chosen) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        for (const auto& [name, bytes] : c.pages) {
            writeFile(dir / name, bytes);
        }
        LinksRun first(dir.path(), "Tag N°2", "Tag N°3", c.prefix);
        ASSERT_EQ(first.run(), RunOutcome::Completed);
        const Snapshot once = snapshot(dir.path());
        for (const auto& [name, bytes] : once) {
            size_t links = 0;
            for (size_t at = bytes.find("<a href"); at != std::string::npos;
                 at = bytes.find("<a href", at + 1)) {
                ++links;
            }
            EXPECT_TRUE(!c.oneLinkEach || links == 1) << name << "\n" << bytes;
        }
        for (int run = 2; run <= 3; ++run) {
            LinksRun again(dir.path(), "Tag N°2", "Tag N°3", c.prefix);
            ASSERT_EQ(again.run(), RunOutcome::Completed);
            EXPECT_EQ(snapshot(dir.path()), once) << "run " << run;
            EXPECT_EQ(again.report.writtenCount(), 0u);
            EXPECT_EQ(again.report.unchangedCount(), c.pages.size());
        }
    }

    const uint32_t seed = 20261208;
    DirectoryMaker maker(seed);
    const int rounds = 3000;
    int strict = 0;
    int markerTexts = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", directory " + std::to_string(round));
        TempDir first(true);
        TempDir second(true);
        TempDir third(true);
        DirectoryMaker::Choice choice = maker.choose();
        SCOPED_TRACE("link tag " + choice.linkTag + ", text tag " + choice.textTag + ", prefix " +
                     choice.tag99);
        maker.fill(choice, {first.path(), second.path(), third.path()});
        const std::string linkMarker = startMarkerOf(choice.linkTag);
        const std::string textMarker = startMarkerOf(choice.textTag);
        Snapshot before = snapshot(first.path());

        LinksRun once(first.path(), choice.linkTag, choice.textTag, choice.tag99);
        ASSERT_EQ(once.run(), RunOutcome::Completed);
        Snapshot afterOne = snapshot(first.path());
        overwrite(second.path(), afterOne);
        LinksRun again(second.path(), choice.linkTag, choice.textTag, choice.tag99);
        ASSERT_EQ(again.run(), RunOutcome::Completed);
        Snapshot afterTwo = snapshot(second.path());
        overwrite(third.path(), afterTwo);
        LinksRun thrice(third.path(), choice.linkTag, choice.textTag, choice.tag99);
        ASSERT_EQ(thrice.run(), RunOutcome::Completed);
        Snapshot afterThree = snapshot(third.path());

        // A page whose tag line the first run rewrote reads differently afterwards, and the
        // pages before it in the list were linked with what it read before.
        bool rewroteTagLine = false;
        bool textHoldsMarker = false;
        for (size_t i = 0; i < before.size(); ++i) {
            const std::string& bytes = before[i].second;
            rewroteTagLine =
                rewroteTagLine ||
                (afterOne[i].second != bytes &&
                 (blockHoldsTagLine(bytes, linkMarker) || blockHoldsTagLine(bytes, textMarker)));
            std::string text = tagLineOf(bytes, textMarker).text;
            textHoldsMarker = textHoldsMarker || contains(text, kLinkBlockStart) ||
                              contains(text, kLinkBlockEnd) || contains(text, linkMarker);
        }
        if (!rewroteTagLine) {
            ++strict;
            markerTexts += textHoldsMarker && afterOne != before ? 1 : 0;
            expectSame(afterOne, afterTwo);
        }
        // With the block as a tag, the tag lines are the links themselves and change at every
        // run; any other directory settles after its first run.
        if (linkMarker != kLinkBlockStart && textMarker != kLinkBlockStart) {
            expectSame(afterTwo, afterThree);
        }
        if (testing::Test::HasFatalFailure()) {
            return;
        }
    }
    EXPECT_GT(strict, rounds / 2);
    EXPECT_GT(markerTexts, rounds / 50);
    std::printf(
        "%d of %d directories gave the same pages twice, %d of them with link texts "
        "holding a marker\n",
        strict, rounds, markerTexts);
}

}  // namespace
}  // namespace pw::test
