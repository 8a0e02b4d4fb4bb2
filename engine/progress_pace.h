#pragma once

#include <cstdint>

namespace pw {

// Which records (or files) of a long run show their progress. Building the texts for every
// record would cost more than the work on a small record, and a display repaints at most
// about 30 times a second anyway. A record is shown when it is the first or the last, when its
// whole percentage differs from the one shown last, or when about a thirtieth of a second has
// passed since the last one shown; a run of a few records shows every record.
class ProgressPace {
  public:
    // With `shows` false no record is ever shown (a display that shows nothing).
    explicit ProgressPace(uint64_t total, bool shows = true) : m_total(total), m_shows(shows) {}

    bool shows() const { return m_shows; }

    // True when record `i` (from 1) is shown, `now` being the clock in seconds; the record is
    // then taken as the last one shown.
    bool due(uint64_t i, double now);

  private:
    static constexpr double kInterval = 1.0 / 30;

    uint64_t m_total;
    bool m_shows;
    // The first record whose whole percentage differs from the last shown one.
    uint64_t m_nextPercentAt = 0;
    double m_shownAt = 0;
};

}  // namespace pw
