#include "cli/progress_line.h"

#include <gtest/gtest.h>

namespace pw::cli {
namespace {

// Whatever the width, the line never reaches the terminal's last column, in either language.
TEST(ProgressLine, NeverWiderThanTheTerminal) {
    for (Language language : {Language::French, Language::English}) {
        const std::string estimate = remainingWords(language, 3725);
        for (int width = 0; width <= 200; ++width) {
            for (int percent : {0, 7, 100}) {
                std::string line = progressLine(width, percent, "123456/1000000", estimate);
                EXPECT_LE(static_cast<int>(displayWidth(line)), std::max(width - 1, 0))
                    << width << ": " << line;
                if (width >= 80) {
                    EXPECT_NE(line.find(estimate), std::string::npos) << line;
                }
            }
        }
    }
}

// Pages that take turns being slow and fast: the time left shown per page would swing from
// seconds to an hour; the smoothed one stays within a fifth of the truth once measured.
TEST(RemainingTime, DoesNotJumpWithEachPage) {
    RemainingTime remaining;
    const uint64_t total = 2000;
    double now = 0;
    double average = (0.01 + 0.5) / 2;
    for (uint64_t done = 0; done < total; ++done) {
        remaining.update(done, total, now);
        if (now > 10) {
            auto left = remaining.seconds();
            ASSERT_TRUE(left);
            double truth = static_cast<double>(total - done) * average;
            EXPECT_NEAR(*left, truth, truth / 5 + 1) << done;
        }
        now += done % 2 ? 0.01 : 0.5;
    }
    EXPECT_EQ(remainingWords(Language::English, 59), "less than a minute left");
    EXPECT_EQ(remainingWords(Language::French, 3725), "environ 1 h 05 min restantes");
}

TEST(ProgressLine, RecordNumbers) {
    EXPECT_EQ(recordNumbers("3 sur 10"), std::make_pair(uint64_t{3}, uint64_t{10}));
    EXPECT_FALSE(recordNumbers(""));
}

}  // namespace
}  // namespace pw::cli
