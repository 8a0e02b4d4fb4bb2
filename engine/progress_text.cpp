#include "engine/progress_text.h"

#include <time.h>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace pw {

CountText::CountText(uint64_t count) {
    m_size = static_cast<size_t>(std::to_chars(m_digits, m_digits + sizeof m_digits, count).ptr -
                                 m_digits);
}

double clockSeconds() {
    // The coarse clock (a few milliseconds' steps) costs a fraction of the precise one, and runs
    // read it for every record, where the time text shows hundredths of a second.
    struct timespec now;
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

int wholePercent(uint64_t i, uint64_t n) {
    if (n == 0) {
        return 0;
    }
    // (200 i + n) / 2n rounds i × 100 / n half up, which is away from zero for counts. Runs
    // call this for every line, so counts that fit take the 64-bit division.
    constexpr uint64_t kFits = UINT64_MAX / 256;
    if (i <= kFits && n <= kFits) {
        const uint64_t value = (i * 200 + n) / (2 * n);
        return value > 1000000 ? 1000000 : static_cast<int>(value);
    }
    unsigned __int128 value =
        (static_cast<unsigned __int128>(i) * 200 + n) / (2 * static_cast<unsigned __int128>(n));
    return value > 1000000 ? 1000000 : static_cast<int>(value);
}

std::string recordText(uint64_t i, uint64_t n) {
    return std::to_string(i) + " sur " + std::to_string(n);
}

std::string_view speedText(Language language) {
    return pick(language, "s/fichier - Reste ", "s/file - Est. ");
}

std::string timeText(Language language, double seconds, uint64_t remaining,
                     RemainingWording wording) {
    if (!(seconds >= 0)) {
        seconds = 0;
    }
    char number[64];
    std::snprintf(number, sizeof number, "%.2f", seconds);
    double minutes = std::floor(static_cast<double>(remaining) * seconds / 60.0);
    std::string text = number;
    text += speedText(language);
    if (minutes < 1) {
        text += pick(language, "moins d'une minute",
                     wording == RemainingWording::Yearbook ? "less than a minute"
                                                           : "less than 1 minute left");
    } else {
        char count[64];
        std::snprintf(count, sizeof count, "%.0f", minutes);
        text += count;
        text += " mn.";
    }
    return text;
}

}  // namespace pw
