#include "engine/progress_pace.h"

#include "engine/progress_text.h"

namespace pw {

bool ProgressPace::due(uint64_t i, double now) {
    if (!m_shows) {
        return false;
    }
    bool shown = i <= 1 || i >= m_total || i >= m_nextPercentAt || now - m_shownAt >= kInterval;
    if (!shown) {
        return false;
    }
    m_shownAt = now;
    // wholePercent(i, n) reaches p + 1 at the first i with 200 i + n >= 2 n (p + 1), that is
    // i >= n (2 p + 1) / 200.
    const unsigned __int128 n = m_total == 0 ? 1 : m_total;
    const unsigned __int128 p = static_cast<unsigned>(wholePercent(i, m_total));
    unsigned __int128 next = (n * (2 * p + 1) + 199) / 200;
    m_nextPercentAt = next > i ? static_cast<uint64_t>(next) : i + 1;
    return true;
}

}  // namespace pw
