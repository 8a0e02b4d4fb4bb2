#include "cli/progress_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pw::cli {

size_t displayWidth(std::string_view text) {
    size_t width = 0;
    for (char c : text) {
        // Continuation bytes take no column of their own.
        width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return width;
}

std::string progressLine(int width, int percent, std::string_view counter,
                         std::string_view estimate) {
    constexpr int kMinBar = 10;
    constexpr int kMaxBar = 40;
    const int room = width - 1;
    percent = std::clamp(percent, 0, 100);
    char percentText[8];
    std::snprintf(percentText, sizeof percentText, "%3d%%", percent);
    const int percentWidth = 4;
    if (room < percentWidth) {
        return {};
    }
    std::string tail;
    auto fits = [&](std::string_view more) {
        // "[" bar "] " percent, then each part after two blanks.
        int used = kMinBar + 3 + percentWidth + static_cast<int>(displayWidth(tail)) +
                   (more.empty() ? 0 : 2 + static_cast<int>(displayWidth(more)));
        return used <= room;
    };
    if (!counter.empty() && fits(counter)) {
        tail += "  ";
        tail += counter;
        if (!estimate.empty() && fits(estimate)) {
            tail += "  ";
            tail += estimate;
        }
    }
    const int left = room - 3 - percentWidth - static_cast<int>(displayWidth(tail));
    if (left < 1) {
        return percentText;
    }
    const int bar = std::min(left, kMaxBar);
    const int filled = percent * bar / 100;
    std::string line = "[";
    line.append(static_cast<size_t>(filled), '#');
    line.append(static_cast<size_t>(bar - filled), ' ');
    line += "] ";
    line += percentText;
    line += tail;
    return line;
}

std::optional<std::pair<uint64_t, uint64_t>> recordNumbers(std::string_view text) {
    uint64_t numbers[2] = {0, 0};
    size_t found = 0;
    size_t i = 0;
    while (found < 2 && i < text.size()) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        uint64_t value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            value = value * 10 + static_cast<uint64_t>(text[i] - '0');
            ++i;
        }
        numbers[found++] = value;
    }
    if (found < 2) {
        return std::nullopt;
    }
    return std::make_pair(numbers[0], numbers[1]);
}

void RemainingTime::update(uint64_t done, uint64_t total, double now) {
    m_left = total > done ? total - done : 0;
    if (!m_started) {
        m_started = true;
        m_windowStart = now;
        m_windowDone = done;
        return;
    }
    const double span = now - m_windowStart;
    if (span < kWindow) {
        return;
    }
    const double rate = static_cast<double>(done - std::min(done, m_windowDone)) / span;
    m_rate = m_measured ? kWeight * rate + (1 - kWeight) * m_rate : rate;
    m_measured = true;
    m_windowStart = now;
    m_windowDone = done;
}

std::optional<double> RemainingTime::seconds() const {
    if (!m_measured || m_rate <= 0) {
        return std::nullopt;
    }
    return static_cast<double>(m_left) / m_rate;
}

std::string remainingWords(Language language, double seconds) {
    const bool fr = language == Language::French;
    if (seconds < 60) {
        return fr ? "moins d'une minute" : "less than a minute left";
    }
    long minutes = std::lround(std::ceil(seconds / 60));
    if (minutes >= 10) {
        minutes = (minutes + 4) / 5 * 5;  // nearest five above: the shown value moves less
    }
    char text[64];
    if (minutes < 60) {
        std::snprintf(text, sizeof text, fr ? "environ %ld min restantes" : "about %ld min left",
                      minutes);
    } else {
        std::snprintf(text, sizeof text,
                      fr ? "environ %ld h %02ld min restantes" : "about %ld h %02ld min left",
                      minutes / 60, minutes % 60);
    }
    return text;
}

}  // namespace pw::cli
