// The linear run against the page-by-page reference implementation of the cross-linking, which
// reads every other page again for every page, over thousands of small random directories.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "links_test_support.h"
#include "random_pages.h"
#include "reference_links_run.h"

namespace pw::test {
namespace {

bool sameMasked(const std::vector<std::pair<std::string, std::string>>& one,
                const std::vector<std::pair<std::string, std::string>>& other) {
    return std::equal(
        one.begin(), one.end(), other.begin(), other.end(), [](const auto& a, const auto& b) {
            return a.first == b.first && maskNotFound(a.second) == maskNotFound(b.second);
        });
}

TEST(HyperlinksDifferential, SameFilesAsComparingEveryPageWithEveryPage) {
    const uint32_t seed = 20261207;
    DirectoryMaker maker(seed);
    int linkedDirectories = 0;
    int markerDirectories = 0;
    const int rounds = 3000;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", directory " + std::to_string(round));
        TempDir reference(true);
        TempDir linear(true);
        TempDir unmended(true);
        DirectoryMaker::Choice choice = maker.choose();
        maker.fill(choice, {reference.path(), linear.path(), unmended.path()});
        ASSERT_EQ(listing(reference.path()), listing(linear.path()));
        auto before = snapshot(linear.path());

        ReferenceHyperlinks(reference.path(), choice.linkTag, choice.textTag, choice.tag99).run();
        LinksRun run(linear.path(), choice.linkTag, choice.textTag, choice.tag99);
        ASSERT_EQ(run.run(), RunOutcome::Completed);
        EXPECT_EQ(run.report.failedCount(), 0u);

        auto expected = snapshot(reference.path());
        auto actual = snapshot(linear.path());
        ASSERT_EQ(expected.size(), actual.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(expected[i].first, actual[i].first);
            ASSERT_EQ(maskNotFound(expected[i].second), maskNotFound(actual[i].second))
                << "file " << actual[i].first << ", link tag " << choice.linkTag << ", text tag "
                << choice.textTag;
        }
        linkedDirectories += before != actual ? 1 : 0;

        ReferenceHyperlinks(unmended.path(), choice.linkTag, choice.textTag, choice.tag99,
                            ReferenceHyperlinks::Mode::Unmended)
            .run();
        markerDirectories += sameMasked(snapshot(unmended.path()), expected) ? 0 : 1;
    }
    // The directories must exercise the linking, not only pages without partner, and the
    // link lines and start lines the rules without their mends got wrong.
    EXPECT_GT(linkedDirectories, rounds / 3);
    EXPECT_GT(markerDirectories, rounds / 20);
    std::printf(
        "%d of %d directories linked, %d of them where the rules without their mends differ\n",
        linkedDirectories, rounds, markerDirectories);
}

}  // namespace
}  // namespace pw::test
