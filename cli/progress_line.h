#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/language.h"

namespace pw::cli {

// The columns UTF-8 text takes on a terminal: one per character.
size_t displayWidth(std::string_view text);

// The progress line for a terminal `width` columns wide, "[####    ]  45%  2250/5000  about 3
// min left", never wider than width - 1 (a character in the last column makes some terminals
// wrap). When room is short the estimate goes first, then the counter, and the bar shrinks.
std::string progressLine(int width, int percent, std::string_view counter,
                         std::string_view estimate);

// The first two numbers of a record text ("2250 sur 5000"): the record and the count.
std::optional<std::pair<uint64_t, uint64_t>> recordNumbers(std::string_view text);

// A remaining-time estimate that does not jump from page to page: the pace is measured over
// half-second windows and smoothed across them, so one slow page among fast ones moves it
// little.
class RemainingTime {
  public:
    // `done` of `total` records are finished at `now` (seconds, any fixed origin).
    void update(uint64_t done, uint64_t total, double now);
    // The seconds left; nothing until a pace has been measured.
    std::optional<double> seconds() const;

  private:
    static constexpr double kWindow = 0.5;
    static constexpr double kWeight = 0.2;

    bool m_started = false;
    double m_windowStart = 0;
    uint64_t m_windowDone = 0;
    double m_rate = 0;  // records a second
    bool m_measured = false;
    uint64_t m_left = 0;
};

// The estimate in words: "less than a minute left", "about 3 min left", "about 1 h 05 min left".
std::string remainingWords(Language language, double seconds);

}  // namespace pw::cli
