#include "engine/markers.h"

#include <charconv>

namespace pw {

namespace {

bool beginsWithBang(std::string_view marker) {
    return marker.size() >= 2 && marker[0] == '<' && marker[1] == '!';
}

}  // namespace

size_t findMarker(std::string_view text, std::string_view marker) {
    size_t place = std::string_view::npos;
    findMarkers(text, std::span(&marker, 1), std::span(&place, 1));
    return place;
}

void findMarkers(std::string_view text, std::span<const std::string_view> markers,
                 std::span<size_t> places) {
    size_t left = 0;
    for (size_t i = 0; i < markers.size(); ++i) {
        if (beginsWithBang(markers[i])) {
            places[i] = std::string_view::npos;
            ++left;
        } else {
            places[i] = text.find(markers[i]);
        }
    }
    if (left == 0) {
        return;
    }
    forEachMarkerStart(text, [&](size_t at) {
        const std::string_view rest = text.substr(at);
        for (size_t i = 0; i < markers.size(); ++i) {
            if (places[i] == std::string_view::npos && beginsWithBang(markers[i]) &&
                rest.starts_with(markers[i])) {
                places[i] = at;
                --left;
            }
        }
        return left > 0;
    });
}

std::optional<int> smallestOpenerTag(std::string_view line, int maxTag) {
    std::optional<int> best;
    size_t from = 0;
    for (;;) {
        size_t at = line.find(kOpenerPrefix, from);
        if (at == std::string_view::npos) {
            return best;
        }
        from = at + 1;
        size_t digits = at + kOpenerPrefix.size();
        size_t end = digits;
        while (end < line.size() && end - digits < 4 && line[end] >= '0' && line[end] <= '9') {
            ++end;
        }
        size_t length = end - digits;
        if (length == 0 || length > 3 || (length > 1 && line[digits] == '0')) {
            continue;
        }
        if (line.substr(end, kMarkerSuffix.size()) != kMarkerSuffix) {
            continue;
        }
        int k = 0;
        std::from_chars(line.data() + digits, line.data() + end, k);
        if (k <= maxTag && (!best || k < *best)) {
            best = k;
        }
    }
}

std::string openerMarker(long long k) {
    std::string marker(kOpenerPrefix);
    marker += std::to_string(k);
    marker += kMarkerSuffix;
    return marker;
}

std::string closerMarker(long long k) {
    std::string marker(kCloserPrefix);
    marker += std::to_string(k);
    marker += kMarkerSuffix;
    return marker;
}

std::string_view tagText(std::string_view choice) {
    // "°" is one character; the settings hand it over in UTF-8, a Latin-1 byte is accepted too.
    size_t utf8 = choice.find("\xC2\xB0");
    size_t latin1 = choice.find('\xB0');
    if (utf8 != std::string_view::npos && (latin1 == std::string_view::npos || utf8 < latin1)) {
        return choice.substr(utf8 + 2);
    }
    if (latin1 != std::string_view::npos) {
        return choice.substr(latin1 + 1);
    }
    return choice;
}

std::string startMarkerOf(std::string_view choice) {
    std::string marker(kOpenerPrefix);
    marker += tagText(choice);
    marker += kMarkerSuffix;
    return marker;
}

long long tagNumber(std::string_view choice) {
    std::string_view text = tagText(choice);
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 1000000) {
            return value;  // far beyond any column; callers treat it as no column
        }
    }
    return value;
}

}  // namespace pw
