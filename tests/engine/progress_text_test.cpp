#include "engine/progress_text.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(ProgressText, PercentRoundsHalvesAwayFromZero) {
    EXPECT_EQ(wholePercent(1, 8), 13);   // 12.5
    EXPECT_EQ(wholePercent(1, 3), 33);   // 33.3
    EXPECT_EQ(wholePercent(2, 3), 67);   // 66.7
    EXPECT_EQ(wholePercent(1, 200), 1);  // 0.5
    EXPECT_EQ(wholePercent(0, 5), 0);
    EXPECT_EQ(wholePercent(5, 5), 100);
    EXPECT_EQ(wholePercent(1, 0), 0);
    EXPECT_EQ(wholePercent(40000, 40000), 100);  // far past 16-bit counters
}

TEST(ProgressText, PercentOfCountsNearTheLimitsOfSixtyFourBits) {
    // Both sides of the largest counts the 64-bit division takes, and counts beyond it.
    const uint64_t fits = UINT64_MAX / 256;
    EXPECT_EQ(wholePercent(fits, fits), 100);
    EXPECT_EQ(wholePercent(fits / 2, fits), 50);
    EXPECT_EQ(wholePercent(fits + 1, fits + 1), 100);
    EXPECT_EQ(wholePercent((fits + 1) / 2, fits + 1), 50);
    EXPECT_EQ(wholePercent(UINT64_MAX, UINT64_MAX), 100);
    EXPECT_EQ(wholePercent(UINT64_MAX / 8, UINT64_MAX), 12);      // just under 12.5
    EXPECT_EQ(wholePercent(UINT64_MAX / 8 + 1, UINT64_MAX), 13);  // just over 12.5
    EXPECT_EQ(wholePercent(UINT64_MAX, 1), 1000000);  // a count past its total is capped
    EXPECT_EQ(wholePercent(fits, 1), 1000000);
}

TEST(ProgressText, Texts) {
    EXPECT_EQ(recordText(3, 10), "3 sur 10");
    EXPECT_EQ(timeText(Language::French, 1.25, 150), "1.25s/fichier - Reste 3 mn.");
    EXPECT_EQ(timeText(Language::English, 0.4, 100), "0.40s/file - Est. less than 1 minute left");
    EXPECT_EQ(timeText(Language::English, 0.4, 150), "0.40s/file - Est. 1 mn.");
    EXPECT_EQ(timeText(Language::French, 0.5, 0), "0.50s/fichier - Reste moins d'une minute");
    EXPECT_EQ(timeText(Language::English, 0.1, 3, RemainingWording::Yearbook),
              "0.10s/file - Est. less than a minute");
}

}  // namespace
}  // namespace pw
