#include "engine/progress_pace.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/progress_text.h"

namespace pw {
namespace {

std::vector<uint64_t> shownRecords(uint64_t total, double secondsPerRecord) {
    ProgressPace pace(total);
    std::vector<uint64_t> shown;
    for (uint64_t i = 1; i <= total; ++i) {
        if (pace.due(i, 1000.0 + static_cast<double>(i) * secondsPerRecord)) {
            shown.push_back(i);
        }
    }
    return shown;
}

TEST(ProgressPace, FastRecordsShowTheFirstTheLastAndEachNewPercentage) {
    for (uint64_t total : {1u, 2u, 3u, 7u, 99u, 150u, 1000u, 33333u}) {
        std::vector<uint64_t> expected;
        int last = -1;
        for (uint64_t i = 1; i <= total; ++i) {
            int percent = wholePercent(i, total);
            if (i == 1 || i == total || percent != last) {
                expected.push_back(i);
                last = percent;
            }
        }
        EXPECT_EQ(shownRecords(total, 0), expected) << total;
    }
    // A few records: every one is shown.
    EXPECT_EQ(shownRecords(3, 0), (std::vector<uint64_t>{1, 2, 3}));
}

TEST(ProgressPace, SlowRecordsAreEachShown) {
    EXPECT_EQ(shownRecords(5000, 0.05).size(), 5000u);
}

TEST(ProgressPace, RecordsBeyondTheCountedTotalAreShown) {
    // The data file grew after it was counted: every later record is past the total.
    ProgressPace pace(2);
    EXPECT_TRUE(pace.due(1, 0));
    EXPECT_TRUE(pace.due(2, 0));
    EXPECT_TRUE(pace.due(3, 0));
}

}  // namespace
}  // namespace pw
